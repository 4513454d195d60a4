#pragma once
// The data grid of the module's windows: the records of a data source as rows, chosen fields as
// columns, the current cell edited in place, and a list of selected rows.
//
// It is a navigational grid over the toolkit's data-aware table model (DataGridModel), which
// holds no data of its own: the rows are a window of records around the dataset's current record,
// and the current row is always the dataset's current record. Moving in the grid moves the
// dataset; the window scrolls only when the cursor leaves it. The lookup and calculated values of
// each row are computed again for every paint, so figures that depend on other tables are always
// those of the moment.
//
// The grid holds the parts together and keeps the current column; each part has its own job and
// sees the grid only through a narrow interface: the cells the model shows (TGridCells), their
// painting (TGridCellDelegate), the indicator column (TIndicatorHeader), the cell editor and its
// life (TDBGridInplaceEdit, TGridEditorController), the selected rows (TXBookmarkList) and the
// keys, wheel and clicks (TGridKeyController, which describes the keys).
#include "controls/bookmark_list.h"
#include "controls/db_grid_columns.h"
#include "controls/db_grid_inplace_edit.h"
#include "controls/grid_cell_delegate.h"
#include "controls/grid_cells.h"
#include "controls/grid_editor_controller.h"
#include "controls/grid_key_controller.h"
#include "controls/grid_options.h"
#include "controls/indicator_header.h"
#include "platform/ui/control.h"
#include "platform/ui/data_grid_model.h"

#include <QFont>
#include <QTableView>

#include <functional>
#include <memory>

namespace db {
class DataSource;
}
namespace ui {
class RecordScrollBar;
}

