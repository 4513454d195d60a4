#pragma once
// A company on a PostgreSQL server: one schema of a database, reached through libpq. The
// location is "postgres:<libpq connection string> schema=<name>"; the host, user and
// password come from the connection string or from libpq's own service and password files,
// never from the program's files.
//
// The engine's rules hold here as on SQLite:
//   - tables carry a hidden identity column rowid (the record's identity and the order of
//     entry), text columns compare byte by byte (collation "C"), indexes put empty values
//     first;
//   - the outermost begin takes a transaction-level lock of the company, so that writers are
//     serialised as SQLite's BEGIN IMMEDIATE serialises them, and a record re-read inside a
//     transaction is locked FOR UPDATE;
//   - writes deferred inside a transaction (DeferredWrites) are sent in libpq's pipeline mode and
//     their answers read at once before anything else is read and before commit, so a
//     document's hundreds of writes cost a few round trips; identities of new records are then
//     taken from the table's sequence ahead, a block at a time, and given up when the
//     transaction ends (the write lock of the company keeps them in order of entry);
//   - a lost connection ends the transaction on the server (nothing of it is written), the
//     error says so, and the next operation connects again.
#include "platform/db/connection.h"
#include "platform/db/drivers/postgres/dialect.h"
#include "platform/db/drivers/postgres/statement.h"

#include <QHash>
#include <libpq-fe.h>

namespace db::postgres {

// The parts of a server location.
struct ServerLocation {
    QString connection; // the libpq connection string, without the schema
    QString schema;     // lower-case; "public" when none is given
    bool valid = false;
    QString problem; // why it is not valid
};
ServerLocation parseServerLocation(const QString& location);

class Connection : public db::Connection {
public:
    explicit Connection(const QString& location);
    ~Connection() override;

    Driver driver() const override { return Driver::Postgres; }
    QString location() const override { return m_location; }
    const QString& schema() const { return m_schema; }
    // "host:port/database" as libpq reached it, for messages.
    QString serverName() const;

    const db::Dialect& dialect() const override { return Dialect::instance(); }
    std::shared_ptr<db::Statement> prepare(const QString& sql) override;
    std::shared_ptr<db::Statement> prepareQuery(const QString& sql) override;
    void exec(const QString& sql) override;

    bool tableExists(const QString& storedName) override;
    QStringList tableNames() override;
    TableDef readStructure(const QString& storedName) override;
    void createTable(const QString& storedName, const QList<FieldDef>& fields) override;
    void createIndex(const QString& storedTable, const QString& indexName,
                     const QStringList& fields, bool unique) override;
    void dropTable(const QString& storedName) override;
    void emptyTable(const QString& storedName) override;
    int schemaVersion() override;
    qint64 lastInsertId() override;
    int changes() override { return m_changes; }
    int maxParameters() const override { return 65535; }

    void stepDeferred(db::Statement& s, const std::function<void(int)>& check) override;
    void flushDeferred() override;
    qint64 reserveRowId(const QString& table) override;
    // Sends a statement the server keeps prepared into the pipeline (preparing it there first,
    // as runPrepared() does); its answer is read by flushDeferred(), which calls check.
    void send(QByteArray& name, quint64& generation, const QByteArray& sql, int count,
              const char* const* values, std::function<void(int)> check);

    // Runs server-dialect text with text parameters; answers the result, throwing
    // DatabaseError (the result cleared) when the server refuses it or cannot be reached.
    PGresult* run(const QByteArray& sql, int count = 0, const char* const* values = nullptr);
    // Runs a statement the server keeps prepared under `name` for this connection, preparing
    // it first when `generation` is not the connection's (a new connection, or a structure
    // changed through it); answers the result as run() does.
    PGresult* runPrepared(QByteArray& name, quint64& generation, const QByteArray& sql, int count,
                          const char* const* values);

protected:
    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;

private:
    void connectToServer();
    void prepareSchema();
    void ensureConnected();
    [[noreturn]] void raise(PGresult* result, const QByteArray& sql);
    void runScript(const QString& sql); // several server-dialect statements at once
    // Reads the answers of what was sent ahead and leaves pipeline mode: runs the checks when
    // runChecks (throwing the first error), drops everything when not (a rollback).
    void drainPipeline(bool runChecks);

    struct Sent {
        QByteArray sql;
        std::function<void(int)> check; // empty for a statement prepared in the pipeline
    };
    std::vector<Sent> m_sent;
    bool m_pipeline = false;
    // Identities of new records taken ahead in this transaction, by table, the next one last.
    std::unordered_map<QString, std::vector<qint64>> m_reserved;

    QString m_location;
    QString m_conninfo;
    QString m_schema;
    PGconn* m_conn = nullptr;
    bool m_lost = false; // the connection broke; the next operation reconnects
    int m_changes = 0;
    quint64 m_generation = 1; // of the prepared statements: moves on reconnecting and on DDL
    quint64 m_preparedCount = 0;
    // After a change of structure (here or by another user, seen in the schema version) or a new
    // server session: every statement is prepared again, none made before is handed out again.
    void dropStatements();

    // Statements by their text: the table's (in the server's terms) and the queries' (in the
    // module's query language, translated when prepared).
    using StatementCache = std::unordered_map<QString, std::shared_ptr<Statement>>;
    template <typename MakeText>
    std::shared_ptr<db::Statement> cached(StatementCache& cache, const QString& sql,
                                          MakeText&& text);
    StatementCache m_cache;
    StatementCache m_queryCache;
    int m_schemaSeen = -1; // the schema version the kept statements were made under
};

} // namespace db::postgres
