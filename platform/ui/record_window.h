#pragma once
// The records a navigational grid shows (the module's data grid and the host's record grid): a
// window of consecutive records in view around its dataset's current record, read through the
// dataset (the records before the current one backwards, the current one and those after it
// forwards), never more than the rows that fit. The current record is the active row. Re-reading
// keeps the current record on the row it was on (or a wanted row) as far as the records before and
// after it allow, so that the window scrolls only when the cursor leaves it, and is always full
// when the dataset has enough records.
//
// While a record is inserted it has no place in the order yet: the window shows it as a new row
// at the active row (pushing the former current record down) or, for a record appended by the
// grid at the end, after the last row.
//
// Each row also remembers in which paint its lookup and calculated values were last computed, so
// that a grid computes them once per row for every paint. A row the window has just read has them
// computed by the read: the paint that follows takes them as they are. The current record is the
// exception: the dataset computed it when it moved there, maybe long before.
#include "platform/db/record_buffer.h"

#include <vector>

namespace db {
class DataSet;
}

namespace ui {

class RecordWindow {
public:
    int capacity() const { return m_capacity; }
    void setCapacity(int rows) { m_capacity = rows < 1 ? 1 : rows; }

    int count() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    // The row of the current record, -1 when the window is empty.
    int activeRow() const { return m_active; }
    // The row of the record being inserted, -1 when none is.
    int newRow() const { return m_newRow; }
    db::RecordBuffer& row(int index) { return m_rows[size_t(index)].record; }
    const db::RecordBuffer& row(int index) const { return m_rows[size_t(index)].record; }
    // The row holding the stored record with this identity (not the new row), or -1.
    int find(qint64 id) const;

    void clear();
    // Re-reads the records around the dataset's current record, which lands on preferredRow
    // (clamped to the window) unless the records before or after it are too few.
    void fill(db::DataSet& dataSet, int preferredRow);
    // Makes room for the dataset's new record: at the active row, or after the last row.
    void placeNewRecord(db::DataSet& dataSet, bool atEnd);
    // Puts the dataset's current record, as it is now, into the active row.
    void takeCurrent(db::DataSet& dataSet);

    // True once per paint generation for each row: its derived values are then to be computed.
    bool needsCompute(int index, quint64 generation);

private:
    // The generation of a row whose derived values were computed as it was read.
    static constexpr quint64 kComputedWhenRead = ~quint64(0);
    struct Row {
        db::RecordBuffer record;
        quint64 computedIn = 0;
    };
    std::vector<Row> m_rows;
    int m_capacity = 1;
    int m_active = -1;
    int m_newRow = -1;
};

} // namespace ui
