#pragma once
// The demo company: a small bakery with its article classes and groups, currencies, raw
// materials in two warehouses and several lots, a semi-finished product used in another
// recipe, finished products with recipes, one material short of stock, and goods receipts
// (one whose products share materials, one of a product without a recipe). Its production
// settings make raw-material codes begin with M, semi-finished codes with S and raw-material
// warehouses with G.
#include "platform/db/field_type.h"

#include <QList>
#include <QString>

namespace host {

// True when the directory holds a company database with articles in its catalog.
bool holdsCompany(const QString& directory);

// Creates the demo company in the directory (made when missing): the host's tables and the
// add-ons' tables, their records and "KRVDEF.INI". A directory that already holds a company is
// left untouched and the answer is false. The records go in one transaction: a failure leaves
// empty tables, never half a company. The recipe table is created from addOnTables when it is
// among them, else as the production add-on declares it.
bool createDemoCompany(const QString& directory, const QList<db::TableDef>& addOnTables);

} // namespace host
