#pragma once
// The host's own tables of a company database: their fields (every field the add-on reads or
// writes, and the host's own) and their keys. The host creates the missing ones when it opens
// a company, together with the tables the add-ons register.
#include "platform/db/field_type.h"

#include <QList>

namespace db {
class Database;
}

namespace company {

// "CATALOG.DB", "Doc_in.DB", "Item_in.DB", "Stoc.DB", "COUNTER.DB", "Doc_out.DB",
// "Item_out.DB", "Materiale.db", "Grup.DB", "VALUTA.DB".
QList<db::TableDef> hostTables();

// "Reteta.DB" as the production add-on declares it in the table-definition list, for a company
// made without the add-on loaded (the demo, test fixtures).
db::TableDef addOnRecipeTable();

// The definition of one host table by file name; throws when it is not a host table.
db::TableDef hostTable(const QString& fileName);

// Creates every table of the list that the database lacks; answers the names it created.
// Existing tables are left as they are.
QStringList createMissingTables(db::Database& database, const QList<db::TableDef>& tables);

} // namespace company
