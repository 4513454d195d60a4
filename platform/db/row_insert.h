#pragma once
// Writes many rows into a table with a few statements: a batch copy or a document's rows cost a
// statement (one round trip on the server) per many rows, not one per row.
//
// A statement takes up to mostRows rows (a power of two), fewer for a wide table (it binds at
// most 999 values, within what every driver allows); a shorter rest goes in by powers of two, so
// that a few statement shapes serve every count and the connection keeps them prepared from one
// call to the next. Long statements save round trips to a server but cost more to prepare: a
// table created anew for the rows (whose statements are prepared anew) takes shorter ones.
#include "platform/db/field_type.h"

#include <QList>
#include <QVariant>

#include <functional>

namespace db {

class Database;

// The value of a row's field, as a dataset holds it; it is stored as the field's type.
using RowValue = std::function<QVariant(qsizetype row, qsizetype field)>;

// Inserts rowCount rows into table (its logical name) inside the caller's transaction, in order.
// Raises base::DatabaseError (a key violation for a row whose key is there).
void insertRows(Database& database, const QString& table, const QList<FieldDef>& fields,
                qsizetype rowCount, const RowValue& value, qsizetype mostRows = 128);
// The same for rows given whole: one value per field of def, in its order.
void insertRows(Database& database, const TableDef& def, const QList<QVariantList>& rows);

} // namespace db
