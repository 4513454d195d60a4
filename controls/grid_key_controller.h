#pragma once
// The keys, wheel and clicks of a data grid, in the system's terms (keyDown with a virtual-key code
// and shift state, keyPress with a character). Every move goes through the grid's data-aware
// model, so the dataset moves and the window follows.
//
// Tab and Shift+Tab (dgTabs) move between cells and wrap to the next or previous record (without
// dgTabs they go to the next or previous control); Down at the last record appends when editing
// is allowed, and Down or Up on a new record that was not changed drop it; Insert inserts;
// Ctrl+Delete deletes the current record or the selected ones (asking first with dgConfirmDelete);
// Escape undoes the pending cell change, then the record's edit; F2 shows the cell editor; Home
// and End go to the first and last column (or record); Ctrl+Home and Ctrl+End to the first and
// last record; Shift+Up and Shift+Down select rows in a dgMultiSelect grid. Enter opens the cell
// editor, or closes it with its text written. A typed character opens the cell editor with it.
// Enter, Escape and Tab that the grid has no use for go to the window (its default and cancel
// buttons, the focus chain).
#include "platform/ui/keys.h"

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;
class TGridEditorController;
class TNormalCustomDBGrid;
class TXBookmarkList;
namespace ui {
class DataGridModel;
}

class TGridKeyController {
public:
    TGridKeyController(TNormalCustomDBGrid& grid, TGridEditorController& editor,
                       TXBookmarkList& selection, ui::DataGridModel& model);
    TGridKeyController(const TGridKeyController&) = delete;
    TGridKeyController& operator=(const TGridKeyController&) = delete;

    // The grid's own handling of a key and of a character (after the window's handlers).
    void keyDown(int& key, ui::ShiftState shift);
    void keyPress(char16_t& key);
    // A key pressed on the grid: the window's, or handled through keyDown and keyPress.
    void keyPressEvent(QKeyEvent& event);
    // Tab and Shift+Tab pressed on the grid or its editor: answers whether it was taken.
    bool tabKey(QKeyEvent& event);
    // The enabled default button (Enter) or the cancel button (Escape) of the window takes the
    // key instead of the grid.
    bool windowTakesKey(const QKeyEvent& event) const;
    // Moves the focus to the next or previous control after the grid.
    void focusNeighbour(bool next);
    // A click on a cell: it becomes current; in a dgMultiSelect grid a plain click selects only
    // its record and a click with Ctrl toggles it; a click on the current cell shows the editor.
    void click(int row, int column, bool ctrl);
    // A press of the left button on a cell (see click); any press brings the focus to the grid.
    void mousePress(QMouseEvent& event);
    // The wheel moves the dataset a record a notch.
    void wheel(QWheelEvent& event);
    // The leftmost column scrolled into view, -1 when none.
    int leftColumn() const;
    // Scrolls the shown columns by one to the left (-1) or right (+1) without moving the cursor.
    void scrollColumns(int direction);
    // A Shift selection in progress ends.
    void endSelection() { m_selecting = false; }

private:
    void nextRow(bool select, ui::ShiftState shift);
    void priorRow(bool select, ui::ShiftState shift);
    // Moves one record, selecting rows with Shift in a dgMultiSelect grid.
    void doSelection(bool select, ui::ShiftState shift, int direction);
    void tab(bool forward);
    void clearSelection();
    void deleteRecords();
    void resetEdit();
    bool escapeHasWork() const;
    bool canAddRecords() const;

    TNormalCustomDBGrid& m_grid;
    TGridEditorController& m_editor;
    TXBookmarkList& m_selection;
    ui::DataGridModel& m_model;
    bool m_selecting = false;
    int m_selectOffset = 0;
};
