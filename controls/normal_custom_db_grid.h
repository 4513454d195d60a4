#pragma once
// The data grid of the module's windows: the records of a data source as rows, chosen fields as
// columns, the current cell edited in place, and a list of selected rows.
//
// It is a navigational grid. Its rows are a window of records around the dataset's current record
// (RecordWindow), read through the dataset whenever the dataset tells the grid's data link that
// something changed; the thin model over that window holds nothing of its own. The current row is
// always the dataset's current record: moving in the grid moves the dataset (next, prior, moveBy,
// first, last), and the window scrolls only when the cursor leaves it. The lookup and calculated
// values of each row are computed again for every paint, so figures that depend on other tables
// are always those of the moment.
//
// Keys are handled in the system's terms (keyDown with a virtual-key code and shift state,
// keyPress with a character): Tab and Shift+Tab (dgTabs) move between cells and wrap to the next or
// previous record; Down at the last record appends when editing is allowed, and Down or Up on a new
// record that was not changed drop it; Insert inserts; Ctrl+Delete deletes the current record or
// the selected ones (asking first with dgConfirmDelete); Escape undoes the pending cell change,
// then the record's edit; F2 shows the cell editor; Home and End go to the first and last column
// (or record); Ctrl+Home and Ctrl+End to the first and last record; Shift+Up and Shift+Down select
// rows in a dgMultiSelect grid. A typed character opens the cell editor with it. Enter, Escape and
// Tab that the grid has no use for go to the window (its default and cancel buttons, the focus
// chain).
//
// The pending text of the cell editor is written into its field when the cursor leaves the cell,
// before the record is posted and when the focus leaves the grid (a new record that was not changed
// is dropped instead with dgCancelOnExit); a refused value keeps the cursor where it is.
#include "controls/bookmark_list.h"
#include "controls/db_grid_columns.h"
#include "controls/grid_options.h"
#include "controls/record_window.h"
#include "platform/ui/control.h"

#include <QFont>
#include <QPointer>
#include <QTableView>

#include <functional>
#include <memory>

namespace db {
class DataSet;
class DataSource;
class Field;
} // namespace db

class TDBGridInplaceEdit;
class TGridEditorController;
class TGridDataLink;
class TGridModel;

// What a cell is drawn with; the drawing event may change it before it draws the cell with the
// grid's default drawing, and must restore what it changed.
struct TCanvas {
    QFont font;
    QColor fontColor;
    QColor brushColor;
    QPainter* painter = nullptr; // set only while a cell is drawn
};

class TNormalCustomDBGrid : public ui::Control<QTableView> {
public:
    explicit TNormalCustomDBGrid(QWidget* parent = nullptr);
    ~TNormalCustomDBGrid() override;

    db::DataSource* dataSource() const;
    void setDataSource(db::DataSource* source);
    // The data source's dataset (open or not), or null.
    db::DataSet* dataSet() const;

    TDBGridOptions options() const { return m_options; }
    // dgRowSelect removes dgEditing and dgAlwaysShowEditor; removing dgMultiSelect empties the
    // selection.
    void setOptions(TDBGridOptions options);
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);
    TDBGridColumns& columns() { return m_columns; }
    QFont titleFont() const { return m_titleFont; }
    void setTitleFont(const QFont& font);

    // The field of the current column, or null.
    db::Field* currentField() const;
    // Moves to the first shown column that shows the field.
    void setCurrentField(db::Field* field);
    // The index in columns() of the current column, -1 when there is none.
    int selectedIndex() const { return m_selectedCol; }
    void setSelectedIndex(int index);
    TColumn* currentColumn() const;

    TXBookmarkList& selectedRecords() { return *m_selected; }

    bool editorMode() const;
    // Shows or hides the cell editor (shown only where editing is allowed).
    void setEditorMode(bool on);
    // The cell editor, created on first use; null before.
    TDBGridInplaceEdit* inplaceEditor() const;

    // Rows of the window: the active row is the current record.
    int row() const;
    int rowCount() const;
    // Records that fit in the grid.
    int visibleRowCount() const;
    // Columns shown, in order (indexes in columns()).
    QList<int> shownColumns() const;
    // The leftmost column scrolled into view, -1 when none.
    int leftColumn() const;
    // Columns wholly visible from the leftmost one on.
    int fullyVisibleColumns() const;
    // Scrolls the shown columns by one to the left (-1) or right (+1) without moving the cursor.
    void scrollColumns(int direction);

    // Drawing: onDrawColumnCell draws a cell instead of the grid (its fields read the row being
    // drawn); it may call defaultDrawColumnCell.
    using DrawColumnCellEvent =
        std::function<void(TNormalCustomDBGrid& sender, const QRect& rect, int dataCol,
                           TColumn& column, TGridDrawState state)>;
    DrawColumnCellEvent onDrawColumnCell;
    void defaultDrawColumnCell(const QRect& rect, int dataCol, TColumn& column,
                               TGridDrawState state);
    TCanvas& canvas() { return m_canvas; }
    // Runs when the button of a cbsEllipsis column's editor is pressed.
    std::function<void()> onEditButtonClick;

    // Key handling in the system's terms. keyDown runs onKeyDown, then the grid's own handling
    // (a window hands the grid a key this way); keyPress runs onKeyPress, then the grid's own.
    virtual void keyDown(int& key, ui::ShiftState shift);
    virtual void keyPress(char16_t& key);

    // Writes the cell editor's pending text into the current field; throws when it is refused.
    void updateData();
    // True while the cell editor holds text that was typed and not yet written.
    bool editModified() const;
    // Whether the current cell may be changed; puts the dataset into edit mode when it may.
    bool canEditModify();
    // Whether the current field takes the character.
    bool canEditAcceptKey(char16_t key) const;

    // The values the current column offers in its pick list: the column's own list, or the
    // results of its lookup field's dataset.
    QStringList pickListValues();
    // Puts a value chosen from the pick list into the current cell; for a lookup field, the key
    // fields of the record take the values of the lookup record that has it.
    void pickListChosen(const QString& value);

    // The text of a cell of the window, as drawn.
    QString cellText(int row, int column);
    void invalidateRow(int row);
    void invalidateAll();

    // The window of records shown (for the model).
    RecordWindow& records() { return m_window; }

