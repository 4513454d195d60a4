#pragma once
// The grid of the module's windows: a data grid that moves like a data-entry form. Enter goes to
// the next cell, and from the last cell of a record to the first cell of the next one (appending
// at the end when the grid may); Left in the first cell goes to the last cell of the record above
// (not from the top row shown); Right in the last cell goes on to the next record. In a grid with
// dgRowSelect, Left and Right only scroll the columns. Enter with Shift, Ctrl or Alt is left to
// the base grid.
//
// NoEditSelection (on from creation) keeps the cell editor always shown and puts the caret after
// the text, with nothing selected, when the editor gets the focus; the grid's editor is a
// TXInPlaceEdit, whose Enter commits the cell and moves on, and whose Ctrl+Enter reaches the
// window's key-press handler as the character 10.
#include "controls/normal_custom_db_grid.h"

class TDBGridNormal : public TNormalDBGrid {
public:
    explicit TDBGridNormal(QWidget* parent = nullptr);

    bool noEditSelection() const { return m_noEditSelection; }
    // True adds dgAlwaysShowEditor to the options (a dgRowSelect grid drops it again); the value
    // is copied to the editor.
    void setNoEditSelection(bool on);

    void keyDown(int& key, ui::ShiftState shift) override;

protected:
    TDBGridInplaceEdit* createEditor() override;

private:
    bool m_noEditSelection = false;
};
