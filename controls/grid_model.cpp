#include "controls/grid_model.h"

#include "controls/normal_custom_db_grid.h"

TGridModel::TGridModel(TNormalCustomDBGrid& grid)
    : ui::RecordWindowModel(grid.records(), *this, &grid), m_grid(grid) {}

int TGridModel::cellColumnCount() const {
    return m_grid.columns().count();
}

QVariant TGridModel::cellData(int row, int column, int role) const {
    switch (role) {
    case Qt::DisplayRole:
        return m_grid.cellText(row, column);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_grid.columns().items(column)->alignment() | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant TGridModel::columnHeaderData(int section, int role) const {
    const TColumn* column = m_grid.columns().items(section);
    switch (role) {
    case Qt::DisplayRole:
        return column->title().caption();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(column->title().alignment() | Qt::AlignVCenter);
    case Qt::FontRole:
        return column->title().font().value_or(m_grid.titleFont());
    case Qt::BackgroundRole:
        return column->title().color().isValid() ? QVariant(column->title().color()) : QVariant();
    default:
        return QVariant();
    }
}
