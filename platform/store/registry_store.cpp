#include "platform/store/registry_store.h"

#include "platform/base/errors.h"
#include "platform/store/file_update.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

namespace store {
namespace {

// Starts with '.', which no key name may, so it never clashes with a subkey's directory.
const QString kValuesFile = QStringLiteral(".values");

QString& rootOverride() {
    static QString root;
    return root;
}

QStringList keyNames(const QString& keyPath) {
    const QStringList names = keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    for (const QString& name : names)
        if (name.startsWith(QLatin1Char('.')) || name.contains(QLatin1Char('/')))
            throw base::Error(QStringLiteral("\"%1\" is not a valid registry key name.").arg(name));
    return names;
}

// The spelling on disk of the subdirectory named like name, or an empty text.
QString findSubdir(const QString& dir, const QString& name) {
    for (const QString& entry : QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return QString();
}

QJsonObject parseValues(const std::optional<QByteArray>& bytes, const QString& fileName) {
    if (!bytes)
        return QJsonObject();
    const QJsonDocument doc = QJsonDocument::fromJson(*bytes);
    if (!doc.isObject())
        throw base::Error(QStringLiteral("The registry file \"%1\" is damaged.").arg(fileName));
    return doc.object();
}

// The stored spelling of the value called name.
std::optional<QString> findName(const QJsonObject& values, const QString& name) {
    for (auto it = values.begin(); it != values.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
    return std::nullopt;
}

} // namespace

QString registryRoot() {
    if (!rootOverride().isEmpty())
        return rootOverride();
    const QString fromEnv = qEnvironmentVariable("LUMBRA_REGISTRY_ROOT");
    if (!fromEnv.isEmpty())
        return fromEnv;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG rules say.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/lumbra/registry");
}

void setRegistryRoot(const QString& directory) {
    rootOverride() = directory;
}

bool RegistryStore::openKey(const QString& keyPath, bool create) {
    closeKey();
    const QStringList names = keyNames(keyPath);
    QString dir = registryRoot();
    if (create && !QDir().mkpath(dir))
        throw base::Error(QStringLiteral("Cannot create the registry directory \"%1\".").arg(dir));
    for (const QString& name : names) {
        QString onDisk = findSubdir(dir, name);
        if (onDisk.isEmpty()) {
            if (!create)
                return false;
            // Another process may have created it (in any spelling) since we looked.
            if (!QDir(dir).mkdir(name) && (onDisk = findSubdir(dir, name)).isEmpty())
                throw base::Error(
                    QStringLiteral("Cannot create the registry key \"%1\".").arg(keyPath));
            if (onDisk.isEmpty())
                onDisk = name;
        }
        dir += QLatin1Char('/') + onDisk;
    }
    m_keyDir = dir;
    return true;
}

QString RegistryStore::valuesFile() const {
    if (!hasOpenKey())
        throw base::Error(QStringLiteral("No registry key is open."));
    return m_keyDir + QLatin1Char('/') + kValuesFile;
}

std::optional<QString> RegistryStore::readString(const QString& name) const {
    const QString file = valuesFile();
    const QJsonObject values = parseValues(readFileIfExists(file), file);
    const std::optional<QString> stored = findName(values, name);
    if (!stored || !values.value(*stored).isString())
        return std::nullopt;
    return values.value(*stored).toString();
}

void RegistryStore::writeString(const QString& name, const QString& value) {
    const QString file = valuesFile();
    updateFile(file, [&](const std::optional<QByteArray>& old) -> std::optional<QByteArray> {
        QJsonObject values = parseValues(old, file);
        values.insert(findName(values, name).value_or(name), value);
        return QJsonDocument(values).toJson();
    });
}

bool RegistryStore::deleteValue(const QString& name) {
    const QString file = valuesFile();
    bool found = false;
    updateFile(file, [&](const std::optional<QByteArray>& old) -> std::optional<QByteArray> {
        QJsonObject values = parseValues(old, file);
        const std::optional<QString> stored = findName(values, name);
        found = stored.has_value();
        if (!found)
            return std::nullopt;
        values.remove(*stored);
        return QJsonDocument(values).toJson();
    });
    return found;
}

} // namespace store
