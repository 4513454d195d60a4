#pragma once
// A company's Paradox tables brought into a new company of the engine: every table of the host
// and of the add-ons found in a directory, its fields matched by name (letter case ignored)
// onto the company's tables as the host declares them, every value converted without loss, and
// the whole company written in one transaction: all of it or nothing.
//
// Without loss means: texts from code page 1250 as they are (a text of blanks only becomes
// empty, as the engine stores an empty text), numbers and money bit for bit, whole numbers,
// calendar dates, logicals. What cannot be taken so is refused and listed: a value that does
// not fit its field (a text wider than the field, a date outside the calendar, a byte that is no
// character, a value of another type), a second record with a key already taken (both records
// named), a field the company's table does not have, a file that is not a sound Paradox table.
// A refusal writes nothing, unless the caller accepts the refusals: the rest is then written,
// and the report is written beside the company.
//
// A table missing from the directory is created empty and reported; so is a field of the
// company's table that the file lacks (it stays empty). "KRVDEF.INI" is copied as it is.
#include "platform/db/field_type.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <string>

namespace paradox {

// The import cannot start: no source directory, a company already where the new one goes.
class ImportRefused : public std::exception {
public:
    explicit ImportRefused(QString message);
    const char* what() const noexcept override { return m_utf8.c_str(); }
    const QString& message() const { return m_message; }

private:
    QString m_message;
    std::string m_utf8;
};

// The progress callback answered false: nothing was written.
class ImportCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "Import cancelled"; }
};

// The file names of the tables the import looks for, in the order it reads them.
QStringList importedTableNames();

struct ImportRequest {
    QString sourceDirectory;
    // The new company's directory: made when missing, refused when it holds anything.
    QString companyDirectory;
    // A server alias ("postgres:... schema=..."): the tables go there, and the directory names
    // the server in its server.location file. Empty: the tables go in the directory.
    QString server;
    // Read, convert and check everything, write nothing.
    bool dryRun = false;
    // Write what was not refused, and the report beside the company.
    bool acceptRefused = false;
    // The tables the add-ons register; "Reteta.DB" as the production add-on declares it when
    // they do not name it.
    QList<db::TableDef> addOnTables;
    // Hears the work as it goes (a table's name, records done, records of the table); answers
    // false to stop, and then nothing is written.
    std::function<bool(const QString& table, qint64 done, qint64 total)> progress;
};

struct TableSummary {
    QString table; // the company's table ("Stoc.DB")
    QString file;  // the file it was read from; empty when the directory has none
    qint64 read = 0;
    qint64 written = 0;
    qint64 refused = 0; // records left out
};

struct ImportOutcome {
    QList<TableSummary> tables;
    QStringList notes;    // reported, not refused: missing tables and fields, files not read
    QStringList refused;  // refused values, records, fields and files, in table order
    bool written = false; // the company was written
    QString reportFile;   // the report beside the company, when one was written
};

// Runs the import. Throws ImportRefused when it cannot start, ImportCancelled when stopped,
// and the engine's errors on a database failure; in every such case, and whenever the outcome
// is not written, no company is left behind (the directory is removed when the import made
// it, else emptied again).
ImportOutcome importCompany(const ImportRequest& request);

// The summary per table, one line each under a heading, in columns for a fixed-width font.
QString summaryTable(const ImportOutcome& outcome);

// The report for a person: a summary per table, the notes and the refusals.
QString reportText(const ImportRequest& request, const ImportOutcome& outcome);

// Where the report of a company goes: beside its directory, "<directory>-import-paradox.txt".
QString reportFileFor(const QString& companyDirectory);

} // namespace paradox
