#pragma once
// A company directory: the folder that holds a company's database file (tables.sqlite), or
// names the database server that holds its tables (server.location), with its settings and
// backups beside them. The registry value LastDatabaseDir of the host's key remembers the one
// opened last; the production settings are read through it.
//
// Every program opens a company through openCompanyDirectory, so that a missing company is
// refused with the same words in the windows, on the command line and by backups.
#include "platform/base/errors.h"

#include <QString>

namespace company {

inline constexpr char kRegistryKey[] = "Software\\Calbrik\\Merovan";
inline constexpr char kLastDatabaseDir[] = "LastDatabaseDir";

// The company directory opened last, or an empty text when none was.
QString lastCompanyDirectory();
// Throws base::Error when the registry cannot be written.
void rememberCompanyDirectory(const QString& directory);

// A directory that does not hold what was asked for; nothing was opened or written.
class CompanyRefused : public base::Error {
public:
    using Error::Error;
};

// What a caller needs of the directory.
enum class Holds {
    Directory,       // only the folder: a company about to be created or restored into
    DatabaseFile,    // the database file itself (a backup, the integrity check)
    DatabaseOrServer // its tables, in the file or on the server the directory names
};

struct CompanyDirectory {
    QString path;         // absolute and clean
    QString databaseFile; // <path>/tables.sqlite, whether it exists or not
};

// A file or folder name a person gave (a backup to write, a backup to restore, a file to import),
// made absolute with its "." and ".." steps resolved, so that what is named in a message is what
// is read or written. A name holding a control character (a line break, a tab, an escape) is
// refused with CompanyRefused: it would be shown wrongly and is never meant.
QString checkedPath(const QString& name);

// Checks directory for what the caller needs and answers where the company's parts are. The
// directory's name goes through checkedPath first.
// Throws CompanyRefused: "Firma nu există: …" for a missing folder, "Directorul … nu conține o
// firmă …" for a folder without the database the caller needs.
CompanyDirectory openCompanyDirectory(const QString& directory, Holds holds);

} // namespace company
