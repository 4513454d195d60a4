#pragma once
// The server's spelling of the engine's statements: every table carries an identity column
// rowid (a record's identity and the order of entry), names are folded to lower case and the
// tables found through the connection's search path, "$N" parameters (typed with CAST where a
// list of values gives no column to read the type from), varchar(n) COLLATE "C" so that text
// compares byte by byte, the server's own SUM for a total (0 over no records), NULLS FIRST
// ordering as the indexes keep it, FOR UPDATE on the records a transaction re-reads, an insert
// RETURNING the new identity and IS NOT DISTINCT FROM for an equality between empty values.
#include "platform/db/dialect.h"

namespace db::postgres {

class Dialect : public db::Dialect {
public:
    // The one object every server connection answers.
    static const Dialect& instance();

    QString identifier(const QString& name) const override;
    QString table(const QString& storedName) const override;
    QString rowId() const override { return QStringLiteral("rowid"); }
    QString parameter(int n) const override;
    QString typedParameter(int n, FieldType type) const override;
    QString columnType(const FieldDef& def) const override;
    QString total(const QString& expression) const override;
    QString orderTerm(const QString& column, bool descending, bool orderByIndex) const override;
    QString lockRows() const override;
    // A lateral read for each list: a join would let the planner, which cannot tell how few
    // records a list matches, read the whole table once instead.
    QString eachListsRecords(const QString& valuesList, const QString& table,
                             const QString& matches) const override;
    QString returningRowId() const override { return QStringLiteral(" RETURNING rowid"); }
    QString sameValue(const QString& column, const QString& value) const override;
    QueryText query(const QString& sql) const override;
};

// A column's type as the server's catalogue formats it ("character varying(30)", "double
// precision"): not known for a type no field is stored as.
ColumnType parseColumnType(const QString& formatted);

} // namespace db::postgres
