#include "platform/ui/record_window.h"

#include "platform/db/data_set.h"
#include "platform/db/read_burst.h"

#include <algorithm>

namespace ui {

int RecordWindow::find(qint64 id) const {
    for (int i = 0; i < count(); ++i)
        if (i != m_newRow && m_rows[size_t(i)].record.id == id)
            return i;
    return -1;
}

void RecordWindow::clear() {
    m_rows.clear();
    m_active = -1;
    m_newRow = -1;
}

void RecordWindow::fill(db::DataSet& dataSet, int preferredRow) {
    clear();
    if (!dataSet.isActive())
        return;
    // The rows and every row's lookups are read as one.
    const db::ReadBurst burst;
    const int wanted = std::clamp(preferredRow, 0, m_capacity - 1);
    std::vector<db::RecordBuffer> behind = dataSet.readBehind(wanted);
    std::vector<db::RecordBuffer> ahead = dataSet.readAhead(m_capacity - int(behind.size()));
    if (ahead.empty())
        return; // nothing in view
    // Near the end the records after the current one are too few: show more of those before it.
    const int total = int(behind.size() + ahead.size());
    if (total < m_capacity && int(behind.size()) == wanted)
        behind = dataSet.readBehind(m_capacity - int(ahead.size()));
    m_rows.reserve(behind.size() + ahead.size());
    for (auto it = behind.rbegin(); it != behind.rend(); ++it)
        m_rows.push_back({std::move(*it), kComputedWhenRead});
    for (db::RecordBuffer& record : ahead)
        m_rows.push_back({std::move(record), kComputedWhenRead});
    m_active = int(behind.size());
    m_rows[size_t(m_active)].computedIn = 0;
}

void RecordWindow::placeNewRecord(db::DataSet& dataSet, bool atEnd) {
    Row row{dataSet.currentRecord(), 0};
    if (m_rows.empty()) {
        m_rows.push_back(std::move(row));
        m_active = m_newRow = 0;
        return;
    }
    if (atEnd) {
        m_rows.push_back(std::move(row));
        if (count() > m_capacity)
            m_rows.erase(m_rows.begin());
        m_active = m_newRow = count() - 1;
        return;
    }
    const int at = std::clamp(m_active, 0, count());
    m_rows.insert(m_rows.begin() + at, std::move(row));
    if (count() > m_capacity)
        m_rows.pop_back();
    m_active = m_newRow = at;
}

void RecordWindow::takeCurrent(db::DataSet& dataSet) {
    if (m_active >= 0 && m_active < count())
        m_rows[size_t(m_active)] = {dataSet.currentRecord(), 0};
}

bool RecordWindow::needsCompute(int index, quint64 generation) {
    Row& row = m_rows[size_t(index)];
    if (row.computedIn == generation)
        return false;
    if (row.computedIn == kComputedWhenRead) {
        row.computedIn = generation;
        return false;
    }
    row.computedIn = generation;
    return true;
}

} // namespace ui
