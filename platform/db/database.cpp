#include "platform/db/database.h"

#include "platform/base/errors.h"
#include "platform/db/data_set.h"
#include "platform/db/drivers/sqlite/connection.h"
#include "platform/db/session.h"
#include "platform/db/table_name.h"

namespace db {

using base::DatabaseError;
using sqlite::StatementUse;

namespace {

QString primaryIndexName(const QString& table) { return table + QStringLiteral("$PK"); }

} // namespace

Database::Database(QString databaseName, Session* session)
    : m_databaseName(std::move(databaseName)), m_session(session ? session : &Session::instance()) {
    m_session->registerDatabase(this);
}

Database::~Database() {
    close();
    m_session->unregisterDatabase(this);
}

void Database::setDatabaseName(const QString& name) {
    if (isConnected())
        throw DatabaseError(QStringLiteral("Cannot rename the connected database %1.").arg(m_databaseName),
                            DatabaseError::Kind::InvalidState);
    m_databaseName = name;
}

QString Database::directory() const {
    for (const QString& p : m_params)
        if (p.startsWith(QLatin1String("PATH="), Qt::CaseInsensitive))
            return p.mid(5);
    return m_session->aliasDirectory(m_databaseName);
}

void Database::open() {
    if (m_connection)
        return;
    const QString dir = directory();
    if (dir.isEmpty())
        throw DatabaseError(QStringLiteral("The database %1 has no directory.").arg(m_databaseName),
                            DatabaseError::Kind::NotConnected);
    m_connection = m_session->connect(dir);
}

void Database::close() {
    const auto sets = m_dataSets;
    for (DataSet* d : sets)
        d->close();
    m_dataSets.clear();
    if (m_connection && m_connection->inTransaction() && m_connection.use_count() == 1)
        m_connection->rollback();
    m_connection.reset();
    m_structures.clear();
}

sqlite::Connection& Database::connection() {
    open();
    return *m_connection;
}

void Database::startTransaction() { connection().begin(); }
void Database::commit() { connection().commit(); }
void Database::rollback() {
    if (m_connection)
        m_connection->rollback();
}
bool Database::inTransaction() const { return m_connection && m_connection->inTransaction(); }

bool Database::tableExists(const QString& tableName) {
    return connection().tableExists(storedTableName(tableName));
}

void Database::createTable(const TableDef& def) {
    sqlite::Connection& c = connection();
    const QString name = storedTableName(def.name);
    if (c.tableExists(name))
        throw DatabaseError(QStringLiteral("Table %1 already exists.").arg(def.name));
    if (def.fields.isEmpty())
        throw DatabaseError(QStringLiteral("Table %1 has no fields.").arg(def.name));
    QStringList cols;
    // A required field is kept in the stored structure, so that every dataset opened on the
    // table later refuses a record without it.
    for (const FieldDef& f : def.fields)
        cols << quoteIdentifier(f.name) + QLatin1Char(' ') + sqlColumnType(f) +
                    (f.required ? QStringLiteral(" NOT NULL") : QString());
    sqlite::WriteScope scope(c);
    c.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(sqlTableName(name), cols.join(QStringLiteral(", "))));
    for (const IndexDef& index : def.indexes)
        addIndex(name, index);
    c.noteWrite();
    scope.commit();
}

void Database::deleteTable(const QString& tableName) {
    sqlite::Connection& c = connection();
    const QString name = storedTableName(tableName);
    if (!c.tableExists(name))
        throw DatabaseError(QStringLiteral("Table %1 does not exist.").arg(tableName),
                            DatabaseError::Kind::TableNotFound);
    sqlite::WriteScope scope(c);
    c.exec(QStringLiteral("DROP TABLE %1").arg(sqlTableName(name)));
    c.noteWrite();
    scope.commit();
}

