#pragma once
// The boundary between the dataset engine and a database engine. Table, Query, BatchMove and
// Database speak only to these two interfaces; everything that differs between engines
// (connecting, statement text and parameters, transactions and the first write's lock, row
// identity and the last inserted id, changed-row counts, the table catalogue, ordering of
// empty values, error classification) lives in a driver folder (drivers/sqlite,
// drivers/postgres).
//
// Statements are written in the engine's own dialect (dialect()): the table's statements are
// built from it, and a module's query text (":Name" parameters, quoted table file names) is
// put in its terms by prepareQuery().
//
// Transactions nest: only the outermost level starts and ends the engine's transaction, a
// rollback at any level rolls the whole transaction back. The outermost begin takes the
// database's write lock at once, so two users writing the same company are serialised the
// same way on every driver.
#include "platform/db/dialect.h"
#include "platform/db/field_type.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>

namespace db {

// A prepared statement. Values cross as QVariant: text (an empty QString as empty text), dates,
// booleans and numbers; a null QVariant is NULL.
class Statement {
public:
    virtual ~Statement() = default;

    virtual void bind(int index, const QVariant& value) = 0; // 1-based
    void bindAll(const QVariantList& values);
    virtual int parameterIndex(const QString& name) const = 0; // "Name" of ":Name"; 0 when absent

    // Steps once: true when a row is ready, false when done; throws DatabaseError.
    virtual bool step() = 0;
    // Forgets the rows and the bound values, so that no read outlives one operation.
    virtual void reset() = 0;

    virtual int columnCount() const = 0;
    virtual QString columnName(int i) const = 0;
    // The stored type of a result column; not known for an expression.
    virtual ColumnType columnType(int i) const = 0;
    virtual bool columnIsNull(int i) const = 0;
    // The column's value converted to the field type.
    virtual QVariant column(int i, FieldType type) const = 0;
    // The column's value as the engine holds it: whole numbers as qint64, floats as double,
    // text and dates as QString.
    virtual QVariant columnRaw(int i) const = 0;
    virtual qint64 columnInt64(int i) const = 0;
    virtual double columnDouble(int i) const = 0;
};

// Resets a statement when it leaves scope, so no read lock outlives one operation.
class StatementUse {
public:
    explicit StatementUse(Statement& s) : m_s(s) {}
    ~StatementUse() { m_s.reset(); }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;
    Statement* operator->() { return &m_s; }
    Statement& operator*() { return m_s; }

private:
    Statement& m_s;
};

class Connection {
public:
    enum class Driver { Sqlite, Postgres };

    Connection() = default;
    virtual ~Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    virtual Driver driver() const = 0;
    // Where the database lives, for messages: a directory or a server and schema.
    virtual QString location() const = 0;

    // How the engine spells statements; the same object for every connection of a driver.
    virtual const Dialect& dialect() const = 0;

    // A statement from the driver's cache (a fresh one when the cached one is in use), its text
    // in the engine's own dialect.
    virtual std::shared_ptr<Statement> prepare(const QString& sql) = 0;
    // The same for a module's query text, put in the engine's terms first (Dialect::query).
    virtual std::shared_ptr<Statement> prepareQuery(const QString& sql);
    virtual void exec(const QString& sql) = 0;

    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_depth > 0; }

    // Counts this connection's writes and rollbacks; cached reads compare it to know they are
    // stale.
    quint64 stamp() const { return m_stamp; }
    void noteWrite() { ++m_stamp; }

    // How many statements this connection has run (each execution of a prepared statement and
    // each exec() counts one) and how many it has compiled: the measure of the engine's work
    // per operation, printed by the benchmarks.
    // On a server, also how many times it waited for the server's answer.
    struct StatementCounts {
        quint64 executed = 0;
        quint64 prepared = 0;
        quint64 roundTrips = 0;
    };
    StatementCounts statementCounts() const { return m_counts; }
    void noteExecuted() { ++m_counts.executed; }
    void notePrepared() { ++m_counts.prepared; }
    void noteRoundTrip() { ++m_counts.roundTrips; }

    // Called after a rollback so that open datasets re-read what they show.
    void addRollbackListener(const void* key, std::function<void()> listener);
    void removeRollbackListener(const void* key);

