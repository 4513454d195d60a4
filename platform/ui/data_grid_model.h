#pragma once
// The data-aware table model of the navigational grids: the module's data grid and the host's
// record grid both show their dataset through it. It holds no data of its own: its rows are a
// window of records around the dataset's current record (RecordWindow), re-read through the
// dataset whenever the dataset tells the model's data link that something changed, and its cells
// and titles are answered by the grid's columns (DataGridColumns). The current row is always the
// dataset's current record.
//
// How the model follows its dataset:
// - opened, closed or replaced: the columns are bound to the fields again and the view starts
//   afresh (only the rows are re-read when the columns stayed the same);
// - records changed: the window is re-read around the current record, which keeps its row as far
//   as the records before and after it allow;
// - the current record moved: the window is re-read with the record on its row, or at the edge
//   it crossed when it left the window, so that the window scrolls only when the cursor leaves it;
// - the current record changed: its row takes it as it is now;
// - a record being inserted has no place in the order yet: it shows at the active row, or after
//   the last row when the grid appended it.
// The grid's own moves (moveBy, first, last) hold these reactions back and re-read the window
// once at the end, with the record where the move put it.
//
// Nothing is reported from inside a model change: an error raised while the window is read is
// shown once the view (and the grid, through the signals) has heard the whole change.
#include "platform/ui/record_window.h"

#include <QAbstractTableModel>

#include <functional>
#include <memory>

namespace db {
class DataSet;
class DataSource;
class Field;
} // namespace db

namespace ui {

// What the model asks of the grid's columns.
class DataGridColumns {
public:
    virtual int columnCount() const = 0;
    // row is an index into the window; role a Qt item data role.
    virtual QVariant cellData(int row, int column, int role) const = 0;
    virtual QVariant headerData(int section, int role) const = 0;
    // Binds the columns to the fields of the dataset (null while it is closed); the view starts
    // afresh around it.
    virtual void bindColumns(db::DataSet* dataSet) = 0;
    // Whether binding to the dataset would leave the columns as they are, so that the view need
    // not start afresh.
    virtual bool sameColumns(const db::DataSet*) const { return false; }

protected:
    ~DataGridColumns() = default;
};

class DataGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Why the window was read again: a change the dataset announced (the record on the active
    // row may be another one), a move of its current record, or the grid's own re-reading.
    enum class Cause { Changed, Scrolled, Reread };

    DataGridModel(DataGridColumns& columns, QObject* parent);
    ~DataGridModel() override;

    db::DataSource* dataSource() const;
    // Attaches the source and takes its dataset as it is now.
    void setDataSource(db::DataSource* source);
    // Lets go of the source without reading anything (the grid is going).
    void detach();
    // The source's dataset, open or not; activeDataSet only while it is open.
    db::DataSet* dataSet() const;
    db::DataSet* activeDataSet() const;

    RecordWindow& window() { return m_window; }
    const RecordWindow& window() const { return m_window; }
    // The row of the dataset's current record, -1 when there is none.
    int currentRow() const { return m_window.activeRow(); }
    // The rows the window holds: those that fit in the grid. A change re-reads the window.
    int capacity() const { return m_window.capacity(); }
    void setCapacity(int rows);
    // Where set, the rows that fit in the grid now, taken as the capacity whenever the window is
    // read.
    void setRowsInView(std::function<int()> rows) { m_rowsInView = std::move(rows); }
    // The record being inserted was appended by the grid and shows after the last row.
    bool newRowAtEnd() const { return m_newRowAtEnd; }

    // The grid's moves. moveBy answers how far the dataset moved.
    int moveBy(int distance);
    // Makes the record of a row the current one.
    void moveTo(int row);
    void first();
    void last();
    // Appends a record, shown after the last row.
    void append();

    // Binds the columns and reads the rows again, as when the dataset opens.
    void reload();
    // Re-reads the window with the current record on preferredRow, as far as the records allow.
    void reread(int preferredRow, Cause cause = Cause::Reread);
    // The grid's columns changed what they show: the view starts afresh.
    void columnsChanged();
    void rowChanged(int row);
    void allRowsChanged();

    // Asked to write pending edits into the fields, inside the dataset's post or move; an
    // exception (a value the field refuses) stops the post.
    std::function<void()> onUpdateData;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The dataset was opened, closed or replaced and the model has read it.
    void opened();
    // The window was read again.
    void windowRead(ui::DataGridModel::Cause cause);
    // The current record changed: one field, or all of them when field is null.
    void currentRecordChanged(db::Field* field);
    // The dataset went to browse, edit or insert.
    void stateChanged();

private:
    class Link;
    class HoldBack;

    void dataSetChanged();
    void dataScrolled();
    void dataRecordChanged(db::Field* field);
    // Runs change, which re-reads the window, and tells the view which rows came or went.
    void windowChanging(const std::function<void()>& change);
    void readWindow(db::DataSet* dataSet, int preferredRow);
    // Runs the move with the model's reactions held back; the window is then read once with the
    // current record on the row preferred() answers.
    int heldBack(const std::function<int()>& move, const std::function<int(int moved)>& preferred);

    DataGridColumns& m_columns;
    std::unique_ptr<Link> m_link;
    RecordWindow m_window;
    std::function<int()> m_rowsInView;
    int m_holdLevel = 0;
    bool m_heldChange = false;
    bool m_appending = false;
    bool m_newRowAtEnd = false;
};

} // namespace ui
