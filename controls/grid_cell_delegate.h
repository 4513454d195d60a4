#pragma once
// Paints the cells of a data grid. Each cell is drawn with the row's values: the grid's window
// holds the rows, and the dataset reads a row (its lookup and calculated values computed once per
// row for every paint) while the grid's drawing event, or the default drawing, draws it on the
// grid's canvas. The row being edited is the dataset's own current record. Painting never reports
// an error: a row that cannot be read is left as it was painted.
#include "controls/grid_options.h"

#include <QStyledItemDelegate>

class TColumn;
class TNormalCustomDBGrid;
struct TCanvas;

class TGridCellDelegate : public QStyledItemDelegate {
public:
    explicit TGridCellDelegate(TNormalCustomDBGrid& grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // The grid's default drawing of a cell: the background, then the field's display text.
    static void drawDefault(const TCanvas& canvas, const QRect& rect, const TColumn& column);

private:
    TNormalCustomDBGrid& m_grid;
};
