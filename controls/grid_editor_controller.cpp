#include "controls/grid_editor_controller.h"

#include "controls/column.h"
#include "controls/db_grid_inplace_edit.h"
#include "controls/lookup_pick_list.h"
#include "platform/base/format_settings.h"
#include "platform/db/data_set.h"
#include "platform/db/field.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/message_box.h"

#include <QAbstractItemView>
#include <QScopedValueRollback>
#include <QTimer>

namespace {

bool isEditState(db::DataSetState state) {
    return state == db::DataSetState::Edit || state == db::DataSetState::Insert;
}

} // namespace

bool TGridEditorController::canShow() const {
    return m_grid.isEditingAllowed() && m_mode && m_grid.activeDataSet() &&
           m_grid.currentColumn() && m_grid.row() >= 0 &&
           ((m_grid.options() & dgAlwaysShowEditor) || m_grid.hasFocusInside());
}

void TGridEditorController::show() {
    if (!m_grid.isEditingAllowed() || m_gone)
        return;
    m_mode = true;
    if (!canShow())
        return;
    if (!m_editor) {
        m_editor = m_grid.createEditor();
        QObject::connect(m_editor, &QLineEdit::textEdited, &m_grid.view(),
                         [this] { textChanged(); });
    }
    const bool wasVisible = m_editor->isVisible();
    if (!wasVisible)
        updateContents(true);
    place();
    if (m_grid.hasFocusInside() && !m_editor->hasFocus())
        m_editor->setFocus(Qt::OtherFocusReason);
}

void TGridEditorController::hide() {
    m_mode = false;
    if (!m_editor || !m_editor->isVisible())
        return;
    if (m_editor->hasFocus())
        m_grid.view().setFocus(Qt::OtherFocusReason);
    m_editor->hide();
}

void TGridEditorController::place() {
    if (!m_editor || m_gone)
        return;
    QAbstractItemView& view = m_grid.view();
    const QModelIndex current = view.currentIndex();
    QRect rect = current.isValid() ? view.visualRect(current) : QRect();
    if (!canShow() || rect.isEmpty() || !view.viewport()->rect().intersects(rect)) {
        if (m_editor->isVisible()) {
            if (m_editor->hasFocus())
                view.setFocus(Qt::OtherFocusReason);
            m_editor->hide();
        }
        return;
    }
    rect.adjust(0, 0, (m_grid.options() & dgColLines) ? -1 : 0,
                (m_grid.options() & dgRowLines) ? -1 : 0);
    m_editor->setGeometry(rect);
    m_editor->show();
}

void TGridEditorController::updateContents(bool select) {
    if (!m_editor)
        return;
    const TColumn* column = m_grid.currentColumn();
    const db::Field* field = m_grid.currentField();
    m_editor->setMaxLength(field && field->dataType() == db::FieldType::Text ? field->size()
                                                                             : 32767);
    m_editor->setText(field ? field->displayText() : QString());
    m_editor->setAlignment((column ? column->alignment() : Qt::AlignLeft) | Qt::AlignVCenter);
    m_editor->setFont(column && column->font() ? *column->font() : m_grid.view().font());
    TDBGridInplaceEdit::EditStyle style = TDBGridInplaceEdit::EditStyle::Simple;
    if (column && column->buttonStyle() == TColumnButtonStyle::cbsEllipsis)
        style = TDBGridInplaceEdit::EditStyle::Ellipsis;
    else if (column && column->buttonStyle() == TColumnButtonStyle::cbsAuto &&
             (!column->pickList().isEmpty() || (field && field->kind() == db::FieldKind::Lookup)))
        style = TDBGridInplaceEdit::EditStyle::PickList;
    m_editor->setEditStyle(style);
    m_editor->contentsChanged(select);
}

