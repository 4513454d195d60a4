#pragma once
// The cell editor of TDBGridNormal. Enter (no shift key) selects the whole text and is handled as
// Right: in a grid whose editor is always shown the grid then commits the cell and moves on
// whatever the caret's place; otherwise Enter only selects the text. Enter with Shift, Ctrl or Alt
// is ignored by the editor, the grid and the window's key-down handler alike, while its character
// still reaches the window's key-press handler (Ctrl+Enter as 10); the Enter character (13) itself
// is dropped. Ctrl+Delete is the grid's (it deletes the record while a cell is being edited).
//
// With NoEditSelection, getting the focus selects nothing: the caret goes to the start of the text
// (with an edit mask) or to its end, after the focus handling is over. A double click runs the
// grid's double-click event and then releases the mouse button in the editor, so that a window
// opened from the event does not leave the editor selecting text.
#include "controls/db_grid_inplace_edit.h"

class TXInPlaceEdit : public TDBGridInplaceEdit {
public:
    explicit TXInPlaceEdit(TInplaceEditHost& grid);

    bool noEditSelection() const { return m_noEditSelection; }
    void setNoEditSelection(bool on) { m_noEditSelection = on; }

    void keyDown(int& key, ui::ShiftState shift) override;
    void keyPress(char16_t& key) override;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void placeCaret();

    bool m_noEditSelection = true;
};
