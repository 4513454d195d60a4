#include "host/company_environment.h"

#include "platform/base/errors.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/store/ini_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace host {

namespace {

const QString kInitial = QStringLiteral("Initial");
const QString kNetControlDir = QStringLiteral("NetControlDir");

} // namespace

QString privateDirectory() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    const QString dir = base + QStringLiteral("/lumbra/private");
    if (!QDir().mkpath(dir))
        throw base::Error(QStringLiteral("Nu pot crea directorul privat %1.").arg(dir));
    return dir;
}

QString hostSettingsFile() {
    const QByteArray named = qgetenv("LUMBRA_HOST_SETTINGS");
    if (!named.isEmpty())
        return QString::fromLocal8Bit(named);
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return exe.absolutePath() + QLatin1Char('/') + exe.completeBaseName() + QStringLiteral(".INI");
}

QString prepareHostSettingsFile(const QString& fileName) {
    if (!store::readIniKeys(fileName, kInitial).contains(kNetControlDir, Qt::CaseInsensitive)) {
        try {
            store::writeIniString(fileName, kInitial, kNetControlDir, QString());
        } catch (const base::Error&) {
            // Read-only: the engine keeps its own network control directory.
        }
    }
    return store::readIniString(fileName, kInitial, kNetControlDir);
}

void defineCompanyAliases(db::Session& session, const QString& companyDirectory,
                          const QString& privateDirectory, const QString& configFile) {
    // An alias's database keeps the connection it made; one made for an earlier company
    // would go on reading that company's tables.
    for (const char* alias : {kCompanyAlias, kPrivateAlias}) {
        const QString name = QString::fromLatin1(alias);
        if (session.hasAlias(name))
            session.findDatabase(name).close();
    }
    session.addAlias(QString::fromLatin1(kCompanyAlias), companyDirectory);
    session.addAlias(QString::fromLatin1(kPrivateAlias), privateDirectory);
    session.saveConfigFile(configFile);
}

} // namespace host
