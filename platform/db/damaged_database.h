#pragma once
// The message for a database file the engine finds damaged (SQLite's corrupt and not-a-database
// answers). The engine words only what it knows: which directory and which file, that the data
// may be damaged and that nothing more is written to it. A program that keeps backups of its
// companies installs a wording of its own in its session, which adds what to restore from.
#include <QString>

#include <functional>

namespace db {

// directory: the company directory; file: its database file; engineText: SQLite's own message
// ("database disk image is malformed"), shown in brackets.
using DamagedDatabaseMessage = std::function<QString(const QString& directory, const QString& file,
                                                     const QString& engineText)>;

// The engine's own wording, used when no other is installed: one paragraph, no advice.
QString damagedDatabaseText(const QString& directory, const QString& file,
                            const QString& engineText);

} // namespace db
