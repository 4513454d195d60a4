#pragma once
// How one database engine spells what the dataset engine asks of it: one object per driver
// (drivers/<name>/dialect.*), answered by its connection. Table, BatchMove and the copy of a
// database build their statements from it alone, so no engine's spelling sits in the engine
// core; a new driver fills in one of these and its statements follow.
//
// What it spells:
//   - names: a column or index name quoted, a table name qualified where the engine needs it;
//   - row identity: the hidden column that identifies a record and keeps the order of entry;
//   - parameters: the n-th parameter of a statement, typed where the engine cannot tell;
//   - types: the stored column type of a field;
//   - sums: the total of a float column, 0 over no records;
//   - ordering: a term of ORDER BY, empty values (NULL) first in ascending order;
//   - row locks: what keeps the records a transaction re-reads from other users;
//   - returning clauses: an insert that answers the new record's identity;
//   - text comparison: equal values, two empty values counting as equal;
//   - the query language: SQL text of the module's queries (":Name" parameters, quoted table
//     file names such as "Temp.Db") in the engine's own terms.
// Every answer depends on the driver only, never on the connection's state.
#include "platform/db/field_type.h"

#include <QHash>
#include <QString>

namespace db {

// The type of a result column as the engine describes it.
struct ColumnType {
    FieldType type = FieldType::Text;
    int size = 0;       // characters of code page 1250, for text
    bool known = false; // false for an expression or a type the engine does not map to a field
};

// A query's text as the engine runs it.
struct QueryText {
    QString text;
    // Where the engine does not resolve ":Name" itself: the number of parameters, each name as
    // written mapped to its number, and identifiers as written by lower-case spelling (so that
    // result columns get their names back). Empty where the engine resolves them.
    int parameterCount = 0;
    QHash<QString, int> named;
    QHash<QString, QString> spelling;
};

class Dialect {
public:
    virtual ~Dialect() = default;

    // A column or index name, quoted.
    virtual QString identifier(const QString& name) const = 0;
    // A stored table name, quoted and qualified so that no name is taken for something else.
    virtual QString table(const QString& storedName) const = 0;
    // The column holding a record's identity.
    virtual QString rowId() const = 0;

    // The n-th parameter of a statement (1-based).
    virtual QString parameter(int n) const = 0;
    // A parameter in a list of values (VALUES) that is compared with a column of this type,
    // written so that the engine knows its type without a column beside it.
    virtual QString typedParameter(int n, FieldType type) const {
        Q_UNUSED(type);
        return parameter(n);
    }

    // The stored type of a field's column.
    virtual QString columnType(const FieldDef& def) const = 0;

    // The total of a float expression over the records read: 0, not empty, over none.
    virtual QString total(const QString& expression) const = 0;

    // An ordering term: ascending or descending, empty values first in ascending order.
    // orderByIndex false asks the engine not to walk an index for the order.
    virtual QString orderTerm(const QString& column, bool descending, bool orderByIndex) const = 0;

    // Appended to the re-reading of a record about to be changed, so that no other user changes
    // it before the transaction ends (empty where the write lock already covers it).
    virtual QString lockRows() const = 0;

    // The FROM clause of a read of many lists of values at once: the lists "(VALUES <list>) AS
    // k" and the records of `table` (alias t) for which `matches` holds, each list's records
    // found through the table's indexes, however many records the table holds.
    virtual QString eachListsRecords(const QString& valuesList, const QString& table,
                                     const QString& matches) const = 0;

    // Appended to an INSERT so that it answers the new record's identity as its one row; empty
    // where the connection's lastInsertId() answers it without asking the engine again.
    virtual QString returningRowId() const = 0;

    // The condition that holds when a column equals a value or both are empty (NULL).
    virtual QString sameValue(const QString& column, const QString& value) const = 0;

    // The text of a module's query in the engine's terms.
    virtual QueryText query(const QString& sql) const = 0;
};

} // namespace db
