#include "controls/grid_model.h"

#include "controls/normal_custom_db_grid.h"

TGridModel::TGridModel(TNormalCustomDBGrid& grid) : QAbstractTableModel(&grid), m_grid(grid) {}

int TGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid.records().count();
}

int TGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid.columns().count();
}

QVariant TGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_grid.cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_grid.columns().items(index.column())->alignment() |
                                   Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QVariant();
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

Qt::ItemFlags TGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void TGridModel::windowChanging(const std::function<void()>& change) {
    const int before = rowCount();
    // The window is re-read into a copy first, so that the view never sees rows it was not told of.
    RecordWindow saved = m_grid.records();
    change();
    const int after = rowCount();
    if (after != before) {
        RecordWindow fresh = std::move(m_grid.records());
        m_grid.records() = std::move(saved);
        if (after > before)
            beginInsertRows(QModelIndex(), before, after - 1);
        else
            beginRemoveRows(QModelIndex(), after, before - 1);
        m_grid.records() = std::move(fresh);
        if (after > before)
            endInsertRows();
        else
            endRemoveRows();
    }
    if (after > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(after - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, 0, qMax(0, qMax(before, after) - 1));
}

void TGridModel::columnsReset(const std::function<void()>& change) {
    beginResetModel();
    change();
    endResetModel();
}

void TGridModel::rowChanged(int row) {
    if (row >= 0 && row < rowCount() && columnCount() > 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}
