#pragma once
// The backup of a company whose tables are on a database server: the server's own dump of the
// company's schema (pg_dump, custom format), written under a temporary name and given its name
// only when the dump finished.
#include <QString>

namespace cli {

struct Console;

// server: the company's server alias; file: where to write it, empty for
// <company>/backup/salvare-<date>-<time>.dump. Throws CommandError.
int backupServerCompany(const QString& company, const QString& server, const QString& file,
                        Console& console);

} // namespace cli
