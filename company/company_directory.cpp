#include "company/company_directory.h"

#include "platform/db/connection.h"
#include "platform/db/drivers/sqlite/connection.h"
#include "platform/store/registry_store.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

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

QString checkedPath(const QString& name) {
    const auto control = [](QChar c) { return c.category() == QChar::Other_Control; };
    if (std::any_of(name.begin(), name.end(), control)) {
        QString shown = name; // the control characters themselves would garble the message
        std::replace_if(shown.begin(), shown.end(), control, QChar(0xFFFD));
        throw CompanyRefused(
            QStringLiteral("Numele %1 conține caractere de control; alegeți alt nume.").arg(shown));
    }
    return QDir::cleanPath(QDir(name).absolutePath());
}

CompanyDirectory openCompanyDirectory(const QString& directory, Holds holds) {
    CompanyDirectory company;
    company.path = checkedPath(directory);
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
