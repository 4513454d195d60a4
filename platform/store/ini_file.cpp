#include "platform/store/ini_file.h"

#include "platform/store/file_update.h"
#include "platform/store/ini_document.h"

namespace store {

QString readIniString(const QString& fileName, const QString& section, const QString& key,
                      const QString& defaultValue) {
    return IniDocument::load(fileName).value(section, key).value_or(defaultValue);
}

QStringList readIniKeys(const QString& fileName, const QString& section) {
    return IniDocument::load(fileName).keys(section);
}

void writeIniString(const QString& fileName, const QString& section, const QString& key,
                    const QString& value) {
    updateFile(fileName, [&](const std::optional<QByteArray>& old) -> std::optional<QByteArray> {
        IniDocument document(old.value_or(QByteArray()));
        document.setValue(section, key, value);
        return document.bytes();
    });
}

} // namespace store
