#pragma once
// Hands the painting of each cell of a data grid to the grid, which draws it through its drawing
// event or its default drawing with the row's values.
#include <QStyledItemDelegate>

class TNormalCustomDBGrid;

class TGridCellDelegate : public QStyledItemDelegate {
public:
    explicit TGridCellDelegate(TNormalCustomDBGrid& grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    TNormalCustomDBGrid& m_grid;
};
