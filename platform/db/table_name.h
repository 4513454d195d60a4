#pragma once
// Table names are file names: the extension ".DB" and letter case are ignored, so
// "CATALOG.DB", "Catalog.DB" and "Catalog" name one table.
#include <QString>

namespace db {

// The stored name of a table: the file name without a ".DB" extension.
QString storedTableName(const QString& fileName);

// The table name quoted for SQL and qualified with the main schema (so that a table called
// "temp" is never taken for the temporary schema).
QString sqlTableName(const QString& fileName);

// Quotes an identifier for SQL.
QString quoteIdentifier(const QString& name);

// Rewrites quoted table file names in SQL text ("Temp.Db", "Reteta.DB") to stored names.
QString translateTableFileNames(const QString& sql);

} // namespace db
