#pragma once
// Comma-separated values as spreadsheets write them: fields quoted when they hold a separator,
// a quote or a line break or begin or end with blanks, quotes doubled inside quotes; what one
// line writes, the parser reads back field for field.
#include <QList>
#include <QString>
#include <QStringList>

namespace cli {

// One line of fields, quoted where needed.
QString csvLine(const QStringList& fields, QChar separator);

// A parsed file: its records with the number of the line each starts on (1 for the first).
struct CsvRecord {
    int line = 0;
    QStringList fields;
};

// Parses text (UTF-8 already decoded). The separator is ';' when the first line holds a ';'
// outside quotes and no ',' (as spreadsheets with a decimal comma save), ',' otherwise.
// Blank lines are skipped. An unterminated quote refuses the file (CommandError).
QList<CsvRecord> parseCsv(const QString& text);

// Reads and parses a UTF-8 file; a file that cannot be read or is not UTF-8 is refused
// (CommandError) naming it.
QList<CsvRecord> readCsvFile(const QString& fileName);

} // namespace cli
