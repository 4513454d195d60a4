#pragma once
// The life of a data grid's cell editor: created on first use, shown over the current cell while
// editing is on and the grid (or the window, with dgAlwaysShowEditor) holds the focus, filled with
// the current field's text, and its typed text written into the field when the cursor leaves the
// cell, before the record is posted and when the focus leaves the grid. A change to the text puts
// the dataset into edit mode first, or is undone when the cell may not change. The controller also
// answers which characters the current field takes and what its pick list offers.
//
// The grid owns one controller and hands it every editor operation; the controller sees the grid
// through TGridEditorHost.
#include "controls/grid_options.h"

#include <QStringList>

class QAbstractItemView;
class QWidget;
class TColumn;
class TDBGridInplaceEdit;
namespace db {
class DataSet;
class Field;
} // namespace db

// What the cell editor's controller reads and asks of its grid.
class TGridEditorHost {
public:
    // The grid's view: its current cell, where that cell lies, and the focus.
    virtual QAbstractItemView& view() = 0;
    // The dataset while it is open, else null.
    virtual db::DataSet* activeDataSet() const = 0;
    virtual TColumn* currentColumn() const = 0;
    virtual db::Field* currentField() const = 0;
    // The row of the current record, -1 when there is none.
    virtual int row() const = 0;
    virtual TDBGridOptions options() const = 0;
    virtual bool readOnly() const = 0;
    // dgEditing without dgRowSelect, while the grid is not going.
    virtual bool isEditingAllowed() const = 0;
    virtual bool hasFocusInside() const = 0;
    // A new cell editor over the grid.
    virtual TDBGridInplaceEdit* createEditor() = 0;

protected:
    ~TGridEditorHost() = default;
};

class TGridEditorController {
public:
    explicit TGridEditorController(TGridEditorHost& grid) : m_grid(grid) {}
    TGridEditorController(const TGridEditorController&) = delete;
    TGridEditorController& operator=(const TGridEditorController&) = delete;

    // The editor, null before its first use.
    TDBGridInplaceEdit* editor() const { return m_editor; }
    // Editing is on: the editor shows wherever it can.
    bool mode() const { return m_mode; }
    // The editor holds typed text not yet written into the field.
    bool modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    // True while the controller itself puts the dataset into edit mode.
    bool enteringEdit() const { return m_entering; }

    bool canShow() const;
    void show();
    void hide();
    // Puts the editor over the current cell, or hides it where it cannot show.
    void place();
    // Fills the editor with the current field's text; select selects it all.
    void updateContents(bool select);
    // Whether the current cell may change; puts the dataset into edit mode when it may.
    bool canModify();
    // The editor's text changed.
    void textChanged();
    // Writes the pending text into the current field; throws when the field refuses it, which
    // keeps the text pending.
    void writePending();
    void destroyEditor();

    // The focus came into the grid or its editor (a window's first focus included): answers
    // whether that entered the grid, which coming back from a popup or another window does not.
    bool focusEntered();
    // The focus went from the grid and its editor to newFocus: another control of the window
    // when moved is true, else a popup or another window, which is no exit from the grid. On an
    // exit the pending text is written (a new record that was not changed is dropped instead with
    // dgCancelOnExit) and the editor hides unless always shown; a refused value takes the focus
    // back. Answers whether the grid was left.
    bool focusLeft(QWidget* newFocus, bool moved);

    // Whether the current field takes the character.
    bool acceptsKey(char16_t key) const;
    // The values the current column offers in its pick list: the column's own list, or the
    // results of its lookup field's dataset.
    QStringList pickListValues() const;
    // Puts a value chosen from the pick list into the current cell; for a lookup field, the key
    // fields of the record take the values of the lookup record that has it.
    void pickListChosen(const QString& value);

private:
    TGridEditorHost& m_grid;
    TDBGridInplaceEdit* m_editor = nullptr;
    bool m_mode = false;
    bool m_modified = false;
    bool m_entering = false;
    bool m_gone = false;
    bool m_focusInside = false;
};
