#pragma once
// Paradox tables written by the reading library's own writer, for the import's tests and
// benchmark: fixtures are made where they are used, never taken from elsewhere.
#include "import/paradox_layout.h"
#include "platform/db/field_type.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

namespace db {
class Database;
}

namespace pxtest {

struct Column {
    QByteArray name; // as the file stores it
    paradox::FieldCode code = paradox::FieldCode::Alpha;
    int length = 0; // bytes; the writer fills in the fixed lengths of fixed types when 0
};

// Values by column type: text as QString (written in code page 1250) or QByteArray (written as
// it is); numbers and money as double; short, long and autoincrement as int; dates as QDate or
// as a raw day count (qint64, day 1 = 1 January of year 1); logicals as bool. A null QVariant
// leaves the field empty.
using Row = QVariantList;

// Writes the file, replacing it. Throws std::runtime_error when the library refuses.
void writeTable(const QString& path, const QList<Column>& columns, const QList<Row>& rows);

// Streams records into a file, for tables too large to hold in memory as rows. The library
// writes into memory (it seeks and rewrites its header for every record, which on a file costs
// several system calls each) and the file is written once, at close; expectedRecords sizes that
// memory, and writing far more is refused.
class TableWriter {
public:
    TableWriter(const QString& path, const QList<Column>& columns, qint64 expectedRecords = 1000);
    ~TableWriter();
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;
    void add(const Row& row);
    void close();

private:
    struct Impl;
    Impl* m;
};

// The file column of an engine field: text(n) as text of n bytes, float as number, date as
// date, boolean as logical, integer as long.
Column columnFor(const db::FieldDef& field);

// Writes every table of the database as a Paradox file in the directory ("<stored name>.DB"),
// its records in the order they were entered.
void exportDatabase(db::Database& database, const QString& directory);

// Patches bytes of a file in place (for damaged-file cases).
void patchFile(const QString& path, qint64 offset, const QByteArray& bytes);
void truncateFile(const QString& path, qint64 size);

} // namespace pxtest
