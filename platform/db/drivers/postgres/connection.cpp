#include "platform/db/drivers/postgres/connection.h"

#include "platform/base/errors.h"
#include "platform/db/drivers/postgres/query_language.h"
#include "platform/db/table_name.h"

#include <QRegularExpression>
#include <algorithm>
#include <functional>

namespace db::postgres {

namespace {

using base::DatabaseError;

// The first number of the company's transaction lock; the second is made from the schema.
constexpr int kLockClass = 0x4C55;
// Writes sent ahead before their answers are read: bounded, so that neither side's buffers fill.
constexpr size_t kMaxSent = 512;
// Identities of new records taken from a table's sequence at once while writes are deferred.
constexpr int kRowIdBlock = 64;
// Seconds a writer waits for another user's transaction before giving up, as on SQLite.
constexpr int kLockTimeoutSeconds = 30;
const QString kVersionTable = QStringLiteral("lumbra$version");

QString ident(const QString& name) {
    return quoteIdentifier(name.toLower());
}

QString literal(const QString& text) {
    QString q = text;
    q.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

int schemaLockKey(const QString& schema) {
    quint32 h = 2166136261u;
    for (char c : schema.toUtf8()) {
        h ^= quint8(c);
        h *= 16777619u;
    }
    return int(h);
}

void ignoreNotice(void*, const char*) {}

QString lostMessage(const QString& server) {
    return QStringLiteral("The connection to the database server %1 was lost. What was being "
                          "saved was not written: the server undid the unfinished work. Try "
                          "again once the server can be reached.")
        .arg(server);
}

// Results cleared however a reading ends.
struct Result {
    PGresult* r;
    ~Result() { PQclear(r); }
    int rows() const { return PQntuples(r); }
    QString text(int row, int col) const { return QString::fromUtf8(PQgetvalue(r, row, col)); }
    bool isNull(int row, int col) const { return PQgetisnull(r, row, col) != 0; }
};

} // namespace

ServerLocation parseServerLocation(const QString& location) {
    ServerLocation out;
    QString rest = location.trimmed();
    if (!rest.startsWith(QLatin1String("postgres:"), Qt::CaseInsensitive)) {
        out.problem = QStringLiteral("'%1' does not name a database server.").arg(location);
        return out;
    }
    rest = rest.mid(9);
    static const QRegularExpression schemaWord(QStringLiteral(R"((?:^|\s)schema\s*=\s*(\S*))"));
    const auto m = schemaWord.match(rest);
    out.schema = QStringLiteral("public");
    if (m.hasMatch()) {
        out.schema = m.captured(1).toLower();
        rest.remove(m.capturedStart(0), m.capturedLength(0));
        // A second schema would reach the server as an option it does not know.
        if (schemaWord.match(rest).hasMatch()) {
            out.problem = QStringLiteral("'%1' names the schema of the company more than once.")
                              .arg(location);
            return out;
        }
    }
    static const QRegularExpression plain(QStringLiteral(R"(^[a-z_][a-z0-9_]{0,62}$)"));
    if (!plain.match(out.schema).hasMatch()) {
        out.problem = QStringLiteral("The schema name '%1' of a server company may hold only "
                                     "letters a-z, digits and '_' and begin with a letter.")
                          .arg(out.schema);
        return out;
    }
    out.connection = rest.trimmed();
    out.valid = true;
    return out;
}

Connection::Connection(const QString& location) : m_location(location.trimmed()) {
    const ServerLocation where = parseServerLocation(m_location);
    if (!where.valid)
        throw DatabaseError(where.problem, DatabaseError::Kind::NotConnected);
    m_conninfo = where.connection;
    m_schema = where.schema;
    connectToServer();
    prepareSchema();
}

Connection::~Connection() {
    m_cache.clear();
    m_queryCache.clear();
    if (m_conn)
        PQfinish(m_conn);
}

QString Connection::serverName() const {
    if (!m_conn)
        return m_conninfo;
    const QString host = QString::fromUtf8(PQhost(m_conn));
    const QString port = QString::fromUtf8(PQport(m_conn));
    const QString database = QString::fromUtf8(PQdb(m_conn));
    return QStringLiteral("%1:%2/%3")
        .arg(host.startsWith(QLatin1Char('/')) ? QStringLiteral("localhost") : host, port,
             database);
}

void Connection::connectToServer() {
    QByteArray info = m_conninfo.toUtf8();
    if (!m_conninfo.contains(QLatin1String("connect_timeout")) &&
        !m_conninfo.contains(QLatin1String("://")))
        info += " connect_timeout=10";
    // Encryption over Kerberos is for a server that asks for it in its own settings.
    if (!m_conninfo.contains(QLatin1String("gssencmode")) &&
        !m_conninfo.contains(QLatin1String("://")))
        info += " gssencmode=disable";
    m_conn = PQconnectdb(info.constData());
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        const QString engine = m_conn ? QString::fromUtf8(PQerrorMessage(m_conn)).trimmed()
                                      : QStringLiteral("out of memory");
        const QString server = serverName();
        if (m_conn)
            PQfinish(m_conn);
        m_conn = nullptr;
        throw DatabaseError(
            (m_lost ? QStringLiteral(
                          "The connection to the database server %1 (schema %2) was lost and "
                          "the server cannot be reached again; nothing unfinished was written: %3")
                    : QStringLiteral("Cannot reach the database server %1 (schema %2): %3"))
                .arg(server, m_schema, engine),
            DatabaseError::Kind::NotConnected);
    }
    m_lost = false;
    dropStatements(); // a new server session holds no prepared statements
    PQsetNoticeProcessor(m_conn, &ignoreNotice, nullptr);
    PQsetClientEncoding(m_conn, "UTF8");
    // The company's schema first, so that its division operator answers before the built-in one.
    runScript(QStringLiteral("SET search_path TO %1, pg_catalog; SET datestyle TO ISO; "
                             "SET extra_float_digits TO 1; SET lock_timeout TO '%2s'")
                  .arg(ident(m_schema))
                  .arg(kLockTimeoutSeconds));
}

void Connection::prepareSchema() {
    {
        const QByteArray schema = m_schema.toUtf8();
        const char* values[] = {schema.constData(), "lumbra$version"};
        Result r{run("SELECT 1 FROM pg_catalog.pg_tables WHERE schemaname = $1 AND tablename = $2",
                     2, values)};
        if (r.rows() > 0)
            return;
    }
    // A new company schema: the version of its structure, the float total and a division that
    // answers NULL for a division by zero, as SQLite does.
    const QString s = ident(m_schema);
    runScript(QStringLiteral(
                  "BEGIN; SELECT pg_advisory_xact_lock(%2, %3); "
                  "CREATE SCHEMA IF NOT EXISTS %1; "
                  "CREATE TABLE IF NOT EXISTS %1.\"lumbra$version\" (version integer NOT NULL); "
                  "INSERT INTO %1.\"lumbra$version\" SELECT 0 WHERE NOT EXISTS "
                  "(SELECT 1 FROM %1.\"lumbra$version\"); "
                  "CREATE OR REPLACE AGGREGATE %1.total(double precision) (SFUNC = float8pl, "
                  "STYPE = double precision, INITCOND = '0'); "
                  "CREATE OR REPLACE FUNCTION %1.lumbra_divide(double precision, double precision) "
                  "RETURNS double precision LANGUAGE sql IMMUTABLE AS "
                  "'SELECT CASE WHEN $2 = 0 THEN NULL ELSE $1 OPERATOR(pg_catalog./) $2 END'; "
                  "DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_operator o "
                  "JOIN pg_catalog.pg_namespace n ON n.oid = o.oprnamespace WHERE n.nspname = %4 "
                  "AND o.oprname = '/') THEN CREATE OPERATOR %1./ (LEFTARG = double precision, "
                  "RIGHTARG = double precision, FUNCTION = %1.lumbra_divide); END IF; END $$; "
                  "COMMIT")
                  .arg(s)
                  .arg(kLockClass)
                  .arg(schemaLockKey(m_schema))
                  .arg(literal(m_schema)));
}

void Connection::ensureConnected() {
    if (m_conn && !m_lost && PQstatus(m_conn) == CONNECTION_OK)
        return;
    if (inTransaction()) {
        m_lost = true;
        throw DatabaseError(lostMessage(serverName()), DatabaseError::Kind::NotConnected);
    }
    if (m_conn) {
        m_lost = true;
        PQfinish(m_conn);
        m_conn = nullptr;
    }
    connectToServer();
}

PGresult* Connection::run(const QByteArray& sql, int count, const char* const* values) {
    flushDeferred();
    ensureConnected();
    noteExecuted();
    noteRoundTrip();
    PGresult* r =
        PQexecParams(m_conn, sql.constData(), count, nullptr, values, nullptr, nullptr, 0);
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        raise(r, sql);
    const char* tuples = PQcmdTuples(r);
    m_changes = tuples && *tuples ? atoi(tuples) : 0;
    return r;
}

PGresult* Connection::runPrepared(QByteArray& name, quint64& generation, const QByteArray& sql,
                                  int count, const char* const* values) {
    flushDeferred();
    ensureConnected();
    if (generation != m_generation) {
        name = "lumbra_" + QByteArray::number(++m_preparedCount);
        PGresult* r = PQprepare(m_conn, name.constData(), sql.constData(), count, nullptr);
        if (!r || PQresultStatus(r) != PGRES_COMMAND_OK)
            raise(r, sql);
        PQclear(r);
        generation = m_generation;
        notePrepared();
        noteRoundTrip();
    }
    noteExecuted();
    noteRoundTrip();
    PGresult* r = PQexecPrepared(m_conn, name.constData(), count, values, nullptr, nullptr, 0);
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        // Another user changed the table's structure since it was prepared: prepared again at
        // the next use.
        if (r && QByteArray(PQresultErrorField(r, PG_DIAG_SQLSTATE)) == "0A000")
            generation = 0;
        raise(r, sql);
    }
    const char* tuples = PQcmdTuples(r);
    m_changes = tuples && *tuples ? atoi(tuples) : 0;
    return r;
}

