#include "platform/db/drivers/sqlite/connection.h"

#include "platform/base/errors.h"
#include "platform/db/table_name.h"

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <random>
#include <sys/vfs.h>
#include <thread>

namespace db::sqlite {
namespace {

using base::DatabaseError;

// File systems on which SQLite's locking cannot be trusted.
bool isNetworkFileSystem(const QString& directory, QString& kind) {
    struct statfs st {};
    if (statfs(QFile::encodeName(directory).constData(), &st) != 0)
        return false;
    switch (static_cast<unsigned long>(st.f_type)) {
    case 0x6969:
        kind = QStringLiteral("NFS");
        return true;
    case 0x517B:
        kind = QStringLiteral("SMB");
        return true;
    case 0xFF534D42:
        kind = QStringLiteral("CIFS");
        return true;
    case 0xFE534D42:
        kind = QStringLiteral("SMB2");
        return true;
    case 0x73757245:
        kind = QStringLiteral("Coda");
        return true;
    case 0x5346414F:
        kind = QStringLiteral("AFS");
        return true;
    case 0x01021997:
        kind = QStringLiteral("9P");
        return true;
    case 0x564C:
        kind = QStringLiteral("NCP");
        return true;
    case 0x00C36400:
        kind = QStringLiteral("Ceph");
        return true;
    default:
        return false;
    }
}

constexpr int kBusyTimeoutMs = 30000;

// Waits for another user's lock in short, jittered steps. SQLite's own handler sleeps ever
// longer, so a user who keeps writing can starve another one for the whole timeout.
int waitForLock(void* data, int attempt) {
    auto* started = static_cast<std::chrono::steady_clock::time_point*>(data);
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0)
        *started = now;
    if (now - *started > std::chrono::milliseconds(kBusyTimeoutMs))
        return 0;
    thread_local std::minstd_rand jitter{std::random_device{}()};
    std::this_thread::sleep_for(std::chrono::microseconds(200 + jitter() % 1800));
    return 1;
}

} // namespace

QString Connection::fileNameFor(const QString& directory) {
    return QDir(directory).absoluteFilePath(QStringLiteral("tables.sqlite"));
}

bool Connection::walIsSafe(int v) {
    return v >= 3051003 || (v >= 3050007 && v < 3051000) || (v >= 3044006 && v < 3045000);
}

