#pragma once
// Batch move in copy mode: creates (or replaces) the destination table with the structure of
// the source (field names, types, text widths) and copies every record of the source, in its
// order and through its filter, in one transaction.
#include <QString>

namespace db {

class DataSet;
class Table;

class BatchMove {
public:
    enum class Mode { Copy };

    void setSource(DataSet* source) { m_source = source; }
    DataSet* source() const { return m_source; }
    void setDestination(Table* destination) { m_destination = destination; }
    Table* destination() const { return m_destination; }
    void setMode(Mode mode) { m_mode = mode; }
    Mode mode() const { return m_mode; }

    void execute();
    int movedCount() const { return m_moved; }

private:
    DataSet* m_source = nullptr;
    Table* m_destination = nullptr;
    Mode m_mode = Mode::Copy;
    int m_moved = 0;
};

} // namespace db