void Connection::runScript(const QString& sql) {
    flushDeferred();
    ensureConnected();
    const QByteArray utf8 = sql.toUtf8();
    noteExecuted();
    noteRoundTrip();
    PGresult* r = PQexec(m_conn, utf8.constData());
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        raise(r, utf8);
    PQclear(r);
}

void Connection::stepDeferred(db::Statement& s, const std::function<void(int)>& check) {
    if (!deferringWrites()) {
        db::Connection::stepDeferred(s, check);
        return;
    }
    // Every statement of this connection is one of its own.
    static_cast<Statement&>(s).send(check);
}

void Connection::send(QByteArray& name, quint64& generation, const QByteArray& sql, int count,
                      const char* const* values, std::function<void(int)> check) {
    if (m_sent.size() >= kMaxSent)
        flushDeferred();
    ensureConnected();
    if (!m_pipeline) {
        if (PQenterPipelineMode(m_conn) != 1)
            raise(nullptr, sql);
        m_pipeline = true;
    }
    // A statement that cannot be sent: the connection broke.
    auto lost = [&] {
        drainPipeline(false);
        m_lost = true;
        throw DatabaseError(lostMessage(serverName()), DatabaseError::Kind::NotConnected);
    };
    if (generation != m_generation) {
        name = "lumbra_" + QByteArray::number(++m_preparedCount);
        if (PQsendPrepare(m_conn, name.constData(), sql.constData(), count, nullptr) != 1)
            lost();
        m_sent.push_back(Sent{sql, {}});
        generation = m_generation;
        notePrepared();
    }
    noteExecuted();
    if (PQsendQueryPrepared(m_conn, name.constData(), count, values, nullptr, nullptr, 0) != 1)
        lost();
    m_sent.push_back(Sent{sql, std::move(check)});
}

