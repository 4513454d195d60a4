#include "platform/store/ini_reader.h"

#include <QFileInfo>

namespace store {

IniReader::IniReader(QString fileName) : m_fileName(std::move(fileName)) {}

const IniDocument& IniReader::document() const {
    const QFileInfo info(m_fileName);
    const Stamp stamp{info.exists() ? info.size() : -1, info.lastModified()};
    if (stamp != m_stamp) {
        m_document = IniDocument::load(m_fileName);
        m_stamp = stamp;
    }
    return m_document;
}

QString IniReader::readString(const QString& section, const QString& key,
                              const QString& defaultValue) const {
    return document().value(section, key).value_or(defaultValue);
}

QStringList IniReader::keys(const QString& section) const {
    return document().keys(section);
}

} // namespace store
