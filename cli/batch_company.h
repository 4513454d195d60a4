#pragma once
// A company opened for batch work from the command line: the production data module connected
// to the company directory, the production settings read from that company's "KRVDEF.INI", and
// a private directory of the run's own for the requirement table, so that a batch run never
// touches the requirement table of a person working in the host at the same time.
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "company/company_directory.h"
#include "platform/db/session.h"

class TQDMDataModule;

namespace cli {

// Opens a company directory for a command that needs what holds names; a directory that does not
// hold it is refused (CommandError).
company::CompanyDirectory openCompany(const QString& directory, company::Holds holds);

class BatchCompany {
public:
    // Refuses (CommandError) a directory that does not hold a company database.
    explicit BatchCompany(const QString& directory);
    ~BatchCompany();
    BatchCompany(const BatchCompany&) = delete;
    BatchCompany& operator=(const BatchCompany&) = delete;

    const QString& directory() const { return m_directory; }
    TQDMDataModule& dataModule() { return *m_dataModule; }
    db::Session& session() { return m_session; }
    // The last warning a data rule gave (a refused recipe or requirement line), then cleared.
    QString takeWarning();

private:
    QString m_directory;
    QTemporaryDir m_private;
    QTemporaryDir m_registry;
    db::Session m_session;
    std::unique_ptr<TQDMDataModule> m_dataModule;
    QString m_warning;
};

} // namespace cli
