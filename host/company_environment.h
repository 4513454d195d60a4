#pragma once
// What the host provides around a company database: the registry value that remembers the
// company opened last (company/company_directory.h), the aliases of the engine's configuration
// (MAGNIS on the company directory, KRV_PRIV on the user's private directory), and the host's
// own settings file next to its executable. The add-on reads all three, so they are written
// before it is driven.
#include "company/company_directory.h"

#include <QString>

namespace db {
class Session;
}

namespace host {

inline constexpr char kCompanyAlias[] = "MAGNIS";
inline constexpr char kPrivateAlias[] = "KRV_PRIV";

using company::lastCompanyDirectory;
using company::rememberCompanyDirectory;

// The user's private directory for scratch tables: $XDG_DATA_HOME/lumbra/private
// (~/.local/share/lumbra/private), created when missing; throws base::Error when it cannot be.
QString privateDirectory();

// The host's settings file: the executable's path with the extension ".INI", or the file
// $LUMBRA_HOST_SETTINGS names (a second installation run from the same folder, or a test that
// must not share the file with the tests running beside it).
QString hostSettingsFile();
// Gives the settings file the key "NetControlDir" of section "Initial" (empty) when it lacks
// it, and answers the key's value. A file that cannot be written (a read-only installation)
// is only read.
QString prepareHostSettingsFile(const QString& fileName);

// Defines MAGNIS and KRV_PRIV in the session, closing what the session had open on an earlier
// company, and writes the session's aliases to the engine configuration file.
void defineCompanyAliases(db::Session& session, const QString& companyDirectory,
                          const QString& privateDirectory, const QString& configFile);

} // namespace host
