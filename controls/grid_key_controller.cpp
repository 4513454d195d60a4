#include "controls/grid_key_controller.h"

#include "controls/normal_custom_db_grid.h"
#include "platform/db/data_set.h"
#include "platform/ui/data_grid_model.h"
#include "platform/ui/decimal_key.h"
#include "platform/ui/message_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>

using db::DataSetState;
using ui::ShiftKey;
namespace vk = ui::vk;

namespace {

bool isEditState(DataSetState state) {
    return state == DataSetState::Edit || state == DataSetState::Insert;
}

} // namespace

TGridKeyController::TGridKeyController(TNormalCustomDBGrid& grid, TGridEditorController& editor,
                                       TXBookmarkList& selection, ui::DataGridModel& model)
    : m_grid(grid), m_editor(editor), m_selection(selection), m_model(model) {}

bool TGridKeyController::canAddRecords() const {
    const db::DataSet* dataSet = m_model.activeDataSet();
    return dataSet && dataSet->canModify() && !m_grid.readOnly() && (m_grid.options() & dgEditing);
}

void TGridKeyController::keyDown(int& key, ui::ShiftState shift) {
    db::DataSet* dataSet = m_model.activeDataSet();
    if (!dataSet)
        return;
    const ui::RecordWindow& window = m_model.window();
    if (shift.testFlag(ShiftKey::Ctrl)) {
        switch (key) {
        case vk::Up:
        case vk::Prior:
            m_model.moveBy(-window.activeRow());
            break;
        case vk::Down:
        case vk::Next:
            m_model.moveBy(window.count() - window.activeRow() - 1);
            break;
        case vk::Left:
            m_grid.firstColumn();
            break;
        case vk::Right:
            m_grid.lastColumn();
            break;
        case vk::Home:
            clearSelection();
            m_model.first();
            break;
        case vk::End:
            clearSelection();
            m_model.last();
            break;
        case vk::Delete:
            deleteRecords();
            break;
        default:
            break;
        }
        return;
    }
    const bool rowSelect = m_grid.options() & dgRowSelect;
    // Home and End go to the first and last record where there is no column to go to.
    const bool byRecord = m_grid.shownColumns().size() == 1 || rowSelect;
    switch (key) {
    case vk::Up:
        priorRow(true, shift);
        break;
    case vk::Down:
        nextRow(true, shift);
        break;
    case vk::Left:
    case vk::Right: {
        const int direction = key == vk::Left ? -1 : 1;
        if (rowSelect)
            m_grid.scrollColumns(direction);
        else if (const int next = m_grid.neighbourColumn(direction); next >= 0)
            m_grid.moveCol(next);
        break;
    }
    case vk::Home:
    case vk::End:
        if (!byRecord) {
            key == vk::Home ? m_grid.firstColumn() : m_grid.lastColumn();
            break;
        }
        clearSelection();
        key == vk::Home ? m_model.first() : m_model.last();
        break;
    case vk::Next:
    case vk::Prior:
        clearSelection();
        m_model.moveBy(key == vk::Next ? m_grid.visibleRowCount() : -m_grid.visibleRowCount());
        break;
    case vk::Insert:
        if (canAddRecords()) {
            clearSelection();
            dataSet->insert();
        }
        break;
    case vk::Tab:
        if (!shift.testFlag(ShiftKey::Alt))
            tab(!shift.testFlag(ShiftKey::Shift));
        break;
    case vk::Escape:
        resetEdit();
        clearSelection();
        if (!(m_grid.options() & dgAlwaysShowEditor))
            m_editor.hide();
        break;
    case vk::F2:
        m_editor.show();
        break;
    default:
        break;
    }
}

void TGridKeyController::keyPress(char16_t& key) {
    if (!(m_grid.options() & dgAlwaysShowEditor) && key == 13) {
        // Enter opens the editor, or closes it with its text written into the field.
        if (m_editor.mode()) {
            m_editor.writePending();
            m_editor.hide();
        } else {
            m_editor.show();
        }
        key = 0;
    }
}

