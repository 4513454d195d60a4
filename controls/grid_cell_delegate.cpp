#include "controls/grid_cell_delegate.h"

#include "controls/normal_custom_db_grid.h"

TGridCellDelegate::TGridCellDelegate(TNormalCustomDBGrid& grid)
    : QStyledItemDelegate(&grid), m_grid(grid) {}

void TGridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    m_grid.paintCell(painter, option.rect, index);
}
