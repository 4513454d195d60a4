#pragma once
// The message for a company database that SQLite finds damaged (its corrupt and not-a-database
// answers): the engine's own words (which company directory and which file, that the data may
// be damaged and nothing more is written to it), then the newest backup that passes its
// integrity check, with the two ways to restore it. One text, so that every window and the
// command line say the same; a program installs it in its engine session.
#include <QString>

namespace db {
class Session;
}

namespace backup {

// engineText is SQLite's own message ("database disk image is malformed"), shown in brackets.
QString damagedDatabaseMessage(const QString& companyDirectory, const QString& file,
                               const QString& engineText);

// Makes session word its damaged-database errors with damagedDatabaseMessage.
void installDamagedDatabaseMessage(db::Session& session);

} // namespace backup
