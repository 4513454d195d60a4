#include "controls/grid_model.h"

#include "controls/normal_custom_db_grid.h"

namespace {

// An alignment as a plain number, which views read as well: a QFlags value would register its
// type with Qt from inside the add-on library, and Qt would keep that registration pointing into
// the library after the host unloads it, to crash when the library is loaded again.
QVariant alignmentValue(Qt::Alignment alignment) {
    return QVariant(int(alignment | Qt::AlignVCenter));
}

} // namespace

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
        return alignmentValue(m_grid.columns().items(column)->alignment());
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
        return alignmentValue(column->title().alignment());
    case Qt::FontRole:
        return column->title().font().value_or(m_grid.titleFont());
    case Qt::BackgroundRole:
        return column->title().color().isValid() ? QVariant(column->title().color()) : QVariant();
    default:
        return QVariant();
    }
}