bool TGridEditorController::canModify() {
    db::DataSet* dataSet = m_grid.activeDataSet();
    if (m_grid.readOnly() || !dataSet || !dataSet->canModify())
        return false;
    const TColumn* column = m_grid.currentColumn();
    const db::Field* field = m_grid.currentField();
    if (!column || column->readOnly() || !field || field->isReadOnly() || !field->isData())
        return false;
    if (!isEditState(dataSet->state())) {
        QScopedValueRollback guard(m_entering, true);
        dataSet->edit();
    }
    return isEditState(dataSet->state());
}

void TGridEditorController::textChanged() {
    if (!m_modified) {
        db::DataSet* dataSet = m_grid.activeDataSet();
        if (!dataSet || !isEditState(dataSet->state())) {
            // A change that did not come through typing (a paste from the menu, say).
            bool allowed = false;
            ui::guarded([&] { allowed = canModify(); });
            if (!allowed) {
                updateContents(false);
                ui::beep();
                return;
            }
        }
    }
    m_modified = true;
}

void TGridEditorController::writePending() {
    if (!m_modified || !m_editor)
        return;
    db::Field* field = m_grid.currentField();
    if (!field) {
        m_modified = false;
        return;
    }
    const QString text = m_editor->text();
    m_modified = false;
    try {
        field->setAsString(text);
    } catch (...) {
        m_modified = true;
        throw;
    }
}

void TGridEditorController::destroyEditor() {
    m_gone = true;
    delete m_editor;
    m_editor = nullptr;
}

bool TGridEditorController::acceptsKey(char16_t key) const {
    const db::Field* field = m_grid.currentField();
    if (!m_grid.activeDataSet() || !field)
        return false;
    const QChar c(key);
    switch (field->dataType()) {
    case db::FieldType::Float:
        return c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-') ||
               c == QLatin1Char('E') || c == QLatin1Char('e') ||
               c == base::formatSettings().decimalSeparator;
    case db::FieldType::Integer:
        return c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-');
    default:
        return true;
    }
}

QStringList TGridEditorController::pickListValues() const {
    const TColumn* column = m_grid.currentColumn();
    if (!column)
        return {};
    if (!column->pickList().isEmpty())
        return column->pickList();
    // A list longer than anyone would scroll is cut short.
    constexpr int kMaxItems = 1000;
    const db::Field* field = column->field();
    return field ? lookupPickList(*field, kMaxItems) : QStringList();
}

void TGridEditorController::pickListChosen(const QString& value) {
    db::DataSet* dataSet = m_grid.activeDataSet();
    const TColumn* column = m_grid.currentColumn();
    db::Field* field = m_grid.currentField();
    if (!dataSet || !column || !field || !m_editor)
        return;
    if (field->kind() != db::FieldKind::Lookup) {
        if (!canModify()) {
            ui::beep();
            return;
        }
        m_editor->setText(value);
        m_modified = true;
        return;
    }
    if (m_grid.readOnly() || column->readOnly() || !dataSet->canModify() ||
        !field->lookupDataSet()) {
        ui::beep();
        return;
    }
    chooseLookupValue(*dataSet, *field, value);
    // The lookup field follows its keys; the editor shows it again.
    updateContents(false);
}

bool TGridEditorController::focusEntered() {
    if (m_focusInside)
        return false;
    m_focusInside = true;
    return true;
}

bool TGridEditorController::focusLeft(QWidget* newFocus, bool moved) {
    QAbstractItemView& view = m_grid.view();
    const bool inside = newFocus && (newFocus == &view || view.isAncestorOf(newFocus));
    if (m_gone || inside || !m_focusInside || !moved)
        return false;
    m_focusInside = false;
    const bool written = ui::guarded([&] {
        db::DataSet* dataSet = m_grid.activeDataSet();
        if (!dataSet)
            return;
        if ((m_grid.options() & dgCancelOnExit) && dataSet->state() == db::DataSetState::Insert &&
            !dataSet->isModified() && !m_modified)
            dataSet->cancel();
        else
            writePending();
    });
    if (!written) {
        QTimer::singleShot(0, &view, [&view] { view.setFocus(Qt::OtherFocusReason); });
        return false;
    }
    if (!(m_grid.options() & dgAlwaysShowEditor))
        hide();
    return true;
}
