#pragma once
// The message for a company database that SQLite finds damaged (its corrupt and not-a-database
// answers): which company directory and which file, that the data may be damaged and nothing
// more is written to it, and the newest backup that passes its integrity check, with the two
// ways to restore it. One text, so that every window and the command line say the same.
#include <QString>

namespace backup {

// engineText is SQLite's own message ("database disk image is malformed"), shown in brackets.
QString damagedDatabaseMessage(const QString& companyDirectory, const QString& file,
                               const QString& engineText);

} // namespace backup
