#include "platform/ui/data_grid_model.h"

#include "platform/db/data_set.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/grid_data_link.h"

#include <exception>

namespace ui {

// The request to write pending edits arrives inside the dataset's post (or move) and is answered
// there, so that a value the field refuses stops the post; every other notification becomes the
// link's signal.
class DataGridModel::Link : public GridDataLink {
public:
    explicit Link(DataGridModel& model) : m_model(model) {}

protected:
    void dataEvent(db::DataEvent event, db::Field* field) override {
        if (event == db::DataEvent::UpdateData) {
            if (m_model.onUpdateData)
                m_model.onUpdateData();
            return;
        }
        GridDataLink::dataEvent(event, field);
    }

private:
    DataGridModel& m_model;
};

// Holds back the model's reactions to the dataset while the grid moves it by several records,
// and re-reads the window once at the end.
class DataGridModel::HoldBack {
public:
    explicit HoldBack(DataGridModel& model)
        : m_model(model), preferredRow(model.m_window.activeRow()) {
        ++m_model.m_holdLevel;
    }
    ~HoldBack() {
        if (--m_model.m_holdLevel == 0 && m_model.m_heldChange) {
            m_model.m_heldChange = false;
            m_model.reread(preferredRow);
        }
    }
    HoldBack(const HoldBack&) = delete;
    HoldBack& operator=(const HoldBack&) = delete;

private:
    DataGridModel& m_model;

public:
    int preferredRow;
};

DataGridModel::DataGridModel(DataGridColumns& columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(columns), m_link(std::make_unique<Link>(*this)) {
    connect(m_link.get(), &GridDataLink::activeChanged, this, [this] { reload(); });
    connect(m_link.get(), &GridDataLink::dataSetChanged, this, [this] { dataSetChanged(); });
    connect(m_link.get(), &GridDataLink::scrolled, this, [this] { dataScrolled(); });
    connect(m_link.get(), &GridDataLink::recordChanged, this,
            [this](db::Field* field) { dataRecordChanged(field); });
    connect(m_link.get(), &GridDataLink::stateChanged, this, [this] { emit stateChanged(); });
}

DataGridModel::~DataGridModel() {
    detach();
}

db::DataSource* DataGridModel::dataSource() const {
    return m_link->dataSource();
}

void DataGridModel::setDataSource(db::DataSource* source) {
    m_link->setDataSource(source);
    // Attaching tells the link nothing: take the dataset as it is now.
    reload();
}

void DataGridModel::detach() {
    const QSignalBlocker quiet(m_link.get());
    m_link->setDataSource(nullptr);
}

db::DataSet* DataGridModel::dataSet() const {
    return m_link->dataSet();
}

db::DataSet* DataGridModel::activeDataSet() const {
    return m_link->isActive() ? m_link->dataSet() : nullptr;
}

// ---- the dataset's notifications ----

void DataGridModel::reload() {
    db::DataSet* dataSet = activeDataSet();
    m_appending = m_newRowAtEnd = false;
    std::exception_ptr error;
    if (m_columns.sameColumns(dataSet)) {
        // The view keeps its columns: they are bound to the fields anew (a title may follow its
        // field) and only the rows are read again, without the view laying itself out again.
        try {
            m_columns.bindColumns(dataSet);
        } catch (...) {
            error = std::current_exception();
        }
        if (columnCount() > 0)
            emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
        reread(m_window.activeRow(), Cause::Changed);
        emit opened();
        handleException(error);
        return;
    }
    // The view lays itself out anew around the new columns, which may change the rows that fit
    // (a header that comes or goes); the window is read once afterwards, at its final size.
    {
        HoldBack hold(*this);
        beginResetModel();
        try {
            m_columns.bindColumns(dataSet);
        } catch (...) {
            error = std::current_exception();
        }
        m_window.clear();
        endResetModel();
        m_heldChange = false;
    }
    if (dataSet && !error)
        reread(0, Cause::Changed);
    emit opened();
    handleException(error);
}

void DataGridModel::dataSetChanged() {
    if (m_holdLevel > 0) {
        m_heldChange = true;
        return;
    }
    reread(m_window.activeRow(), Cause::Changed);
}

void DataGridModel::dataScrolled() {
    if (m_holdLevel > 0) {
        m_heldChange = true;
        return;
    }
    const db::DataSet* dataSet = activeDataSet();
    if (!dataSet)
        return;
    const int active = m_window.activeRow();
    int preferred = dataSet->isEmpty() ? -1 : m_window.find(dataSet->currentRecord().id);
    if (preferred < 0) {
        // One record beyond the window: it scrolls by one, the cursor staying at its edge.
        if (active >= m_window.count() - 1)
            preferred = m_window.capacity() - 1;
        else if (active <= 0)
            preferred = 0;
        else
            preferred = active;
    }
    reread(preferred, Cause::Scrolled);
}

void DataGridModel::dataRecordChanged(db::Field* field) {
    if (m_holdLevel > 0) {
        m_heldChange = true;
        return;
    }
    db::DataSet* dataSet = activeDataSet();
    const int active = m_window.activeRow();
    if (!dataSet || active < 0)
        return;
    // While browsing, a row that holds another record than the current one is left alone.
    if (dataSet->state() == db::DataSetState::Browse &&
        (dataSet->isEmpty() || m_window.row(active).id != dataSet->currentRecord().id))
        return;
    m_window.takeCurrent(*dataSet);
    rowChanged(active);
    emit currentRecordChanged(field);
}

// ---- reading the window ----

void DataGridModel::reread(int preferredRow, Cause cause) {
    db::DataSet* dataSet = activeDataSet();
    std::exception_ptr error;
    try {
        windowChanging([&] { readWindow(dataSet, preferredRow); });
    } catch (...) {
        error = std::current_exception();
    }
    emit windowRead(cause);
    handleException(error);
}

void DataGridModel::readWindow(db::DataSet* dataSet, int preferredRow) {
    const bool appending = std::exchange(m_appending, false);
    if (m_rowsInView)
        m_window.setCapacity(m_rowsInView());
    if (!dataSet) {
        m_window.clear();
        return;
    }
    try {
        if (dataSet->state() == db::DataSetState::Insert) {
            if (m_window.newRow() >= 0) {
                m_window.takeCurrent(*dataSet);
            } else {
                m_newRowAtEnd = appending;
                m_window.placeNewRecord(*dataSet, m_newRowAtEnd);
            }
        } else {
            m_newRowAtEnd = false;
            m_window.fill(*dataSet, preferredRow);
        }
    } catch (...) {
        m_window.clear();
        throw;
    }
}

void DataGridModel::windowChanging(const std::function<void()>& change) {
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

void DataGridModel::setCapacity(int rows) {
    if (rows == m_window.capacity())
        return;
    // A window short of its capacity holds every record: while they all still fit, there is
    // nothing to read again (a scroll bar that comes or goes changes the rows in view).
    const bool holdsAll = !m_window.isEmpty() && m_window.count() < m_window.capacity();
    m_window.setCapacity(rows);
    if (holdsAll && m_window.count() <= rows)
        return;
    if (m_holdLevel > 0)
        m_heldChange = true;
    else if (activeDataSet() || !m_window.isEmpty())
        reread(m_window.activeRow());
}

void DataGridModel::columnsChanged() {
    std::exception_ptr error;
    beginResetModel();
    try {
        m_columns.bindColumns(activeDataSet());
    } catch (...) {
        error = std::current_exception();
    }
    endResetModel();
    handleException(error);
}

void DataGridModel::rowChanged(int row) {
    if (row >= 0 && row < rowCount() && columnCount() > 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void DataGridModel::allRowsChanged() {
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

// ---- the grid's moves ----

int DataGridModel::moveBy(int distance) {
    db::DataSet* dataSet = activeDataSet();
    if (!dataSet || distance == 0)
        return 0;
    HoldBack hold(*this);
    const int from = m_window.activeRow();
    const int moved = dataSet->moveBy(distance);
    hold.preferredRow = from + moved;
    return moved;
}

void DataGridModel::moveTo(int row) {
    if (row < 0 || row >= m_window.count() || row == m_window.activeRow())
        return;
    moveBy(row - m_window.activeRow());
}

void DataGridModel::first() {
    db::DataSet* dataSet = activeDataSet();
    if (!dataSet)
        return;
    HoldBack hold(*this);
    dataSet->first();
    hold.preferredRow = 0;
}

void DataGridModel::last() {
    db::DataSet* dataSet = activeDataSet();
    if (!dataSet)
        return;
    HoldBack hold(*this);
    dataSet->last();
    hold.preferredRow = m_window.capacity() - 1;
}

void DataGridModel::append() {
    db::DataSet* dataSet = activeDataSet();
    if (!dataSet)
        return;
    m_appending = true;
    try {
        dataSet->append();
    } catch (...) {
        m_appending = false;
        throw;
    }
    m_appending = false;
}

// ---- the table ----

int DataGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_window.count();
}

int DataGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns.columnCount();
}

QVariant DataGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    return m_columns.cellData(index.row(), index.column(), role);
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QVariant();
    return m_columns.headerData(section, role);
}

Qt::ItemFlags DataGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace ui
