#pragma once
// The engine's session: the aliases (name -> directory or server) that the environment provides
// through its configuration file, the databases that define aliases of their own, the network
// control directory, and one shared connection per database directory. Each side of the host
// boundary has its own session; both read the same configuration file.
#include "platform/db/damaged_database.h"

#include <QHash>
#include <QList>
#include <QString>
#include <map>
#include <memory>

namespace db {

class Connection;
class Database;

class Session {
public:
    Session() = default;
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The session of this side; it reads the default configuration file when first used.
    static Session& instance();

    // "$LUMBRA_ENGINE_CONFIG", else "<user config dir>/lumbra/engine.ini".
    static QString defaultConfigFile();
    // Reads the aliases of section [Aliases] (name=directory) and the network control
    // directory (section [Session], key NetFileDir). A missing file defines nothing.
    void loadConfigFile(const QString& path);
    // Writes the session's aliases and network control directory to a configuration file.
    void saveConfigFile(const QString& path) const;

    void addAlias(const QString& name, const QString& directory);
    void removeAlias(const QString& name);
    bool hasAlias(const QString& name) const;
    QString aliasDirectory(const QString& name) const; // empty when unknown
    QStringList aliasNames() const;

    const QString& netFileDir() const { return m_netFileDir; }
    void setNetFileDir(const QString& directory) { m_netFileDir = directory; }

    // The database a dataset names: a registered Database of that name, else one the
    // session keeps for an alias of its configuration. Throws when the name is unknown.
    Database& findDatabase(const QString& name);
    void registerDatabase(Database* database);
    void unregisterDatabase(Database* database);

    // The shared connection to a directory's database file, or to a company on a database
    // server when the location is a server alias ("postgres:<connection> schema=<name>").
    std::shared_ptr<Connection> connect(const QString& location);

    // How the connections this session opens from now on word a damaged database file; the
    // engine's own wording when none is installed (or an empty one is).
    void setDamagedDatabaseMessage(DamagedDatabaseMessage message) {
        m_damagedMessage = std::move(message);
    }
    const DamagedDatabaseMessage& damagedDatabaseMessage() const { return m_damagedMessage; }

private:
    QHash<QString, QString> m_aliases; // upper-case name -> directory
    QHash<QString, QString> m_aliasSpelling;
    QString m_netFileDir;
    QList<Database*> m_databases;
    std::map<QString, std::unique_ptr<Database>> m_implicit;
    std::map<QString, std::weak_ptr<Connection>> m_connections;
    DamagedDatabaseMessage m_damagedMessage;
};

} // namespace db
