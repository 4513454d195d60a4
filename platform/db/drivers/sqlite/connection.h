#pragma once
// One open SQLite database file: the file "tables.sqlite" of an alias directory. It owns a
// cache of prepared statements, runs writes in transactions that begin with BEGIN IMMEDIATE,
// keeps the table catalogue in sqlite_master and turns SQLite failures into DatabaseError.
//
// Statements are always reset after one operation, so that no read lock outlives it: with the
// rollback journal a reader left open would keep every other user from writing. Inside a burst
// of reads (ReadBurst) the lock is kept from the first read to the end of the burst.
#include "platform/db/connection.h"
#include "platform/db/damaged_database.h"
#include "platform/db/drivers/sqlite/dialect.h"
#include "platform/db/drivers/sqlite/directory_lock.h"
#include "platform/db/drivers/sqlite/statement.h"
#include "platform/db/read_burst.h"

#include <QHash>
#include <QString>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>

namespace db::sqlite {

class Connection : public db::Connection, private ReadBurst::Holder {
public:
    // Opens (creating if needed) the database file of an existing directory. damagedMessage
    // words the error of a damaged file; the engine's own wording when empty.
    explicit Connection(const QString& directory, DamagedDatabaseMessage damagedMessage = {});
    ~Connection() override;

    static QString fileNameFor(const QString& directory);
    // True when this SQLite library has the fix for the WAL-reset corruption race.
    static bool walIsSafe(int libVersionNumber);

    const QString& directory() const { return m_directory; }
    const QString& fileName() const { return m_fileName; }
    QString journalMode() const;
    sqlite3* handle() const { return m_db; }

    Driver driver() const override { return Driver::Sqlite; }
    QString location() const override { return m_directory; }

    const db::Dialect& dialect() const override { return Dialect::instance(); }
    std::shared_ptr<db::Statement> prepare(const QString& sql) override;
    void exec(const QString& sql) override;

    bool tableExists(const QString& storedName) override;
    QStringList tableNames() override;
    TableDef readStructure(const QString& storedName) override;
    void createTable(const QString& storedName, const QList<FieldDef>& fields) override;
    void createIndex(const QString& storedTable, const QString& indexName,
                     const QStringList& fields, bool unique) override;
    void dropTable(const QString& storedName) override;
    void emptyTable(const QString& storedName) override;
    // PRAGMA schema_version: every connection's structure change moves it.
    int schemaVersion() override;

    qint64 lastInsertId() override { return sqlite3_last_insert_rowid(m_db); }
    int changes() override { return sqlite3_changes(m_db); }
    int maxParameters() const override {
        return sqlite3_limit(m_db, SQLITE_LIMIT_VARIABLE_NUMBER, -1);
    }

    // True once SQLite answered that the file is corrupt or not a database: from then on every
    // write is refused with the damaged-database error, so nothing more is written to it.
    bool isDamaged() const override { return m_damaged; }

    [[noreturn]] void raise(int rc, const QString& context);
    // Before a statement's first step: inside a burst of reads a read joins the burst's
    // transaction (begun on the first), a write ends it first.
    void beforeStep(sqlite3_stmt* stmt);

protected:
    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;

private:
    void endHold() noexcept override;
    // Ends the transaction a burst of reads holds, if any, before anything else runs.
    void releaseRead() noexcept;

    QString m_directory;
    QString m_fileName;
    sqlite3* m_db = nullptr;
    // Drops the kept statements after a change of structure: SQLite prepares a statement again
    // when the schema moved, but nothing made from the old structure is handed out again.
    void dropStatements();
    using StatementCache = std::unordered_map<QString, std::shared_ptr<Statement>>;
    std::shared_ptr<Statement> prepareIn(StatementCache& cache, const QString& sql);
    // The catalogue's own statements (whether a table exists, its structure, the schema
    // version) name no table of the company's: they are kept across changes of structure,
    // which are exactly when they are read again.
    std::shared_ptr<Statement> prepareCatalogue(const QString& sql);

    StatementCache m_cache;
    StatementCache m_catalogue;
    int m_schemaSeen = -1; // the schema version the kept statements were made under
    std::chrono::steady_clock::time_point m_waitStarted; // of the current wait for a lock
    DirectoryLock m_lock; // shared: no restore replaces the file while it is open
    bool m_damaged = false;
    bool m_holdingRead = false; // in a transaction of reads for a burst
    QString m_damageMessage;
    DamagedDatabaseMessage m_wordDamage;
};

using WriteScope = db::WriteScope;

} // namespace db::sqlite
