// The settings-file reader and writer ("KRVDEF.INI", the host's settings file). The input is a
// file's bytes, optionally followed by a NUL and then a section, a key and a value separated by
// NULs (UTF-8). Rules: a file reads back byte for byte; a value set is either refused, leaving
// the file as it was, or reads back (trimmed of blanks and with ș ț as the code page stores them)
// from the document and from its bytes loaded again, and no other key of the section changes.
#include "platform/base/cp1250.h"
#include "platform/base/errors.h"
#include "platform/store/ini_document.h"
#include "tests/fuzz/fuzz_check.h"

#include <QHash>

namespace {

QString trimmedBlanks(QString text) {
    while (!text.isEmpty() &&
           (text.front() == QLatin1Char(' ') || text.front() == QLatin1Char('\t')))
        text.remove(0, 1);
    while (!text.isEmpty() && (text.back() == QLatin1Char(' ') || text.back() == QLatin1Char('\t')))
        text.chop(1);
    return text;
}

// The value of every key of the section but one, by upper-case name (the first of a name wins).
QHash<QString, QString> otherValues(const store::IniDocument& doc, const QString& section,
                                    const QString& except) {
    QHash<QString, QString> out;
    for (const QString& key : doc.keys(section))
        if (key.compare(base::cp1250::normalize(trimmedBlanks(except)), Qt::CaseInsensitive) != 0 &&
            !out.contains(key.toUpper()))
            out.insert(key.toUpper(), doc.value(section, key).value_or(QStringLiteral("<none>")));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input = fuzz::bytes(data, size);
    const qsizetype cut = input.indexOf('\0');
    const QByteArray file = cut < 0 ? input : input.left(cut);
    store::IniDocument doc(file);
    FUZZ_CHECK(doc.bytes() == file, QString::fromLatin1(file.toPercentEncoding()));
    if (cut < 0)
        return 0;

    const QList<QByteArray> parts = input.mid(cut + 1).split('\0');
    const QString section = QString::fromUtf8(parts.value(0));
    const QString key = QString::fromUtf8(parts.value(1));
    const QString value = QString::fromUtf8(parts.value(2));
    const QString what = section + QLatin1Char('|') + key + QLatin1Char('|') + value;
    const QHash<QString, QString> before = otherValues(doc, section, key);
    try {
        doc.setValue(section, key, value);
    } catch (const base::ConversionError&) {
        FUZZ_CHECK(doc.bytes() == file, what);
        return 0;
    }
    const QString expected = trimmedBlanks(base::cp1250::normalize(value));
    FUZZ_CHECK(doc.value(section, key) == expected, what);
    const store::IniDocument reloaded(doc.bytes());
    FUZZ_CHECK(reloaded.value(section, key) == expected, what);
    FUZZ_CHECK(otherValues(reloaded, section, key) == before, what);
    return 0;
}
