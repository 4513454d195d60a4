#pragma once
// Moves a company's tables from one database to another (a directory to a server, or back):
// every table with its fields, indexes and records, in the order the records were entered,
// written in one transaction on the target, and then every table counted on both sides.
#include <QList>
#include <QString>
#include <functional>

namespace db {

class Database;

struct CopiedTable {
    QString name;
    qint64 rows = 0;
};

// Copies every table of `from` into `to`. Refuses (DatabaseError, nothing written) a target
// that already holds a table; throws when a table's rows differ after the copy (the target's
// transaction is then rolled back). progress, when given, hears each table as it is done.
QList<CopiedTable> copyDatabase(Database& from, Database& to,
                                const std::function<void(const CopiedTable&)>& progress = {});

} // namespace db