void TGridKeyController::keyPressEvent(QKeyEvent& event) {
    if (windowTakesKey(event)) {
        event.ignore();
        return;
    }
    event.accept();
    int key = ui::virtualKey(event);
    const ui::ShiftState shift = ui::shiftState(event.modifiers());
    if (key != 0 && !ui::guarded([&] { m_grid.keyDown(key, shift); }))
        return;
    char16_t ch = ui::keyChar(event);
    if (ch == 0)
        return;
    ui::guarded([&] {
        // A character typed on the grid opens the editor, which then takes it as typed.
        if (m_grid.isEditingAllowed() && m_model.activeDataSet() && (ch == 8 || ch >= 32) &&
            !event.modifiers().testFlag(Qt::ControlModifier)) {
            m_editor.show();
            if (m_editor.editor() && m_editor.editor()->isVisible()) {
                m_editor.editor()->typeChar(ch, ui::isKeypadKey(event));
                return;
            }
        }
        m_grid.keyPress(ch);
    });
}

bool TGridKeyController::tabKey(QKeyEvent& event) {
    if ((event.key() != Qt::Key_Tab && event.key() != Qt::Key_Backtab) ||
        (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    if (m_grid.options() & dgTabs)
        keyPressEvent(event);
    else
        focusNeighbour(event.key() == Qt::Key_Tab && !(event.modifiers() & Qt::ShiftModifier));
    return true;
}

bool TGridKeyController::escapeHasWork() const {
    const db::DataSet* dataSet = m_model.activeDataSet();
    return m_editor.modified() || (dataSet && isEditState(dataSet->state())) ||
           ((m_grid.options() & dgMultiSelect) && m_selection.count() > 0) ||
           (m_editor.mode() && !(m_grid.options() & dgAlwaysShowEditor) && m_editor.editor() &&
            m_editor.editor()->isVisible());
}

bool TGridKeyController::windowTakesKey(const QKeyEvent& event) const {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier)
        return false;
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) {
        // A window's default button answers Enter before a control that has no use for it.
        for (const QPushButton* button : m_grid.window()->findChildren<QPushButton*>())
            if (button->isDefault() && button->isVisible() && button->isEnabled())
                return true;
        return false;
    }
    if (event.key() == Qt::Key_Escape)
        return !escapeHasWork();
    return false;
}

