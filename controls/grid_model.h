#pragma once
// The table model of a data grid. It holds no data: its rows are the grid's window of records and
// its columns the grid's columns, and every value is read through the dataset when the view asks.
// The grid tells it when the window was re-read (rows may come or go) or the columns changed.
#include <QAbstractTableModel>

#include <functional>

class TNormalCustomDBGrid;

class TGridModel : public QAbstractTableModel {
public:
    explicit TGridModel(TNormalCustomDBGrid& grid);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Runs change, which re-reads the grid's window, and tells the view which rows came or went;
    // every row is taken as changed.
    void windowChanging(const std::function<void()>& change);
    // The columns changed: the view starts afresh.
    void columnsReset(const std::function<void()>& change);
    void rowChanged(int row);

private:
    TNormalCustomDBGrid& m_grid;
};
