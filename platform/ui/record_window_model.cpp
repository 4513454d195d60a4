#include "platform/ui/record_window_model.h"

#include <exception>

namespace ui {

RecordWindowModel::RecordWindowModel(RecordWindow& window, const RecordWindowCells& cells,
                                     QObject* parent)
    : QAbstractTableModel(parent), m_window(window), m_cells(cells) {}

int RecordWindowModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_window.count();
}

int RecordWindowModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cells.cellColumnCount();
}

QVariant RecordWindowModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    return m_cells.cellData(index.row(), index.column(), role);
}

QVariant RecordWindowModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QVariant();
    return m_cells.columnHeaderData(section, role);
}

Qt::ItemFlags RecordWindowModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void RecordWindowModel::windowChanging(const std::function<void()>& change) {
    const int before = rowCount();
    // The window is re-read into a copy first, so that the view never sees rows it was not told of.
    RecordWindow saved = m_window;
    std::exception_ptr error;
    try {
        change();
    } catch (...) {
        error = std::current_exception();
    }
    const int after = rowCount();
    if (after != before) {
        RecordWindow fresh = std::move(m_window);
        m_window = std::move(saved);
        if (after > before)
            beginInsertRows(QModelIndex(), before, after - 1);
        else
            beginRemoveRows(QModelIndex(), after, before - 1);
        m_window = std::move(fresh);
        if (after > before)
            endInsertRows();
        else
            endRemoveRows();
    }
    allRowsChanged();
    emit headerDataChanged(Qt::Vertical, 0, qMax(0, qMax(before, after) - 1));
    if (error)
        std::rethrow_exception(error);
}

void RecordWindowModel::columnsReset(const std::function<void()>& change) {
    std::exception_ptr error;
    beginResetModel();
    try {
        change();
    } catch (...) {
        error = std::current_exception();
    }
    endResetModel();
    if (error)
        std::rethrow_exception(error);
}

void RecordWindowModel::rowChanged(int row) {
    if (row >= 0 && row < rowCount() && columnCount() > 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void RecordWindowModel::allRowsChanged() {
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

} // namespace ui
