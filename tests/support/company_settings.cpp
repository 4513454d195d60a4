#include "tests/support/company_settings.h"

#include "company/company_directory.h"
#include "platform/store/registry_store.h"

#include <QFile>

namespace testsupport {

namespace {

QString settingsFile(const QString& companyDirectory) {
    return companyDirectory + QStringLiteral("/KRVDEF.INI");
}

} // namespace

CompanyRegistry::CompanyRegistry(const QString& registryDirectory,
                                 const QString& companyDirectory) {
    store::setRegistryRoot(registryDirectory);
    if (!companyDirectory.isEmpty())
        nameCompany(companyDirectory);
}

CompanyRegistry::~CompanyRegistry() {
    store::setRegistryRoot(QString());
}

void CompanyRegistry::nameCompany(const QString& companyDirectory) {
    company::rememberCompanyDirectory(companyDirectory);
}

bool writeProductionSettings(const QString& companyDirectory, const QByteArray& bytes) {
    QFile file(settingsFile(companyDirectory));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QByteArray readProductionSettings(const QString& companyDirectory) {
    QFile file(settingsFile(companyDirectory));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace testsupport
