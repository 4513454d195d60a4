#pragma once
// A database component: a named connection to one alias directory. It defines an alias of its
// own when its parameters carry "PATH=<directory>" (as the production connection does), or
// else uses the session's alias of the same name. Closing it closes every dataset on it.
// It offers transactions (all or nothing, begun with the database's write lock) and table
// management. The directory may also name a database server ("postgres:..."); the connection
// is then the server driver's, and nothing above it differs.
#include "platform/db/field_type.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <type_traits>

namespace db {

class Connection;
class DataSet;
class Session;

class Database {
public:
    explicit Database(QString databaseName = QString(), Session* session = nullptr);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& databaseName() const { return m_databaseName; }
    void setDatabaseName(const QString& name);
    const QString& driverName() const { return m_driverName; }
    void setDriverName(const QString& name) { m_driverName = name; }
    QStringList& params() { return m_params; }
    void setParams(const QStringList& params) { m_params = params; }
    Session& session() const { return *m_session; }

    // The directory (or server location): the PATH= parameter, else the session's alias of
    // this name.
    QString directory() const;

    void open();
    void close();
    bool isConnected() const { return bool(m_connection); }
    void setConnected(bool connected) { connected ? open() : close(); }
    // The connection, opening the database when it is closed.
    Connection& connection();

    // Transactions. startTransaction() nests; commit() and rollback() end one level; a rollback
    // at any level rolls back everything written since the outermost start.
    void startTransaction();
    void commit();
    void rollback();
    bool inTransaction() const;
    // Runs fn in a transaction: committed when it returns, rolled back when it throws.
    template <class F> auto transaction(F&& fn) -> decltype(fn()) {
        startTransaction();
        try {
            if constexpr (std::is_void_v<decltype(fn())>) {
                fn();
                commit();
            } else {
                auto result = fn();
                commit();
                return result;
            }
        } catch (...) {
            rollback();
            throw;
        }
    }

    // Tables. Names are table file names (".DB" and letter case ignored).
    bool tableExists(const QString& tableName);
    void createTable(const TableDef& def);      // throws when it exists
    void deleteTable(const QString& tableName); // throws when it does not exist
    void addIndex(const QString& tableName, const IndexDef& index);
    TableDef tableStructure(const QString& tableName); // fields and indexes as stored
    QStringList tableNames();

    // Datasets register while open so that closing the database closes them.
    void attach(DataSet* dataSet);
    void detach(DataSet* dataSet);

private:
    QString m_databaseName;
    QString m_driverName = QStringLiteral("STANDARD");
    QStringList m_params;
    Session* m_session;
    std::shared_ptr<Connection> m_connection;
    QList<DataSet*> m_dataSets;
    // Table structures read at the schema version they were read under.
    struct CachedStructure {
        int schemaVersion;
        TableDef def;
    };
    QHash<QString, CachedStructure> m_structures;
    TableDef readStructure(const QString& tableName);
};

} // namespace db