class TNormalCustomDBGrid : public ui::Control<QTableView>,
                            protected TGridCellSource,
                            protected TGridEditorHost,
                            protected TInplaceEditHost,
                            protected TBookmarkListOwner {
public:
    explicit TNormalCustomDBGrid(QWidget* parent = nullptr);
    ~TNormalCustomDBGrid() override;

    db::DataSource* dataSource() const { return m_model->dataSource(); }
    void setDataSource(db::DataSource* source) { m_model->setDataSource(source); }
    // The data source's dataset (open or not), or null.
    db::DataSet* dataSet() const override { return m_model->dataSet(); }

    TDBGridOptions options() const override { return m_options; }
    // dgRowSelect removes dgEditing and dgAlwaysShowEditor; removing dgMultiSelect empties the
    // selection.
    void setOptions(TDBGridOptions options);
    bool readOnly() const override { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    TDBGridColumns& columns() override { return m_columns; }
    QFont titleFont() const { return m_titleFont; }
    void setTitleFont(const QFont& font);

    // The field of the current column, or null.
    db::Field* currentField() const override;
    // Moves to the first shown column that shows the field.
    void setCurrentField(db::Field* field);
    // The index in columns() of the current column, -1 when there is none.
    int selectedIndex() const override { return m_selectedCol; }
    void setSelectedIndex(int index);
    TColumn* currentColumn() const override;
    TXBookmarkList& selectedRecords() { return *m_selected; }

    bool editorMode() const { return m_edit->mode(); }
    // Shows or hides the cell editor (shown only where editing is allowed).
    void setEditorMode(bool on);
    // The cell editor, created on first use; null before.
    TDBGridInplaceEdit* inplaceEditor() const { return m_edit->editor(); }
    // Writes the cell editor's pending text into the current field; throws when it is refused.
    void updateData() { m_edit->writePending(); }
    // True while the cell editor holds text that was typed and not yet written.
    bool editModified() const { return m_edit->modified(); }
    // Whether the current cell may be changed; puts the dataset into edit mode when it may.
    bool canEditModify() override { return m_edit->canModify(); }
    bool isEditingAllowed() const override;
    // The focus is on the grid or its editor.
    bool hasFocusInside() const override;

    // Rows of the window: the active row is the current record.
    int row() const override { return m_model->currentRow(); }
    int rowCount() const { return m_model->window().count(); }
    // Records that fit in the grid.
    int visibleRowCount() const;
    // Columns shown, in order (indexes in columns()).
    QList<int> shownColumns() const { return m_columns.shown(); }
    // The leftmost column scrolled into view, -1 when none.
    int leftColumn() const { return m_keys->leftColumn(); }
    // Scrolls the shown columns by one to the left (-1) or right (+1) without moving the cursor.
    void scrollColumns(int direction) { m_keys->scrollColumns(direction); }
    // Makes a column current, writing the pending cell text first.
    void moveCol(int column);
    void firstColumn();
    void lastColumn();
    // The shown column beside the current one (direction -1: left, +1: right), -1 at the edge.
    int neighbourColumn(int direction) const {
        return m_columns.neighbour(m_selectedCol, direction);
    }

    // Drawing: onDrawColumnCell draws a cell instead of the grid (its fields read the row being
    // drawn); it may call defaultDrawColumnCell.
    using DrawColumnCellEvent =
        std::function<void(TNormalCustomDBGrid& sender, const QRect& rect, int dataCol,
                           TColumn& column, TGridDrawState state)>;
    DrawColumnCellEvent onDrawColumnCell;
    void defaultDrawColumnCell(const QRect& rect, int dataCol, TColumn& column,
                               TGridDrawState state);
    TCanvas& canvas() override { return m_canvas; }
    // Runs when the button of a cbsEllipsis column's editor is pressed.
    std::function<void()> onEditButtonClick;

    // Key handling in the system's terms. keyDown runs onKeyDown, then the grid's own handling
    // (a window hands the grid a key this way); keyPress runs onKeyPress, then the grid's own.
    void keyDown(int& key, ui::ShiftState shift) override;
    void keyPress(char16_t& key) override;

    // The text of a cell of the window, as drawn.
    QString cellText(int row, int column) const { return m_cells->cellText(row, column); }
    void invalidateRow(int row);
    void invalidateAll();

protected:
    // The cell editor to use; a derived grid gives its own.
    TDBGridInplaceEdit* createEditor() override;

    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override { m_keys->keyPressEvent(*event); }
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override { m_keys->mousePress(*event); }
    void mouseMoveEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent*) override {}
    void mouseDoubleClickEvent(QMouseEvent*) override { doubleClicked(); }
    void wheelEvent(QWheelEvent* event) override { m_keys->wheel(*event); }
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;

    // What the parts ask of the grid.
    db::DataSet* activeDataSet() const override { return m_model->activeDataSet(); }
    ui::DataGridModel& dataModel() override { return *m_model; }
    bool isSelectedRow(int row) override;
    void drawColumnCell(const QRect& rect, int dataCol, TColumn& column,
                        TGridDrawState state) override;
    quint64 paintGeneration() const override { return m_paintGeneration; }
    bool editorShown() const override { return inplaceEditor() && inplaceEditor()->isVisible(); }
    QAbstractItemView& view() override { return *this; }
    QWidget* editorParent() const override { return viewport(); }
    void keyDownEvent(int& key, ui::ShiftState shift) override;
    bool canEditAcceptKey(char16_t key) const override { return m_edit->acceptsKey(key); }
    bool windowTakesKey(const QKeyEvent& e) const override { return m_keys->windowTakesKey(e); }
    void focusNeighbour(bool next) override { m_keys->focusNeighbour(next); }
    void focusEntered() override;
    void focusLeft(QWidget* newFocus, bool moved) override;
    void doubleClicked() override;
    void editButtonClicked() override;
    QStringList pickListValues() override { return m_edit->pickListValues(); }
    void pickListChosen(const QString& value) override { m_edit->pickListChosen(value); }
    void marksChanged(bool currentRowOnly) override;

private:
    void opened();
    void windowRead(bool recordMayDiffer);
    void currentRecordChanged(db::Field* field);
    void columnsChanged(bool structure);
    void applyColumnLayout();
    void keepCurrentColumnShown();
    void syncCurrentIndex();
    int rowHeightForFont() const;

    TDBGridColumns m_columns;
    std::unique_ptr<TGridCells> m_cells;
    ui::DataGridModel* m_model = nullptr;
    ui::RecordScrollBar* m_scrollBar = nullptr;
    std::unique_ptr<TXBookmarkList> m_selected;
    std::unique_ptr<TGridEditorController> m_edit;
    std::unique_ptr<TGridKeyController> m_keys;
    TDBGridOptions m_options = kDefaultGridOptions;
    bool m_readOnly = false;
    QFont m_titleFont;
    int m_selectedCol = -1;
    quint64 m_paintGeneration = 1;
    TCanvas m_canvas;
    bool m_syncingSections = false;
    bool m_destroying = false;
};

// The grid as windows place it.
class TNormalDBGrid : public TNormalCustomDBGrid {
public:
    using TNormalCustomDBGrid::TNormalCustomDBGrid;
};
