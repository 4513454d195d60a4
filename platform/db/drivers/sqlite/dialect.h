#pragma once
// SQLite's spelling of the engine's statements: the built-in rowid as a record's identity,
// tables qualified with the main schema (so that a table called "temp" is never taken for the
// temporary schema), "?N" parameters, TEXT(n)/FLOAT/DATE/BOOLEAN/INTEGER column types, TOTAL()
// for a float total, IS for an equality that holds between two empty values. SQLite sorts empty
// values first already and its write lock (BEGIN IMMEDIATE) keeps every record a transaction
// reads, so ordering needs no NULLS FIRST and a re-read no row lock.
#include "platform/db/dialect.h"

namespace db::sqlite {

class Dialect : public db::Dialect {
public:
    // The one object every SQLite connection answers.
    static const Dialect& instance();

    QString identifier(const QString& name) const override;
    QString table(const QString& storedName) const override;
    QString rowId() const override { return QStringLiteral("rowid"); }
    QString parameter(int n) const override;
    QString columnType(const FieldDef& def) const override;
    QString total(const QString& expression) const override;
    // A "+" keeps SQLite from walking the ordering index.
    QString orderTerm(const QString& column, bool descending, bool orderByIndex) const override;
    QString lockRows() const override { return QString(); }
    QString eachListsRecords(const QString& valuesList, const QString& table,
                             const QString& matches) const override;
    QString returningRowId() const override { return QString(); }
    QString sameValue(const QString& column, const QString& value) const override;
    // Quoted table file names become qualified table names; SQLite binds ":Name" itself.
    QueryText query(const QString& sql) const override;
};

// A declared column type read back ("TEXT(30)", "varchar(12)", "FLOAT"): not known for an
// expression (no declaration) or a type no field is stored as.
ColumnType parseColumnType(const QString& declared);

} // namespace db::sqlite
