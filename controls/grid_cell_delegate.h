#pragma once
// Paints the cells of a data grid. Each cell is drawn with the row's values: the grid's model
// holds the window of rows, and the dataset reads a row (its lookup and calculated values computed
// once per row for every paint) while the grid's drawing event, or the default drawing, draws it
// on the grid's canvas. The row being edited is the dataset's own current record. Painting never
// reports an error: a row that cannot be read is left as it was painted.
#include "controls/grid_options.h"
#include "controls/indicator_header.h"

#include <QColor>
#include <QFont>
#include <QStyledItemDelegate>

class TColumn;
class TDBGridColumns;
namespace ui {
class DataGridModel;
}

// What a cell is drawn with; the drawing event may change it before it draws the cell with the
// grid's default drawing, and must restore what it changed.
struct TCanvas {
    QFont font;
    QColor fontColor;
    QColor brushColor;
    QPainter* painter = nullptr; // set only while a cell is drawn
};

// What the painting of the cells reads and asks of the grid.
class TGridCellSource : public TGridRowMarks {
public:
    virtual TDBGridColumns& columns() = 0;
    virtual ui::DataGridModel& dataModel() = 0;
    virtual TDBGridOptions options() const = 0;
    // The index of the current column, -1 when there is none.
    virtual int selectedIndex() const = 0;
    // The focus is on the grid or its editor.
    virtual bool hasFocusInside() const = 0;
    virtual TCanvas& canvas() = 0;
    // The grid's drawing event for a cell, or its default drawing.
    virtual void drawColumnCell(const QRect& rect, int dataCol, TColumn& column,
                                TGridDrawState state) = 0;
    // Counts the grid's paints, so that a row's derived values are computed once per paint.
    virtual quint64 paintGeneration() const = 0;
    // The cell editor is shown over the current cell.
    virtual bool editorShown() const = 0;

protected:
    ~TGridCellSource() = default;
};

class TGridCellDelegate : public QStyledItemDelegate {
public:
    // grid is the widget whose palette and font the cells take.
    TGridCellDelegate(TGridCellSource& source, QWidget& grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // The grid's default drawing of a cell: the background, then the field's display text.
    static void drawDefault(const TCanvas& canvas, const QRect& rect, const TColumn& column);

private:
    // Selected: the current cell (or row, with dgRowSelect) of a focused grid, or of any grid
    // with dgAlwaysShowSelection; focused: the current cell of a focused grid.
    TGridDrawState cellState(int row, int column) const;

    TGridCellSource& m_source;
    QWidget& m_grid;
};
