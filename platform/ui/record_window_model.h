#pragma once
// The thin table model of a navigational grid. It holds no data: its rows are the grid's window of
// records (RecordWindow) and its cells and titles are answered by the grid (RecordWindowCells).
// The grid re-reads its window inside windowChanging, so that the view hears exactly which rows
// came or went, and changes its columns inside columnsReset.
//
// Nothing is reported from inside a model change: an error raised while the window or the columns
// are re-read is kept and thrown again once the view has heard the whole change.
#include "platform/ui/record_window.h"

#include <QAbstractTableModel>

#include <functional>

namespace ui {

// What a RecordWindowModel asks of its grid.
class RecordWindowCells {
public:
    virtual int cellColumnCount() const = 0;
    // row is an index into the window; role a Qt item data role.
    virtual QVariant cellData(int row, int column, int role) const = 0;
    virtual QVariant columnHeaderData(int section, int role) const = 0;

protected:
    ~RecordWindowCells() = default;
};

class RecordWindowModel : public QAbstractTableModel {
public:
    RecordWindowModel(RecordWindow& window, const RecordWindowCells& cells, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Runs change, which re-reads the window, and tells the view which rows came or went; every
    // row is taken as changed. An exception of change is thrown again after the notifications.
    void windowChanging(const std::function<void()>& change);
    // The columns (or everything) changed: the view starts afresh. An exception of change is
    // thrown again after the reset.
    void columnsReset(const std::function<void()>& change);
    void rowChanged(int row);
    void allRowsChanged();

private:
    RecordWindow& m_window;
    const RecordWindowCells& m_cells;
};

} // namespace ui
