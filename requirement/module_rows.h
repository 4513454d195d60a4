#pragma once
// Writes many rows into one of the module's own tables with a few statements: the rows a
// consumption document adds to them cost one round trip per table, not one per row.
#include "platform/db/field_type.h"

#include <QList>
#include <QVariant>

namespace db {
class Database;
}

namespace requirement {

// Inserts the rows (one value per field of def, in its order) inside the caller's
// transaction. Raises base::DatabaseError (a key violation for a row whose key is there).
void insertRows(db::Database& database, const db::TableDef& def, const QList<QVariantList>& rows);

} // namespace requirement
