#pragma once
// The cell editor of a data grid: a one-line edit over the current cell. Keys that move between
// cells or records go to the grid (SendToParent): Up, Down, Page Up, Page Down, Escape, Insert,
// Tab, Ctrl+Delete; and, in a grid whose editor is always shown, Left and Home with the caret at
// the start (or all the text selected), Right and End with the caret at the end (or all selected).
// Other keys reach the grid's key-down event and then the edit. Characters go through the grid's
// key-press handling (and the window's event) first; a character the field does not take, or
// typing in a cell that cannot be changed, is refused. Typing puts the dataset into edit mode.
//
// On entry with the focus the text is selected when autoSelect is on. New contents (another cell)
// are shown selected.
//
// A column may give the editor a button at its right edge: a drop-down pick list (the column's
// own list, or the values of its lookup field), opened by the button, Alt+Down or F4, or an
// ellipsis button that runs the grid's edit-button event.
#include "controls/grid_options.h"
#include "platform/ui/keys.h"

#include <QLineEdit>

class QListWidget;
class QToolButton;
namespace db {
class Field;
}

// What a cell editor asks of its grid.
class TInplaceEditHost {
public:
    // The widget the editor lies on.
    virtual QWidget* editorParent() const = 0;
    virtual TDBGridOptions options() const = 0;
    virtual db::Field* currentField() const = 0;
    // The grid's key-down handling (its event, then its own), and its key-down event alone.
    virtual void keyDown(int& key, ui::ShiftState shift) = 0;
    virtual void keyDownEvent(int& key, ui::ShiftState shift) = 0;
    // The grid's key-press handling (its event, then its own).
    virtual void keyPress(char16_t& key) = 0;
    // Whether the current cell may be changed; puts the dataset into edit mode when it may.
    virtual bool canEditModify() = 0;
    // Whether the current field takes the character.
    virtual bool canEditAcceptKey(char16_t key) const = 0;
    // The window's default or cancel button takes the key instead of the grid.
    virtual bool windowTakesKey(const QKeyEvent& event) const = 0;
    // Moves the focus to the next or previous control after the grid.
    virtual void focusNeighbour(bool next) = 0;
    // The focus came into the grid or its editor; or went from them to newFocus (another control
    // of the window when moved is true, else a popup or another window).
    virtual void focusEntered() = 0;
    virtual void focusLeft(QWidget* newFocus, bool moved) = 0;
    // The grid's double-click and edit-button events.
    virtual void doubleClicked() = 0;
    virtual void editButtonClicked() = 0;
    virtual QStringList pickListValues() = 0;
    virtual void pickListChosen(const QString& value) = 0;

protected:
    ~TInplaceEditHost() = default;
};

class TDBGridInplaceEdit : public QLineEdit {
public:
    explicit TDBGridInplaceEdit(TInplaceEditHost& grid);

    TInplaceEditHost& grid() const { return m_grid; }
    bool autoSelect() const { return m_autoSelect; }
    void setAutoSelect(bool on) { m_autoSelect = on; }
    bool hasEditMask() const { return !inputMask().isEmpty(); }

    // Key handling in the system's terms; a key set to 0 goes no further.
    virtual void keyDown(int& key, ui::ShiftState shift);
    virtual void keyPress(char16_t& key);

    // A character typed on the grid that opened the editor: handled as typed here.
    void typeChar(char16_t key, bool keypad = false);
    // The grid shows new contents in the editor.
    virtual void contentsChanged(bool select);

    enum class EditStyle { Simple, Ellipsis, PickList };
    EditStyle editStyle() const { return m_editStyle; }
    void setEditStyle(EditStyle style);
    // Opens the pick list under the cell; closeUp closes it, taking its current value when
    // accept is true.
    void dropDown();
    void closeUp(bool accept);
    QListWidget* pickList() const { return m_list; }
    QToolButton* editButton() const { return m_button; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The grid's key-down handling, after which the key is spent.
    void sendToParent(int& key, ui::ShiftState shift);
    // The grid's key-down event (the window's handler) for a key the editor keeps.
    void parentEvent(int& key, ui::ShiftState shift);
    // The caret at the start with nothing selected, or all the text selected.
    bool leftSide() const;
    // The caret at the end with nothing selected, or all the text selected.
    bool rightSide() const;

private:
    void placeButton();
    // The character typed for `typed` in the current cell: a decimal key in a float field types
    // the separator in force, a second separator is 0 (refused).
    char16_t decimalKey(char16_t typed, bool keypad) const;

    TInplaceEditHost& m_grid;
    bool m_autoSelect = true;
    EditStyle m_editStyle = EditStyle::Simple;
    QToolButton* m_button = nullptr;
    QListWidget* m_list = nullptr;
};
