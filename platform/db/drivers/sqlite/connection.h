#pragma once
// One open SQLite database file: the file "tables.sqlite" of an alias directory. It owns a
// cache of prepared statements, runs writes in transactions that begin with BEGIN IMMEDIATE,
// and turns SQLite failures into DatabaseError.
//
// Statements are always reset after one operation, so that no read lock outlives it: with the
// rollback journal a reader left open would keep every other user from writing.
#include "backup/directory_lock.h"
#include "platform/db/drivers/sqlite/statement.h"

#include <QString>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>

namespace db::sqlite {

class Connection {
public:
    // Opens (creating if needed) the database file of an existing directory.
    explicit Connection(const QString& directory);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    static QString fileNameFor(const QString& directory);
    // True when this SQLite library has the fix for the WAL-reset corruption race.
    static bool walIsSafe(int libVersionNumber);

    const QString& directory() const { return m_directory; }
    const QString& fileName() const { return m_fileName; }
    QString journalMode() const;
    sqlite3* handle() const { return m_db; }

    // A statement from the cache (a fresh one when the cached one is in use).
    std::shared_ptr<Statement> prepare(const QString& sql);
    void exec(const QString& sql);

    // Explicit transactions. begin() nests: only the outermost level starts and ends the
    // SQLite transaction; a rollback at any level rolls the whole transaction back.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_depth > 0; }

    // Counts this connection's writes and rollbacks; cached reads compare it to know they are stale.
    quint64 stamp() const { return m_stamp; }
    void noteWrite() { ++m_stamp; }

    // Called after a rollback so that open datasets re-read what they show.
    void addRollbackListener(const void* key, std::function<void()> listener);
    void removeRollbackListener(const void* key);

    bool tableExists(const QString& storedName);
    // The schema's version number: it changes whenever any connection changes a table's
    // structure, so structures read earlier can be kept until it moves.
    int schemaVersion();

    // True once SQLite answered that the file is corrupt or not a database: from then on every
    // write is refused with the damaged-database error, so nothing more is written to it.
    bool isDamaged() const { return m_damaged; }

    [[noreturn]] void raise(int rc, const QString& context);

private:
    QString m_directory;
    QString m_fileName;
    sqlite3* m_db = nullptr;
    std::unordered_map<std::string, std::shared_ptr<Statement>> m_cache;
    int m_depth = 0;
    bool m_rollbackOnly = false;
    quint64 m_stamp = 0;
    quint64 m_stampAtBegin = 0;
    std::chrono::steady_clock::time_point m_waitStarted; // of the current wait for a lock
    std::map<const void*, std::function<void()>> m_rollbackListeners;
    backup::DirectoryLock m_lock; // shared: no restore replaces the file while it is open
    bool m_damaged = false;
    QString m_damageMessage;
};

// Runs the writes of one operation in a transaction of their own unless one is already open:
// commit() ends it; leaving the scope without commit() rolls it back.
class WriteScope {
public:
    explicit WriteScope(Connection& c);
    ~WriteScope();
    void commit();

private:
    Connection& m_c;
    bool m_done = false;
};

} // namespace db::sqlite
