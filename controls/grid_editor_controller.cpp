#include "controls/grid_editor_controller.h"

#include "controls/db_grid_inplace_edit.h"
#include "controls/normal_custom_db_grid.h"
#include "platform/db/data_set.h"
#include "platform/db/field.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/message_box.h"

#include <QScopedValueRollback>

namespace {

bool isEditState(db::DataSetState state) {
    return state == db::DataSetState::Edit || state == db::DataSetState::Insert;
}

} // namespace

bool TGridEditorController::canShow() const {
    return m_grid.isEditingAllowed() && m_mode && m_grid.activeDataSet() &&
           m_grid.m_selectedCol >= 0 && m_grid.m_window.activeRow() >= 0 &&
           ((m_grid.m_options & dgAlwaysShowEditor) || m_grid.hasFocusInside());
}

void TGridEditorController::show() {
    if (!m_grid.isEditingAllowed() || m_grid.m_destroying)
        return;
    m_mode = true;
    if (!canShow())
        return;
    if (!m_editor) {
        m_editor = m_grid.createEditor();
        QObject::connect(m_editor, &QLineEdit::textEdited, &m_grid, [this] { textChanged(); });
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
        m_grid.setFocus(Qt::OtherFocusReason);
    m_editor->hide();
}

void TGridEditorController::place() {
    if (!m_editor || m_grid.m_destroying)
        return;
    const QModelIndex current = m_grid.currentIndex();
    QRect rect = current.isValid() ? m_grid.visualRect(current) : QRect();
    if (!canShow() || rect.isEmpty() || !m_grid.viewport()->rect().intersects(rect)) {
        if (m_editor->isVisible()) {
            if (m_editor->hasFocus())
                m_grid.setFocus(Qt::OtherFocusReason);
            m_editor->hide();
        }
        return;
    }
    rect.adjust(0, 0, (m_grid.m_options & dgColLines) ? -1 : 0,
                (m_grid.m_options & dgRowLines) ? -1 : 0);
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
    m_editor->setFont(column && column->font() ? *column->font() : m_grid.font());
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
    if (m_grid.m_readOnly || !dataSet || !dataSet->canModify())
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
    delete m_editor;
    m_editor = nullptr;
}
