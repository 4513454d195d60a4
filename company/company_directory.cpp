#include "company/company_directory.h"

#include "platform/db/connection.h"
#include "platform/db/drivers/sqlite/connection.h"
#include "platform/store/registry_store.h"

#include <QDir>
#include <QFileInfo>

namespace company {

QString lastCompanyDirectory() {
    store::RegistryStore registry;
    if (!registry.openKey(QString::fromLatin1(kRegistryKey), false))
        return QString();
    return registry.readString(QString::fromLatin1(kLastDatabaseDir)).value_or(QString());
}

void rememberCompanyDirectory(const QString& directory) {
    store::RegistryStore registry;
    registry.openKey(QString::fromLatin1(kRegistryKey), true);
    registry.writeString(QString::fromLatin1(kLastDatabaseDir), directory);
}

CompanyDirectory openCompanyDirectory(const QString& directory, Holds holds) {
    CompanyDirectory company;
    company.path = QDir::cleanPath(QDir(directory).absolutePath());
    const QString native = QDir::toNativeSeparators(company.path);
    if (!QFileInfo(company.path).isDir())
        throw CompanyRefused(
            QStringLiteral("Firma nu există: directorul %1 nu a fost găsit.").arg(native));
    company.databaseFile = db::sqlite::Connection::fileNameFor(company.path);
    const bool hasFile = QFileInfo(company.databaseFile).isFile();
    // The server.location file is read only when there is no database file to open instead.
    if ((holds == Holds::DatabaseFile && !hasFile) ||
        (holds == Holds::DatabaseOrServer && !hasFile &&
         db::serverLocationOf(company.path).isEmpty()))
        throw CompanyRefused(
            QStringLiteral("Directorul %1 nu conține o firmă (lipsește baza de date %2).")
                .arg(native, QFileInfo(company.databaseFile).fileName()));
    return company;
}

} // namespace company