Connection::Connection(const QString& directory, DamagedDatabaseMessage damagedMessage)
    : m_directory(directory), m_wordDamage(std::move(damagedMessage)) {
    const QFileInfo dir(directory);
    if (directory.isEmpty() || !dir.isDir())
        throw DatabaseError(QStringLiteral("Directory '%1' does not exist.").arg(directory),
                            DatabaseError::Kind::NotConnected);
    QString fsKind;
    if (isNetworkFileSystem(directory, fsKind))
        throw DatabaseError(
            QStringLiteral("The directory '%1' is on a network file system (%2). The embedded "
                           "database cannot be shared safely there; keep the company on a local "
                           "disk, or use a database server for several users.")
                .arg(directory, fsKind),
            DatabaseError::Kind::UnsafeLocation);
    m_fileName = fileNameFor(directory);
    // A restore holds the directory's lock exclusively while it replaces the database.
    m_lock =
        DirectoryLock::acquire(directory, DirectoryLock::Mode::Shared, std::chrono::seconds(10));
    if (m_lock.state() == DirectoryLock::State::InUse)
        throw DatabaseError(QStringLiteral("Baza de date din %1 este în curs de restaurare dintr-o "
                                           "copie de siguranță; încercați din nou după ce "
                                           "restaurarea se termină.")
                                .arg(QDir::toNativeSeparators(directory)),
                            DatabaseError::Kind::Busy);
    const int rc =
        sqlite3_open_v2(QFile::encodeName(m_fileName).constData(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg =
            m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DatabaseError(QStringLiteral("Cannot open '%1': %2").arg(m_fileName, msg));
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_handler(m_db, &waitForLock, &m_waitStarted);
    try {
        exec(walIsSafe(sqlite3_libversion_number()) ? QStringLiteral("PRAGMA journal_mode=WAL")
                                                    : QStringLiteral("PRAGMA journal_mode=DELETE"));
        exec(QStringLiteral("PRAGMA synchronous=FULL"));
    } catch (...) {
        sqlite3_close(m_db);
        throw;
    }
}

Connection::~Connection() {
    releaseRead();
    m_cache.clear();
    m_catalogue.clear();
    if (inTransaction())
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(m_db);
}

QString Connection::journalMode() const {
    sqlite3_stmt* s = nullptr;
    QString mode;
    if (sqlite3_prepare_v2(m_db, "PRAGMA journal_mode", -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW)
        mode = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    sqlite3_finalize(s);
    return mode;
}

std::shared_ptr<db::Statement> Connection::prepare(const QString& sql) {
    return prepareIn(m_cache, sql);
}

std::shared_ptr<Statement> Connection::prepareCatalogue(const QString& sql) {
    return prepareIn(m_catalogue, sql);
}

std::shared_ptr<Statement> Connection::prepareIn(StatementCache& cache, const QString& sql) {
    auto it = cache.find(sql);
    if (it != cache.end() && !sqlite3_stmt_busy(it->second->handle()))
        return it->second;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v3(m_db, text.constData(), int(text.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK)
        raise(rc, sql);
    notePrepared();
    auto s = std::make_shared<Statement>(*this, stmt);
    if (it == cache.end())
        cache.emplace(sql, s);
    return s;
}

void Connection::exec(const QString& sql) {
    releaseRead(); // what runs here may write, or begin a transaction of its own
    char* err = nullptr;
    noteExecuted();
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK)
        raise(rc, sql);
}

void Connection::beginTransaction() {
    if (m_damaged)
        throw DatabaseError(m_damageMessage, DatabaseError::Kind::Damaged);
    exec(QStringLiteral("BEGIN IMMEDIATE"));
}

void Connection::commitTransaction() {
    noteExecuted();
    const int rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        raise(rc, QStringLiteral("COMMIT"));
}

void Connection::rollbackTransaction() {
    for (const StatementCache* cache : {&m_cache, &m_catalogue})
        for (const auto& [key, stmt] : *cache)
            sqlite3_reset(stmt->handle());
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Connection::beforeStep(sqlite3_stmt* stmt) {
    if (m_holdingRead && sqlite3_get_autocommit(m_db))
        releaseRead(); // an error the engine rolled back on ended the burst's transaction
    if (m_holdingRead) {
        if (!sqlite3_stmt_readonly(stmt))
            releaseRead();
        return;
    }
    if (!sqlite3_get_autocommit(m_db) || !sqlite3_stmt_readonly(stmt) || !ReadBurst::join(this))
        return;
    // A deferred transaction takes the read lock with its first read and keeps it to the end.
    if (sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK)
        m_holdingRead = true;
    else
        ReadBurst::leave(this);
}

void Connection::endHold() noexcept {
    if (!m_holdingRead)
        return;
    m_holdingRead = false;
    // A transaction that only read has nothing to commit but its lock; should the commit be
    // refused, the rollback lets the lock go all the same.
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Connection::releaseRead() noexcept {
    if (!m_holdingRead)
        return;
    ReadBurst::leave(this);
    endHold();
}

bool Connection::tableExists(const QString& storedName) {
    auto s = prepareCatalogue(QStringLiteral(
        "SELECT 1 FROM main.sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE"));
    StatementUse use(*s);
    s->bind(1, storedName);
    return s->step();
}

int Connection::schemaVersion() {
    int version = 0;
    {
        auto s = prepareCatalogue(QStringLiteral("PRAGMA schema_version"));
        StatementUse use(*s);
        s->step();
        version = int(s->columnInt64(0));
    }
    if (version != m_schemaSeen) {
        if (m_schemaSeen != -1)
            dropStatements(); // another user changed a structure
        m_schemaSeen = version;
    }
    return version;
}

void Connection::dropStatements() {
    // A statement in use stays alive with its user and is finalized when it lets go.
    m_cache.clear();
}

void Connection::raise(int rc, const QString& context) {
    const QString engine = QString::fromUtf8(sqlite3_errmsg(m_db));
    if (!m_damaged && ((rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB)) {
        m_damaged = true;
        m_damageMessage = m_wordDamage ? m_wordDamage(m_directory, m_fileName, engine)
                                       : damagedDatabaseText(m_directory, m_fileName, engine);
        // Writing into a damaged file spreads the damage: the connection only reads from now on.
        sqlite3_exec(m_db, "PRAGMA query_only=1", nullptr, nullptr, nullptr);
    }
    if (m_damaged)
        throw DatabaseError(m_damageMessage, DatabaseError::Kind::Damaged);
    switch (rc) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        throw DatabaseError(QStringLiteral("Key violation."), DatabaseError::Kind::KeyViolation);
    case SQLITE_BUSY:
    case SQLITE_BUSY_SNAPSHOT:
    case SQLITE_BUSY_RECOVERY:
    case SQLITE_LOCKED:
        throw DatabaseError(
            QStringLiteral("The database is in use by another user; try again. (%1)").arg(engine),
            DatabaseError::Kind::Busy);
    default:
        break;
    }
    QString msg = engine;
    if (!context.isEmpty() && (rc & 0xff) == SQLITE_ERROR)
        msg += QStringLiteral("\n") + context;
    throw DatabaseError(msg);
}

QStringList Connection::tableNames() {
    QStringList out;
    auto s = prepareCatalogue(
        QStringLiteral("SELECT name FROM main.sqlite_master WHERE type='table' ORDER BY name"));
    StatementUse use(*s);
    while (s->step())
        out << s->columnRaw(0).toString();
    return out;
}

TableDef Connection::readStructure(const QString& storedName) {
    TableDef def;
    {
        auto s = prepareCatalogue(QStringLiteral(
            "SELECT name FROM main.sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE"));
        StatementUse use(*s);
        s->bind(1, storedName);
        if (!s->step())
            throw DatabaseError(QStringLiteral("Table %1 does not exist.").arg(storedName),
                                DatabaseError::Kind::TableNotFound);
        def.name = s->columnRaw(0).toString();
    }
    {
        auto s = prepareCatalogue(
            QStringLiteral("SELECT name, type, \"notnull\" FROM pragma_table_info(?1)"));
        StatementUse use(*s);
        s->bind(1, def.name);
        while (s->step()) {
            FieldDef f;
            f.name = s->columnRaw(0).toString();
            f.required = s->columnInt64(2) != 0;
            const ColumnType type = parseColumnType(s->columnRaw(1).toString());
            f.type = type.known ? type.type : FieldType::Text;
            f.size = type.known ? type.size : 255;
            def.fields << f;
        }
    }
    QList<QPair<QString, bool>> indexes;
    {
        auto s = prepareCatalogue(
            QStringLiteral("SELECT name, \"unique\" FROM pragma_index_list(?1) ORDER BY name"));
        StatementUse use(*s);
        s->bind(1, def.name);
        while (s->step())
            indexes << qMakePair(s->columnRaw(0).toString(), s->columnInt64(1) != 0);
    }
    for (const auto& [name, unique] : indexes) {
        IndexDef index;
        index.primary = name.compare(primaryIndexName(def.name), Qt::CaseInsensitive) == 0;
        index.unique = unique;
        const QString prefix = def.name + QLatin1Char('$');
        index.name = index.primary                                  ? QString()
                     : name.startsWith(prefix, Qt::CaseInsensitive) ? name.mid(prefix.size())
                                                                    : name;
        auto s = prepareCatalogue(
            QStringLiteral("SELECT name FROM pragma_index_info(?1) ORDER BY seqno"));
        StatementUse use(*s);
        s->bind(1, name);
        while (s->step())
            index.fields << s->columnRaw(0).toString();
        if (index.primary)
            def.indexes.prepend(index);
        else
            def.indexes << index;
    }
    return def;
}

void Connection::createTable(const QString& storedName, const QList<FieldDef>& fields) {
    QStringList cols;
    for (const FieldDef& f : fields)
        cols << quoteIdentifier(f.name) + QLatin1Char(' ') + dialect().columnType(f) +
                    (f.required ? QStringLiteral(" NOT NULL") : QString());
    dropStatements();
    exec(QStringLiteral("CREATE TABLE %1 (%2)")
             .arg(dialect().table(storedName), cols.join(QStringLiteral(", "))));
}

void Connection::createIndex(const QString& storedTable, const QString& indexName,
                             const QStringList& fields, bool unique) {
    QStringList cols;
    for (const QString& f : fields)
        cols << quoteIdentifier(f);
    dropStatements();
    exec(QStringLiteral("CREATE %1INDEX main.%2 ON %3 (%4)")
             .arg(unique ? QStringLiteral("UNIQUE ") : QString(), quoteIdentifier(indexName),
                  quoteIdentifier(storedTable), cols.join(QStringLiteral(", "))));
}

void Connection::dropTable(const QString& storedName) {
    dropStatements();
    exec(QStringLiteral("DROP TABLE %1").arg(dialect().table(storedName)));
}

void Connection::emptyTable(const QString& storedName) {
    exec(QStringLiteral("DELETE FROM %1").arg(dialect().table(storedName)));
}

} // namespace db::sqlite