protected:
    // The cell editor to use; a derived grid gives its own.
    virtual TDBGridInplaceEdit* createEditor();

    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;

    // Navigation as the keys do it.
    void nextRow(bool select, ui::ShiftState shift);
    void priorRow(bool select, ui::ShiftState shift);
    // Moves one record, selecting rows with Shift in a dgMultiSelect grid.
    void doSelection(bool select, ui::ShiftState shift, int direction);
    // Moves the dataset; answers how far it moved.
    int moveBy(int distance);
    // Makes a column current, writing the pending cell text first.
    void moveCol(int column);
    void firstColumn();
    void lastColumn();
    void tab(bool forward);
    // The shown column beside the current one (direction -1: left, +1: right), -1 at the edge.
    // Tab, Left and Right all move through it.
    int neighbourColumn(int direction) const;
    void clearSelection();
    void deleteRecords();
    void resetEdit();
    // The enabled default button (Enter) or the cancel button (Escape) of the window takes the
    // key instead of the grid.
    bool windowTakesKey(const QKeyEvent& event) const;
    // Moves the focus to the next or previous control after the grid.
    void focusNeighbour(bool next);

    bool isEditingAllowed() const;
    bool canEditShow() const;
    void showEditor();
    void hideEditor();
    // Puts the current field's text into the editor; select selects it all.
    void updateEditorContents(bool select);

private:
    friend class TDBGridInplaceEdit;
    friend class TGridEditorController;
    friend class TGridCellDelegate;
    friend class TIndicatorHeader;
    friend class TGridModel;

    db::DataSet* activeDataSet() const;
    void dataActiveChanged();
    void dataSetChanged();
    void dataScrolled();
    void dataRecordChanged(db::Field* field);
    void dataStateChanged();
    void refreshWindow(int preferredRow);
    void columnsChanged(bool structure);
    void applyColumnLayout();
    void syncCurrentIndex();
    void placeEditor();
    void updateScrollBar();
    void scrollBarAction(int action);
    void capacityChanged();
    // The focus came into the grid or its editor (a window's first focus included).
    void focusEntered();
    // The focus went from the grid and its editor to newFocus: another control of the window
    // when moved is true, else a popup or another window, which is no exit from the grid.
    void focusLeft(QWidget* newFocus, bool moved);
    bool ownsWidget(const QWidget* widget) const;
    TGridDrawState cellState(int row, int column) const;
    bool isSelectedRow(int row);
    bool hasFocusInside() const;
    bool escapeHasWork() const;
    int rowHeightForFont() const;

    class DeferScope;

    std::unique_ptr<TGridDataLink> m_link;
    TGridModel* m_model = nullptr;
    RecordWindow m_window;
    TDBGridColumns m_columns;
    std::unique_ptr<TXBookmarkList> m_selected;
    TDBGridOptions m_options = kDefaultGridOptions;
    bool m_readOnly = false;
    QFont m_titleFont;
    int m_selectedCol = -1;
    std::unique_ptr<TGridEditorController> m_edit;
    bool m_focusInside = false;
    int m_deferLevel = 0;
    bool m_deferredChange = false;
    bool m_appending = false;
    bool m_newRowAtEnd = false;
    bool m_selecting = false;
    int m_selectOffset = 0;
    quint64 m_paintGeneration = 1;
    TCanvas m_canvas;
    bool m_syncingSections = false;
    bool m_inColumnsReset = false;
    bool m_destroying = false;
};

// The grid as windows place it.
class TNormalDBGrid : public TNormalCustomDBGrid {
public:
    using TNormalCustomDBGrid::TNormalCustomDBGrid;
};
