#pragma once
// Reading and writing single keys of a settings file on disk (see IniDocument for the
// format). Reading never fails: a missing or unreadable file, section or key gives the
// default. Writing creates the file and the section when needed, replaces the file in one
// step (a crash leaves the old or the new file whole) and refuses, leaving the file as it
// was, a value that cannot be stored (base::ConversionError) or a file it cannot read or
// write (base::Error).
#include <QString>
#include <QStringList>

namespace store {

QString readIniString(const QString& fileName, const QString& section, const QString& key,
                      const QString& defaultValue = QString());
QStringList readIniKeys(const QString& fileName, const QString& section);
void writeIniString(const QString& fileName, const QString& section, const QString& key,
                    const QString& value);

} // namespace store
