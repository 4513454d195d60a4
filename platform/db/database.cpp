#include "platform/db/database.h"

#include "platform/base/errors.h"
#include "platform/db/connection.h"
#include "platform/db/data_set.h"
#include "platform/db/session.h"
#include "platform/db/table_name.h"

namespace db {

using base::DatabaseError;

Database::Database(QString databaseName, Session* session)
    : m_databaseName(std::move(databaseName)), m_session(session ? session : &Session::instance()) {
    m_session->registerDatabase(this);
}

Database::~Database() {
    try {
        close(); // its datasets' closing may read: see ~Table
    } catch (const base::Error&) {
    }
    m_session->unregisterDatabase(this);
}

void Database::setDatabaseName(const QString& name) {
    if (isConnected())
        throw DatabaseError(
            QStringLiteral("Cannot rename the connected database %1.").arg(m_databaseName),
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
    // The user's scratch tables stay on the user's own computer, whatever the company uses.
    if (m_databaseName.compare(QLatin1String("KRV_PRIV"), Qt::CaseInsensitive) == 0 &&
        !serverLocationOf(dir).isEmpty())
        throw DatabaseError(
            QStringLiteral("The private alias KRV_PRIV must name a local directory, not the "
                           "database server %1.")
                .arg(dir),
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

Connection& Database::connection() {
    open();
    return *m_connection;
}

void Database::startTransaction() {
    connection().begin();
}
void Database::commit() {
    connection().commit();
}
void Database::rollback() {
    if (m_connection)
        m_connection->rollback();
}
bool Database::inTransaction() const {
    return m_connection && m_connection->inTransaction();
}

bool Database::tableExists(const QString& tableName) {
    return connection().tableExists(storedTableName(tableName));
}

void Database::createTable(const TableDef& def) {
    Connection& c = connection();
    const QString name = storedTableName(def.name);
    if (c.tableExists(name))
        throw DatabaseError(QStringLiteral("Table %1 already exists.").arg(def.name));
    if (def.fields.isEmpty())
        throw DatabaseError(QStringLiteral("Table %1 has no fields.").arg(def.name));
    // A required field is kept in the stored structure, so that every dataset opened on the
    // table later refuses a record without it.
    WriteScope scope(c);
    c.createTable(name, def.fields);
    for (const IndexDef& index : def.indexes)
        addIndex(name, index);
    c.noteWrite();
    scope.commit();
}

void Database::deleteTable(const QString& tableName) {
    Connection& c = connection();
    const QString name = storedTableName(tableName);
    if (!c.tableExists(name))
        throw DatabaseError(QStringLiteral("Table %1 does not exist.").arg(tableName),
                            DatabaseError::Kind::TableNotFound);
    WriteScope scope(c);
    c.dropTable(name);
    c.noteWrite();
    scope.commit();
}

void Database::addIndex(const QString& tableName, const IndexDef& index) {
    Connection& c = connection();
    const TableDef existing = tableStructure(tableName); // throws when the table is missing
    const QString table = existing.name;
    if (index.fields.isEmpty())
        throw DatabaseError(
            QStringLiteral("An index of %1 needs at least one field.").arg(tableName));
    QStringList cols;
    for (const QString& f : index.fields) {
        bool known = false;
        for (const FieldDef& d : existing.fields)
            known = known || d.name.compare(f, Qt::CaseInsensitive) == 0;
        if (!known)
            throw DatabaseError(QStringLiteral("Field %1 not found in table %2.").arg(f, tableName),
                                DatabaseError::Kind::FieldMismatch);
        cols << f;
    }
    QString indexName;
    if (index.primary) {
        for (const IndexDef& i : existing.indexes)
            if (i.primary)
                throw DatabaseError(
                    QStringLiteral("Table %1 already has a primary index.").arg(tableName));
        indexName = primaryIndexName(table);
    } else {
        if (index.name.isEmpty())
            throw DatabaseError(
                QStringLiteral("A secondary index of %1 needs a name.").arg(tableName));
        indexName = table + QLatin1Char('$') + index.name;
    }
    WriteScope scope(c);
    c.createIndex(table, indexName, cols, index.primary || index.unique);
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
    return connection().readStructure(storedTableName(tableName));
}

QStringList Database::tableNames() {
    return connection().tableNames();
}

void Database::attach(DataSet* dataSet) {
    if (!m_dataSets.contains(dataSet))
        m_dataSets.append(dataSet);
}

void Database::detach(DataSet* dataSet) {
    m_dataSets.removeAll(dataSet);
}

} // namespace db
