#pragma once
// The life of a data grid's cell editor: created on first use, shown over the current cell while
// editing is on and the grid (or the window, with dgAlwaysShowEditor) holds the focus, filled with
// the current field's text, and its typed text written into the field when the cursor leaves the
// cell, before the record is posted and when the focus leaves the grid. A change to the text puts
// the dataset into edit mode first, or is undone when the cell may not change.
//
// The grid owns one controller and hands it every editor operation; the controller reads the
// grid's dataset, columns and options.
class TDBGridInplaceEdit;
class TNormalCustomDBGrid;

class TGridEditorController {
public:
    explicit TGridEditorController(TNormalCustomDBGrid& grid) : m_grid(grid) {}
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

private:
    TNormalCustomDBGrid& m_grid;
    TDBGridInplaceEdit* m_editor = nullptr;
    bool m_mode = false;
    bool m_modified = false;
    bool m_entering = false;
};
