#include "cli/batch_company.h"

#include "backup/damaged_database_message.h"
#include "cli/command_error.h"
#include "company/company_directory.h"
#include "data/qdm_data_module.h"
#include "platform/store/registry_store.h"
#include "settings/production_settings_file.h"

namespace cli {

BatchCompany::BatchCompany(const QString& directory) {
    // A company whose tables are on a server names it in its directory instead.
    m_directory = openCompany(directory, company::Holds::DatabaseOrServer).path;
    if (!m_private.isValid() || !m_registry.isValid())
        refuse(QStringLiteral("Nu se poate crea un director temporar de lucru."));

    // The production settings are read through the registry value that names the company
    // directory; this run's registry names the company it was given, whatever the host opened
    // last.
    store::setRegistryRoot(m_registry.path());
    company::rememberCompanyDirectory(m_directory);
    LoadProductionSettings();

    backup::installDamagedDatabaseMessage(m_session);
    m_session.addAlias(QStringLiteral("KRV_PRIV"), m_private.path());
    m_session.addAlias(QStringLiteral("MAGNIS"), m_directory);
    m_dataModule = std::make_unique<TQDMDataModule>(&m_session);
    m_dataModule->showWarning = [this](const QString& text) { m_warning = text; };
    m_dataModule->GhostDB.params() = {QStringLiteral("PATH=") + m_directory};
    m_dataModule->GhostDB.open();
    if (!m_dataModule->GhostDB.tableExists(QStringLiteral("CATALOG.DB")))
        refuse(QStringLiteral(
                   "Directorul %1 nu conține o firmă (baza de date nu are catalogul de articole).")
                   .arg(m_directory));
}

BatchCompany::~BatchCompany() {
    m_dataModule.reset();
    store::setRegistryRoot(QString());
}

company::CompanyDirectory openCompany(const QString& directory, company::Holds holds) {
    try {
        return company::openCompanyDirectory(directory, holds);
    } catch (const company::CompanyRefused& e) {
        refuse(e.message());
    }
}

QString BatchCompany::takeWarning() {
    return std::exchange(m_warning, QString());
}

} // namespace cli
