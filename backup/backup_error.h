#pragma once
// The ways a backup or restore ends without doing its work, beside the engine's failures
// (base::DatabaseError): refused before anything was written, or cancelled by the person. In
// both cases nothing is left behind and the company database is as it was.
#include "company/company_directory.h"
#include "platform/base/errors.h"

namespace backup {

// Refused: no company there, a file that is not a sound company backup, a company that another
// program has open, a target file that already exists.
class BackupRefused : public base::Error {
public:
    using Error::Error;
};

// Cancelled through the progress callback (the Cancel button, Ctrl+C).
class BackupCancelled : public base::Error {
public:
    using Error::Error;
};

// The company directory as a backup or restore needs it (company::openCompanyDirectory); a
// directory that does not hold it is refused with BackupRefused.
company::CompanyDirectory openCompany(const QString& directory, company::Holds holds);
// A file name given for a backup or a restore (company::checkedPath); a refusal as BackupRefused.
QString checkedFileName(const QString& name);

} // namespace backup
