#include "cli/csv.h"

#include "cli/command_error.h"
#include "company/company_directory.h"

#include <QFile>
#include <QStringDecoder>

namespace cli {

QString csvLine(const QStringList& fields, QChar separator) {
    QStringList out;
    for (const QString& f : fields) {
        // Quoted also where a reader would change the field: blanks at its ends are trimmed
        // from unquoted fields, a ';' or ',' on a first line may be taken for the separator,
        // and a byte-order mark at the start of the file is dropped.
        if (f.contains(separator) || f.contains(QLatin1Char('"')) ||
            f.contains(QLatin1Char('\n')) || f.contains(QLatin1Char('\r')) ||
            f.contains(QLatin1Char(',')) || f.contains(QLatin1Char(';')) || f.trimmed() != f ||
            f.startsWith(QChar(0xFEFF))) {
            QString quoted = f;
            quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
            out << QLatin1Char('"') + quoted + QLatin1Char('"');
        } else {
            out << f;
        }
    }
    return out.join(separator);
}

namespace {

QChar detectSeparator(const QString& text) {
    bool quoted = false;
    bool semicolon = false;
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(','))
            return QLatin1Char(',');
        else if (!quoted && c == QLatin1Char(';'))
            semicolon = true;
    }
    return semicolon ? QLatin1Char(';') : QLatin1Char(',');
}

} // namespace

QList<CsvRecord> parseCsv(const QString& input) {
    QString text = input;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QChar separator = detectSeparator(text);
    QList<CsvRecord> records;
    CsvRecord current;
    QString field;
    bool quoted = false;
    bool fieldWasQuoted = false;
    int line = 1;
    int quoteLine = 0;
    current.line = 1;
    auto endField = [&] {
        current.fields << (fieldWasQuoted ? field : field.trimmed());
        field.clear();
        fieldWasQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        const bool blank = current.fields.size() == 1 && current.fields.first().isEmpty();
        if (!blank)
            records << current;
        current = CsvRecord();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && field.trimmed().isEmpty()) {
            field.clear();
            quoted = true;
            fieldWasQuoted = true;
            quoteLine = line;
        } else if (c == separator) {
            endField();
        } else if (c == QLatin1Char('\r')) {
            continue;
        } else if (c == QLatin1Char('\n')) {
            endRecord();
            ++line;
            current.line = line;
        } else {
            field += c;
        }
    }
    if (quoted)
        refuse(QStringLiteral(
                   "Linia %1: ghilimele deschise și neînchise până la sfârșitul fișierului.")
                   .arg(quoteLine));
    if (!field.isEmpty() || !current.fields.isEmpty() || fieldWasQuoted)
        endRecord();
    return records;
}

QList<CsvRecord> readCsvFile(const QString& name) {
    QString fileName;
    try {
        fileName = company::checkedPath(name);
    } catch (const company::CompanyRefused& e) {
        refuse(e.message());
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        refuse(
            QStringLiteral("Fișierul %1 nu poate fi citit: %2").arg(fileName, file.errorString()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(file.readAll());
    if (utf8.hasError())
        refuse(QStringLiteral("Fișierul %1 nu este text UTF-8.").arg(fileName));
    return parseCsv(text);
}

} // namespace cli
