#pragma once
// Copies an open SQLite database page by page into a new file with SQLite's online backup API:
// other connections keep reading and writing while it runs, and the copy is one consistent
// state of the database. A write by another connection between two steps makes SQLite start
// the copy again; after a few such restarts the rest is copied in one step, which holds the
// read lock until it is done, so that a busy company cannot starve its backup.
#include "backup/backup_progress.h"

#include <QString>

struct sqlite3;

namespace backup {

// Copies source's main database into target (created; it must not exist). Answers the number
// of pages copied. Throws base::DatabaseError with the engine's message (kind Damaged for
// SQLite's corrupt and not-a-database answers, Busy when the source stayed locked), or
// BackupCancelled when progress answered false; target may then hold part of a copy, which the
// caller removes.
qint64 copyPages(sqlite3* source, const QString& target, const Progress& progress);

// A connection to a database file, closed with the object; throws base::DatabaseError.
class RawDatabase {
public:
    RawDatabase(const QString& file, bool readOnly);
    ~RawDatabase();
    RawDatabase(const RawDatabase&) = delete;
    RawDatabase& operator=(const RawDatabase&) = delete;
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

} // namespace backup
