#pragma once
// Table names are file names: the extension ".DB" and letter case are ignored, so
// "CATALOG.DB", "Catalog.DB" and "Catalog" name one table.
#include <QString>

namespace db {

class Dialect;

// The stored name of a table: the file name without a ".DB" extension.
QString storedTableName(const QString& fileName);

// Quotes an identifier for SQL as written in a query ("Cod_articol").
QString quoteIdentifier(const QString& name);

// Rewrites quoted table file names in a query's text ("Temp.Db", "Reteta.DB") to table names
// as the engine spells them.
QString translateTableFileNames(const QString& sql, const Dialect& dialect);

} // namespace db
