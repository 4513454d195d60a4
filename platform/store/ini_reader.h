#pragma once
// A settings file kept open for reading for a long time (the host's settings file, from
// start-up to shut-down). It holds the file's text and loads it again when the file's size
// or modification time has changed, so a reader sees what other programs wrote meanwhile.
#include "platform/store/ini_document.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace store {

class IniReader {
public:
    explicit IniReader(QString fileName);
    const QString& fileName() const { return m_fileName; }

    // As readIniString and readIniKeys.
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = QString()) const;
    QStringList keys(const QString& section) const;

private:
    struct Stamp {
        qint64 size = -1; // -1 when the file does not exist
        QDateTime modified;
        bool operator==(const Stamp&) const = default;
    };

    const IniDocument& document() const;

    QString m_fileName;
    mutable IniDocument m_document;
    mutable std::optional<Stamp> m_stamp;
};

} // namespace store