void Connection::flushDeferred() {
    if (m_pipeline)
        drainPipeline(true);
}

void Connection::drainPipeline(bool runChecks) {
    std::vector<Sent> sent;
    sent.swap(m_sent);
    m_pipeline = false;
    PGresult* failed = nullptr;
    QByteArray failedSql;
    std::vector<std::pair<std::function<void(int)>, int>> checks;
    noteRoundTrip();
    bool broken = !m_conn || PQpipelineSync(m_conn) != 1;
    for (Sent& s : sent) {
        if (broken)
            break;
        PGresult* r = PQgetResult(m_conn);
        if (!r) {
            broken = true;
            break;
        }
        const ExecStatusType status = PQresultStatus(r);
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
            if (s.check) {
                const char* tuples = PQcmdTuples(r);
                checks.emplace_back(std::move(s.check), tuples && *tuples ? atoi(tuples) : 0);
            }
            PQclear(r);
        } else if (status == PGRES_PIPELINE_ABORTED || failed) {
            PQclear(r);
        } else {
            failed = r;
            failedSql = s.sql;
        }
        // Each statement's answer ends with an empty result.
        while (PGresult* rest = PQgetResult(m_conn))
            PQclear(rest);
    }
    if (!broken) {
        PGresult* r = PQgetResult(m_conn);
        broken = !r || PQresultStatus(r) != PGRES_PIPELINE_SYNC;
        PQclear(r);
    }
    broken = broken || PQexitPipelineMode(m_conn) != 1;
    if (broken || failed)
        ++m_generation; // what was prepared in the pipeline may not be: prepared again
    if (broken) {
        if (failed)
            PQclear(failed);
        m_lost = true;
        if (runChecks)
            throw DatabaseError(lostMessage(serverName()), DatabaseError::Kind::NotConnected);
        return;
    }
    if (failed) {
        if (runChecks)
            raise(failed, failedSql);
        PQclear(failed);
        return;
    }
    if (runChecks)
        for (auto& [check, changed] : checks)
            check(changed);
}