void TGridKeyController::focusNeighbour(bool next) {
    QWidget* widget = &m_grid;
    for (int steps = 0; steps < 10000; ++steps) {
        widget = next ? widget->nextInFocusChain() : widget->previousInFocusChain();
        if (!widget || widget == &m_grid)
            return;
        if (m_grid.isAncestorOf(widget) || widget->window() != m_grid.window())
            continue;
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisible() && widget->isEnabled()) {
            widget->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void TGridKeyController::click(int row, int column, bool ctrl) {
    const bool sameCell = row == m_grid.row() && column == m_grid.selectedIndex();
    if (row != m_grid.row())
        m_model.moveBy(row - m_grid.row());
    m_grid.moveCol(column);
    if (m_grid.options() & dgMultiSelect) {
        if (ctrl) {
            m_selection.setCurrentRecordSelected(!m_selection.currentRecordSelected());
        } else {
            m_selection.clear();
            m_selection.setCurrentRecordSelected(true);
        }
    }
    if (sameCell)
        m_editor.show();
}

void TGridKeyController::mousePress(QMouseEvent& event) {
    if (!m_grid.hasFocusInside())
        m_grid.setFocus(Qt::MouseFocusReason);
    if (event.button() != Qt::LeftButton)
        return;
    const QModelIndex index = m_grid.indexAt(event.position().toPoint());
    if (index.isValid() && m_model.activeDataSet())
        ui::guarded(
            [&] { click(index.row(), index.column(), event.modifiers() & Qt::ControlModifier); });
}

int TGridKeyController::leftColumn() const {
    const int logical = m_grid.columnAt(0);
    const QList<int> shown = m_grid.shownColumns();
    return logical >= 0 ? logical : (shown.isEmpty() ? -1 : shown.first());
}

void TGridKeyController::scrollColumns(int direction) {
    const QList<int> shown = m_grid.shownColumns();
    const int position = shown.indexOf(leftColumn());
    if (position < 0)
        return;
    // Columns wholly visible from the leftmost one on.
    int fullyVisible = 0;
    for (int i : shown) {
        const int x = m_grid.columnViewportPosition(i);
        if (x < 0)
            continue;
        if (x + m_grid.columnWidth(i) > m_grid.viewport()->width())
            break;
        ++fullyVisible;
    }
    if (direction < 0 && position > 0)
        m_grid.horizontalScrollBar()->setValue(shown.at(position - 1));
    else if (direction > 0 && position < shown.size() - fullyVisible)
        m_grid.horizontalScrollBar()->setValue(shown.at(position + 1));
    m_editor.place();
}

void TGridKeyController::wheel(QWheelEvent& event) {
    const int delta = event.angleDelta().y();
    if (delta == 0 || !m_model.activeDataSet()) {
        event.ignore();
        return;
    }
    event.accept();
    const int steps = qMax(1, qAbs(delta) / 120);
    ui::guarded([&] { m_model.moveBy(delta > 0 ? -steps : steps); });
}

void TGridKeyController::doSelection(bool select, ui::ShiftState shift, int direction) {
    bool addAfter = false;
    if ((m_grid.options() & dgMultiSelect) && m_model.activeDataSet()) {
        if (select && shift.testFlag(ShiftKey::Shift)) {
            if (!m_selecting) {
                // The record the selection starts from is the anchor.
                m_selectOffset = 0;
                m_selection.setCurrentRecordSelected(true);
                m_selecting = true;
                addAfter = true;
            } else {
                // Moving back towards the anchor deselects the record being left.
                const int side = (m_selectOffset > 0) - (m_selectOffset < 0);
                addAfter = side != -direction;
                if (!addAfter)
                    m_selection.setCurrentRecordSelected(false);
            }
        } else {
            clearSelection();
        }
    }
    m_selectOffset += m_model.moveBy(direction);
    if (addAfter)
        m_selection.setCurrentRecordSelected(true);
}

void TGridKeyController::nextRow(bool select, ui::ShiftState shift) {
    db::DataSet* dataSet = m_model.activeDataSet();
    if (!dataSet)
        return;
    if (dataSet->state() == DataSetState::Insert && !dataSet->isModified() &&
        !m_editor.modified()) {
        if (!m_model.newRowAtEnd())
            dataSet->cancel();
        return; // an untouched new record at the end stays as it is
    }
    doSelection(select, shift, 1);
    if (dataSet->eof() && canAddRecords())
        m_model.append();
}

void TGridKeyController::priorRow(bool select, ui::ShiftState shift) {
    db::DataSet* dataSet = m_model.activeDataSet();
    if (!dataSet)
        return;
    if (dataSet->state() == DataSetState::Insert && !dataSet->isModified() &&
        m_model.newRowAtEnd() && !m_editor.modified())
        dataSet->cancel();
    else
        doSelection(select, shift, -1);
}

void TGridKeyController::tab(bool forward) {
    const QList<int> shown = m_grid.shownColumns();
    if (shown.isEmpty())
        return;
    const int next = m_grid.neighbourColumn(forward ? 1 : -1);
    if (next >= 0) {
        m_grid.moveCol(next);
    } else if (forward) {
        nextRow(false, {});
        m_grid.moveCol(shown.first());
    } else {
        priorRow(false, {});
        m_grid.moveCol(shown.last());
    }
}

void TGridKeyController::clearSelection() {
    if (m_grid.options() & dgMultiSelect) {
        m_selection.clear();
        m_selecting = false;
    }
}

void TGridKeyController::deleteRecords() {
    db::DataSet* dataSet = m_model.activeDataSet();
    if (!dataSet || m_grid.readOnly() || dataSet->isEmpty() || !dataSet->canModify())
        return;
    const int selected = m_selection.count();
    if (m_grid.options() & dgConfirmDelete) {
        const QString question = selected > 1 ? QStringLiteral("Delete all selected records?")
                                              : QStringLiteral("Delete record?");
        if (ui::messageBox(ui::MessageKind::Confirmation, question,
                           ui::MessageButton::Ok | ui::MessageButton::Cancel) == ui::mrCancel)
            return;
    }
    if (selected > 0)
        m_selection.deleteAll();
    else
        dataSet->remove();
}

void TGridKeyController::resetEdit() {
    if (m_editor.modified()) {
        m_editor.setModified(false);
        m_editor.updateContents(true);
    } else if (db::DataSet* dataSet = m_model.activeDataSet()) {
        dataSet->cancel();
    }
}
