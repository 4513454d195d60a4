#include "platform/db/session.h"

#include "platform/base/errors.h"
#include "platform/db/database.h"
#include "platform/db/drivers/postgres/connection.h"
#include "platform/db/drivers/sqlite/connection.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace db {

using base::DatabaseError;

Session::~Session() {
    m_implicit.clear();
}

Session& Session::instance() {
    static Session* session = [] {
        auto* s = new Session; // lives as long as the loaded binary
        s->loadConfigFile(defaultConfigFile());
        return s;
    }();
    return *session;
}

QString Session::defaultConfigFile() {
    const QByteArray env = qgetenv("LUMBRA_ENGINE_CONFIG");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/lumbra/engine.ini");
}

void Session::loadConfigFile(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Aliases"));
    for (const QString& key : ini.childKeys())
        if (!key.trimmed().isEmpty()) // "=x" names no alias
            addAlias(key, ini.value(key).toString());
    ini.endGroup();
    const QString net = ini.value(QStringLiteral("Session/NetFileDir")).toString();
    if (!net.isEmpty())
        m_netFileDir = net;
}

void Session::saveConfigFile(const QString& path) const {
    QDir().mkpath(QFileInfo(path).absolutePath());
    // The file's keys cannot hold these names: such an alias would be lost on the next start.
    // Checked before the file is touched, so a refused save leaves it as it was.
    for (auto it = m_aliases.cbegin(); it != m_aliases.cend(); ++it) {
        const QString name = m_aliasSpelling.value(it.key(), it.key());
        if (name.trimmed().isEmpty() || name.contains(QLatin1Char('/')) ||
            name.contains(QLatin1Char('\\')))
            throw DatabaseError(
                QStringLiteral(
                    "The alias name '%1' cannot be kept in the engine configuration file.")
                    .arg(name));
    }
    QSettings ini(path, QSettings::IniFormat);
    ini.remove(QStringLiteral("Aliases"));
    ini.beginGroup(QStringLiteral("Aliases"));
    for (auto it = m_aliases.cbegin(); it != m_aliases.cend(); ++it)
        ini.setValue(m_aliasSpelling.value(it.key(), it.key()), it.value());
    ini.endGroup();
    ini.setValue(QStringLiteral("Session/NetFileDir"), m_netFileDir);
    ini.sync();
    if (ini.status() != QSettings::NoError)
        throw DatabaseError(
            QStringLiteral("Cannot write the engine configuration file %1.").arg(path));
}

void Session::addAlias(const QString& name, const QString& directory) {
    m_aliases.insert(name.toUpper(), directory);
    m_aliasSpelling.insert(name.toUpper(), name);
}

void Session::removeAlias(const QString& name) {
    m_aliases.remove(name.toUpper());
    m_aliasSpelling.remove(name.toUpper());
}

bool Session::hasAlias(const QString& name) const {
    return m_aliases.contains(name.toUpper());
}

QString Session::aliasDirectory(const QString& name) const {
    return m_aliases.value(name.toUpper());
}

QStringList Session::aliasNames() const {
    QStringList out;
    for (auto it = m_aliases.cbegin(); it != m_aliases.cend(); ++it)
        out << m_aliasSpelling.value(it.key(), it.key());
    return out;
}

Database& Session::findDatabase(const QString& name) {
    for (Database* d : m_databases)
        if (d->databaseName().compare(name, Qt::CaseInsensitive) == 0)
            return *d;
    const QString key = name.toUpper();
    auto it = m_implicit.find(key);
    if (it != m_implicit.end())
        return *it->second;
    if (!hasAlias(name))
        throw DatabaseError(QStringLiteral("Unknown database alias: %1.").arg(name),
                            DatabaseError::Kind::NotConnected);
    // An implicit database is owned here and never registered, so a Database component
    // created later under the same name takes precedence.
    auto db = std::make_unique<Database>(QString(), this);
    db->setDatabaseName(name);
    unregisterDatabase(db.get());
    Database& ref = *db;
    m_implicit.emplace(key, std::move(db));
    return ref;
}

void Session::registerDatabase(Database* database) {
    if (!m_databases.contains(database))
        m_databases.append(database);
}

void Session::unregisterDatabase(Database* database) {
    m_databases.removeAll(database);
}

std::shared_ptr<Connection> Session::connect(const QString& directory) {
    const QString server = serverLocationOf(directory);
    if (!server.isEmpty()) {
        const QString key = server;
        auto it = m_connections.find(key);
        if (it != m_connections.end())
            if (auto c = it->second.lock())
                return c;
        auto c = std::make_shared<postgres::Connection>(key);
        m_connections[key] = c;
        return c;
    }
    QFileInfo info(directory);
    const QString key =
        info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
    auto it = m_connections.find(key);
    if (it != m_connections.end())
        if (auto c = it->second.lock())
            return c;
    std::shared_ptr<Connection> c =
        std::make_shared<sqlite::Connection>(directory, m_damagedMessage);
    m_connections[key] = c;
    return c;
}

} // namespace db