qint64 Connection::reserveRowId(const QString& table) {
    std::vector<qint64>& ids = m_reserved[table];
    if (ids.empty()) {
        const QByteArray name = table.toUtf8(), block = QByteArray::number(kRowIdBlock);
        const char* values[] = {name.constData(), block.constData()};
        Result r{run("SELECT pg_catalog.nextval(pg_catalog.pg_get_serial_sequence($1, 'rowid')) "
                     "FROM pg_catalog.generate_series(1, $2::integer)",
                     2, values)};
        for (int i = 0; i < r.rows(); ++i)
            ids.push_back(r.text(i, 0).toLongLong());
        std::sort(ids.begin(), ids.end(), std::greater<>());
    }
    if (ids.empty())
        return 0;
    const qint64 id = ids.back();
    ids.pop_back();
    return id;
}

void Connection::raise(PGresult* result, const QByteArray& sql) {
    const QByteArray state =
        result ? QByteArray(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QByteArray();
    QString engine = result ? QString::fromUtf8(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY))
                            : QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
    if (result)
        PQclear(result);
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK || state.startsWith("08") ||
        state.startsWith("57P")) {
        m_lost = true;
        throw DatabaseError(lostMessage(serverName()), DatabaseError::Kind::NotConnected);
    }
    if (state == "23505")
        throw DatabaseError(QStringLiteral("Key violation."), DatabaseError::Kind::KeyViolation);
    if (state == "40P01" || state == "55P03" || state == "40001")
        throw DatabaseError(
            QStringLiteral("The database is in use by another user; try again. (%1)").arg(engine),
            DatabaseError::Kind::Busy);
    if (state == "42P01")
        throw DatabaseError(engine, DatabaseError::Kind::TableNotFound);
    if (state.startsWith("42"))
        engine += QStringLiteral("\n") + QString::fromUtf8(sql);
    throw DatabaseError(engine);
}

std::shared_ptr<db::Statement> Connection::prepare(const QString& sql) {
    return cached(m_cache, sql, [&] { return QueryText{sql, countParameters(sql), {}, {}}; });
}

std::shared_ptr<db::Statement> Connection::prepareQuery(const QString& sql) {
    return cached(m_queryCache, sql, [&] { return dialect().query(sql); });
}

template <typename MakeText>
std::shared_ptr<db::Statement> Connection::cached(StatementCache& cache, const QString& sql,
                                                  MakeText&& text) {
    auto it = cache.find(sql);
    if (it != cache.end() && !it->second->isBusy())
        return it->second;
    auto s = std::make_shared<Statement>(*this, text());
    if (it == cache.end())
        cache.emplace(sql, s);
    return s;
}

void Connection::exec(const QString& sql) {
    runScript(dialect().query(sql).text);
}