    // The table catalogue. Names are stored table names (no ".DB"), compared ignoring case.
    virtual bool tableExists(const QString& storedName) = 0;
    virtual QStringList tableNames() = 0;
    // The stored structure: fields in column order, the primary index first. Throws
    // DatabaseError(TableNotFound) when there is no such table.
    virtual TableDef readStructure(const QString& storedName) = 0;
    virtual void createTable(const QString& storedName, const QList<FieldDef>& fields) = 0;
    virtual void createIndex(const QString& storedTable, const QString& indexName,
                             const QStringList& fields, bool unique) = 0;
    virtual void dropTable(const QString& storedName) = 0;
    virtual void emptyTable(const QString& storedName) = 0;
    // Changes whenever any connection changes a table's structure, so that structures read
    // earlier can be kept until it moves.
    virtual int schemaVersion() = 0;

    // The identity of the record the last INSERT of this connection wrote.
    virtual qint64 lastInsertId() = 0;
    // Rows the last INSERT, UPDATE or DELETE of this connection changed.
    virtual int changes() = 0;

    // Writes sent ahead. Inside a DeferredWrites scope of a transaction, a write whose outcome
    // is wanted only before commit goes through stepDeferred(): a driver that can send writes
    // ahead of their answers (a server: many in one round trip) does, and calls `check` with the
    // rows each changed before any other statement's rows are read and before commit; elsewhere
    // the write runs at once and `check` with it. check may throw: the transaction then fails
    // whole. The statement is reset when stepDeferred returns; check must not outlive what it
    // refers to beyond the scope.
    virtual void stepDeferred(Statement& s, const std::function<void(int changed)>& check);
    // Runs the checks of the writes sent ahead, throwing as the first failing one throws.
    virtual void flushDeferred() {}
    bool deferringWrites() const { return m_deferring > 0 && inTransaction(); }
    // The identity of a record about to be inserted while writes are deferred, handed out ahead
    // where the driver can (the insert then needs no answer); 0 where the insert assigns it.
    // table: the name as the dialect spells it.
    virtual qint64 reserveRowId(const QString& table) {
        Q_UNUSED(table);
        return 0;
    }

    // The most parameters one statement may carry.
    virtual int maxParameters() const = 0;

    // True once the engine answered that the database is damaged: every write is refused.
    virtual bool isDamaged() const { return false; }

protected:
    // The outermost level of a transaction: start it (taking the write lock), commit it
    // (throwing DatabaseError when the engine refuses), roll it back (never throwing).
    virtual void beginTransaction() = 0;
    virtual void commitTransaction() = 0;
    virtual void rollbackTransaction() = 0;

private:
    friend class DeferredWrites;
    int m_deferring = 0;
    int m_depth = 0;
    bool m_rollbackOnly = false;
    quint64 m_stamp = 0;
    quint64 m_stampAtBegin = 0;
    StatementCounts m_counts;
    std::map<const void*, std::function<void()>> m_rollbackListeners;
};

// Runs the writes of one operation in a transaction of their own unless one is already open:
// commit() ends it; leaving the scope without commit() rolls it back.
class WriteScope {
public:
    explicit WriteScope(Connection& c);
    ~WriteScope();
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;
    void commit();

private:
    Connection& m_c;
    bool m_done = false;
};

// Lets the writes of one operation inside a transaction be sent ahead of their answers
// (Connection::stepDeferred); finish() runs their checks. Left without finish() (an error
// unwinding), the checks are left to the end of the transaction: a commit runs them, a rollback
// drops them.
class DeferredWrites {
public:
    explicit DeferredWrites(Connection& c) : m_c(c) { ++m_c.m_deferring; }
    ~DeferredWrites() { --m_c.m_deferring; }
    DeferredWrites(const DeferredWrites&) = delete;
    DeferredWrites& operator=(const DeferredWrites&) = delete;
    void finish() { m_c.flushDeferred(); }

private:
    Connection& m_c;
};

// The stored name of the index that holds a table's primary key; a secondary index is stored
// as "<table>$<name>".
inline QString primaryIndexName(const QString& storedTable) {
    return storedTable + QStringLiteral("$PK");
}

// True when an alias names a database server rather than a directory ("postgres:...").
bool isServerLocation(const QString& location);

// The file of a company directory whose tables are kept on a server: one line, the server
// alias ("postgres:service=firma schema=brutarie"). The directory keeps the company's own
// files (settings, layouts); the engine opens the tables on the server.
inline constexpr char kServerLocationFile[] = "server.location";

// The server alias a location names: the location itself when it is one, the line of the
// directory's server.location file when it has one, else empty (the tables are in the directory).
QString serverLocationOf(const QString& location);

} // namespace db