void Database::addIndex(const QString& tableName, const IndexDef& index) {
    sqlite::Connection& c = connection();
    const TableDef existing = tableStructure(tableName); // throws when the table is missing
    const QString table = existing.name;
    if (index.fields.isEmpty())
        throw DatabaseError(QStringLiteral("An index of %1 needs at least one field.").arg(tableName));
    QStringList cols;
    for (const QString& f : index.fields) {
        bool known = false;
        for (const FieldDef& d : existing.fields)
            known = known || d.name.compare(f, Qt::CaseInsensitive) == 0;
        if (!known)
            throw DatabaseError(QStringLiteral("Field %1 not found in table %2.").arg(f, tableName),
                                DatabaseError::Kind::FieldMismatch);
        cols << quoteIdentifier(f);
    }
    QString indexName;
    if (index.primary) {
        for (const IndexDef& i : existing.indexes)
            if (i.primary)
                throw DatabaseError(QStringLiteral("Table %1 already has a primary index.").arg(tableName));
        indexName = primaryIndexName(table);
    } else {
        if (index.name.isEmpty())
            throw DatabaseError(QStringLiteral("A secondary index of %1 needs a name.").arg(tableName));
        indexName = table + QLatin1Char('$') + index.name;
    }
    sqlite::WriteScope scope(c);
    c.exec(QStringLiteral("CREATE %1INDEX main.%2 ON %3 (%4)")
               .arg(index.primary || index.unique ? QStringLiteral("UNIQUE ") : QString(),
                    quoteIdentifier(indexName), quoteIdentifier(table), cols.join(QStringLiteral(", "))));
    c.noteWrite();
    scope.commit();
}

TableDef Database::tableStructure(const QString& tableName) {
    const int version = connection().schemaVersion();
    const QString key = storedTableName(tableName).toUpper();
    auto it = m_structures.constFind(key);
    if (it != m_structures.constEnd() && it->schemaVersion == version)
        return it->def;
    TableDef def = readStructure(tableName);
    m_structures.insert(key, {version, def});
    return def;
}

TableDef Database::readStructure(const QString& tableName) {
    sqlite::Connection& c = connection();
    TableDef def;
    {
        auto s = c.prepare(QStringLiteral(
            "SELECT name FROM main.sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE"));
        StatementUse use(*s);
        s->bind(1, storedTableName(tableName));
        if (!s->step())
            throw DatabaseError(QStringLiteral("Table %1 does not exist.").arg(tableName),
                                DatabaseError::Kind::TableNotFound);
        def.name = s->columnRaw(0).toString();
    }
    {
        auto s = c.prepare(QStringLiteral("SELECT name, type, \"notnull\" FROM pragma_table_info(?1)"));
        StatementUse use(*s);
        s->bind(1, def.name);
        while (s->step()) {
            FieldDef f;
            f.name = s->columnRaw(0).toString();
            f.required = s->columnInt64(2) != 0;
            if (!parseSqlColumnType(s->columnRaw(1).toString(), f.type, f.size)) {
                f.type = FieldType::Text;
                f.size = 255;
            }
            def.fields << f;
        }
    }
    QList<QPair<QString, bool>> indexes;
    {
        auto s = c.prepare(QStringLiteral("SELECT name, \"unique\" FROM pragma_index_list(?1) ORDER BY name"));
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
        index.name = index.primary ? QString()
                     : name.startsWith(prefix, Qt::CaseInsensitive) ? name.mid(prefix.size())
                                                                    : name;
        auto s = c.prepare(QStringLiteral("SELECT name FROM pragma_index_info(?1) ORDER BY seqno"));
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

QStringList Database::tableNames() {
    QStringList out;
    auto s = connection().prepare(
        QStringLiteral("SELECT name FROM main.sqlite_master WHERE type='table' ORDER BY name"));
    StatementUse use(*s);
    while (s->step())
        out << s->columnRaw(0).toString();
    return out;
}

void Database::attach(DataSet* dataSet) {
    if (!m_dataSets.contains(dataSet))
        m_dataSets.append(dataSet);
}

void Database::detach(DataSet* dataSet) { m_dataSets.removeAll(dataSet); }

} // namespace db