void Connection::beginTransaction() {
    m_reserved.clear();
    ensureConnected();
    try {
        runScript(QStringLiteral("BEGIN; SELECT pg_advisory_xact_lock(%1, %2)")
                      .arg(kLockClass)
                      .arg(schemaLockKey(m_schema)));
    } catch (...) {
        if (m_conn && !m_lost)
            PQclear(PQexec(m_conn, "ROLLBACK"));
        throw;
    }
}

void Connection::commitTransaction() {
    m_reserved.clear();
    runScript(QStringLiteral("COMMIT"));
}

void Connection::rollbackTransaction() {
    m_reserved.clear();
    if (m_pipeline)
        drainPipeline(false);
    for (auto& [key, stmt] : m_cache)
        stmt->reset();
    for (auto& [key, stmt] : m_queryCache)
        stmt->reset();
    if (m_conn && !m_lost && PQstatus(m_conn) == CONNECTION_OK)
        PQclear(PQexec(m_conn, "ROLLBACK"));
}

bool Connection::tableExists(const QString& storedName) {
    const QByteArray schema = m_schema.toUtf8(), name = storedName.toLower().toUtf8();
    const char* values[] = {schema.constData(), name.constData()};
    Result r{run("SELECT 1 FROM pg_catalog.pg_tables WHERE schemaname = $1 AND tablename = $2", 2,
                 values)};
    return r.rows() > 0 && storedName.compare(kVersionTable, Qt::CaseInsensitive) != 0;
}

QStringList Connection::tableNames() {
    const QByteArray schema = m_schema.toUtf8();
    const char* values[] = {schema.constData()};
    Result r{
        run("SELECT coalesce(pg_catalog.obj_description(c.oid, 'pg_class'), c.relname) COLLATE "
            "\"C\" AS n "
            "FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace s ON s.oid = c.relnamespace "
            "WHERE s.nspname = $1 AND c.relkind = 'r' AND c.relname <> 'lumbra$version' ORDER BY n",
            1, values)};
    QStringList out;
    for (int i = 0; i < r.rows(); ++i)
        out << r.text(i, 0);
    return out;
}

TableDef Connection::readStructure(const QString& storedName) {
    const QByteArray schema = m_schema.toUtf8(), name = storedName.toLower().toUtf8();
    const char* values[] = {schema.constData(), name.constData()};
    TableDef def;
    {
        Result r{run(
            "SELECT a.attname, pg_catalog.format_type(a.atttypid, a.atttypmod), a.attnotnull, "
            "pg_catalog.col_description(c.oid, a.attnum), pg_catalog.obj_description(c.oid, "
            "'pg_class') "
            "FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace s ON s.oid = c.relnamespace "
            "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid "
            "WHERE s.nspname = $1 AND c.relname = $2 AND c.relkind = 'r' AND a.attnum > 0 "
            "AND NOT a.attisdropped AND a.attname <> 'rowid' ORDER BY a.attnum",
            2, values)};
        if (r.rows() == 0 || storedName.compare(kVersionTable, Qt::CaseInsensitive) == 0)
            throw DatabaseError(QStringLiteral("Table %1 does not exist.").arg(storedName),
                                DatabaseError::Kind::TableNotFound);
        def.name = r.isNull(0, 4) ? QString::fromUtf8(name) : r.text(0, 4);
        for (int i = 0; i < r.rows(); ++i) {
            FieldDef f;
            f.name = r.isNull(i, 3) ? r.text(i, 0) : r.text(i, 3);
            f.required = r.text(i, 2) == QLatin1String("t");
            const ColumnType type = parseColumnType(r.text(i, 1));
            f.type = type.known ? type.type : FieldType::Text;
            f.size = type.known ? type.size : 255;
            def.fields << f;
        }
    }
    Result r{
        run("SELECT i.relname, pg_catalog.obj_description(i.oid, 'pg_class'), x.indisunique, "
            "pg_catalog.array_to_string(ARRAY(SELECT coalesce(pg_catalog.col_description(c.oid, "
            "k.attnum), "
            "k.attname) FROM pg_catalog.unnest(x.indkey::int2[]) WITH ORDINALITY u(n, ord) "
            "JOIN pg_catalog.pg_attribute k ON k.attrelid = c.oid AND k.attnum = u.n "
            "WHERE k.attname <> 'rowid' ORDER BY u.ord), chr(1)) "
            "FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace s ON s.oid = c.relnamespace "
            "JOIN pg_catalog.pg_index x ON x.indrelid = c.oid JOIN pg_catalog.pg_class i ON i.oid "
            "= x.indexrelid "
            "WHERE s.nspname = $1 AND c.relname = $2 AND pg_catalog.strpos(i.relname, '$') > 0 "
            "ORDER BY i.relname",
            2, values)};
    const QString prefix = def.name + QLatin1Char('$');
    for (int i = 0; i < r.rows(); ++i) {
        const QString stored = r.isNull(i, 1) ? r.text(i, 0) : r.text(i, 1);
        IndexDef index;
        index.primary = stored.compare(primaryIndexName(def.name), Qt::CaseInsensitive) == 0;
        index.unique = r.text(i, 2) == QLatin1String("t");
        index.name = index.primary                                    ? QString()
                     : stored.startsWith(prefix, Qt::CaseInsensitive) ? stored.mid(prefix.size())
                                                                      : stored;
        index.fields = r.text(i, 3).split(QChar(1), Qt::SkipEmptyParts);
        if (index.primary)
            def.indexes.prepend(index);
        else
            def.indexes << index;
    }
    return def;
}

void Connection::createTable(const QString& storedName, const QList<FieldDef>& fields) {
    dropStatements(); // statements prepared before see the new structure
    QStringList cols{QStringLiteral("rowid bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")};
    QStringList comments{
        QStringLiteral("COMMENT ON TABLE %1 IS %2").arg(ident(storedName), literal(storedName))};
    for (const FieldDef& f : fields) {
        cols << ident(f.name) + QLatin1Char(' ') + dialect().columnType(f) +
                    (f.required ? QStringLiteral(" NOT NULL") : QString());
        comments << QStringLiteral("COMMENT ON COLUMN %1.%2 IS %3")
                        .arg(ident(storedName), ident(f.name), literal(f.name));
    }
    runScript(QStringLiteral(
                  "CREATE TABLE %1 (%2); %3; UPDATE \"lumbra$version\" SET version = version + 1")
                  .arg(ident(storedName), cols.join(QStringLiteral(", ")),
                       comments.join(QStringLiteral("; "))));
}

void Connection::createIndex(const QString& storedTable, const QString& indexName,
                             const QStringList& fields, bool unique) {
    dropStatements(); // statements prepared before see the new structure
    QStringList cols;
    for (const QString& f : fields)
        cols << ident(f) + QStringLiteral(" NULLS FIRST");
    // Records with the same key follow each other in order of entry.
    if (!unique)
        cols << QStringLiteral("rowid");
    runScript(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4); COMMENT ON INDEX %2 IS %5; "
                             "UPDATE \"lumbra$version\" SET version = version + 1")
                  .arg(unique ? QStringLiteral("UNIQUE ") : QString(), ident(indexName),
                       ident(storedTable), cols.join(QStringLiteral(", ")), literal(indexName)));
}

void Connection::dropTable(const QString& storedName) {
    dropStatements(); // statements prepared before see the new structure
    runScript(QStringLiteral("DROP TABLE %1; UPDATE \"lumbra$version\" SET version = version + 1")
                  .arg(ident(storedName)));
}

void Connection::emptyTable(const QString& storedName) {
    runScript(QStringLiteral("DELETE FROM %1").arg(ident(storedName)));
}

int Connection::schemaVersion() {
    int version = 0;
    {
        Result r{run("SELECT version FROM \"lumbra$version\"")};
        version = r.rows() > 0 ? r.text(0, 0).toInt() : 0;
    }
    if (version != m_schemaSeen) {
        if (m_schemaSeen != -1)
            dropStatements(); // another user changed a structure
        m_schemaSeen = version;
    }
    return version;
}

void Connection::dropStatements() {
    ++m_generation;
    m_cache.clear();
    m_queryCache.clear();
}

qint64 Connection::lastInsertId() {
    Result r{run("SELECT pg_catalog.lastval()")};
    return r.text(0, 0).toLongLong();
}

} // namespace db::postgres
