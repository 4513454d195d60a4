#include "cli/receipt_import.h"

#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "cli/csv.h"
#include "data/qdm_data_module.h"
#include "host/receipt_posting.h"

#include <algorithm>
#include <map>

namespace cli {

namespace {

enum Column {
    Tip,
    Numar,
    Data,
    CodGestiune,
    CodGrupa,
    CodArticol,
    Cantitate,
    Pret,
    Furnizor,
    Explicatie,
    Lot,
    Tva,
    ColumnCount
};
constexpr int kRequired = Furnizor;

const QStringList kColumns = {QStringLiteral("Tip"),       QStringLiteral("Numar"),
                              QStringLiteral("Data"),      QStringLiteral("Cod_gestiune"),
                              QStringLiteral("Cod_grupa"), QStringLiteral("Cod_articol"),
                              QStringLiteral("Cantitate"), QStringLiteral("Pret_achizitie_lei"),
                              QStringLiteral("Furnizor"),  QStringLiteral("Explicatie"),
                              QStringLiteral("Lot"),       QStringLiteral("TVA")};

// The position of each column in the file (-1 for an optional column left out).
QList<int> readHeader(const CsvRecord& header) {
    QList<int> position(ColumnCount, -1);
    for (qsizetype i = 0; i < header.fields.size(); ++i) {
        const QString name = header.fields[i].trimmed();
        const auto found = std::find_if(kColumns.begin(), kColumns.end(), [&](const QString& c) {
            return c.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (found == kColumns.end())
            refuse(QStringLiteral("Antetul fișierului are coloana necunoscută «%1» (coloanele "
                                  "primite: %2).")
                       .arg(name, kColumns.join(QLatin1Char(','))));
        const int column = int(found - kColumns.begin());
        if (position[column] >= 0)
            refuse(QStringLiteral("Antetul fișierului are de două ori coloana %1.")
                       .arg(kColumns[column]));
        position[column] = int(i);
    }
    QStringList missing;
    for (int c = 0; c < kRequired; ++c)
        if (position[c] < 0)
            missing << kColumns[c];
    if (!missing.isEmpty())
        refuse(QStringLiteral("Antetul fișierului nu are coloanele %1 (coloanele cerute: %2).")
                   .arg(missing.join(QStringLiteral(", ")),
                        kColumns.mid(0, kRequired).join(QLatin1Char(','))));
    return position;
}

// One receipt of the file: what the receipt book is given, and the file line of each of its
// lines.
struct FileReceipt {
    receipts::Receipt receipt;
    QList<int> fileLines;
};

QString at(int line) {
    return QStringLiteral("linia %1: ").arg(line);
}

// The receipt a line belongs to: its type and number as the book reads them, so that "102" and
// "102,0" are one receipt; a number that does not read keeps its text.
QString receiptKey(const QString& type, const QString& number) {
    double value = 0;
    const QString n = receipts::parseNumber(number.trimmed(), value)
                          ? QString::number(value, 'f', 0)
                          : number.trimmed();
    return type.trimmed().toUpper() + QLatin1Char('\n') + n;
}

QString describe(const receipts::Receipt& r) {
    return QStringLiteral("%1 %2").arg(r.type.trimmed().toUpper(), r.number.trimmed());
}

} // namespace

QStringList receiptImportColumns() {
    return kColumns;
}

ReceiptImportOutcome importReceipts(BatchCompany& company, const QList<CsvRecord>& records,
                                    bool dryRun) {
    if (records.isEmpty())
        refuse(QStringLiteral("Fișierul este gol: lipsește rândul de antet (%1).")
                   .arg(kColumns.mid(0, kRequired).join(QLatin1Char(','))));
    const QList<int> position = readHeader(records.first());
    const qsizetype width = records.first().fields.size();

    ReceiptImportOutcome outcome;
    QList<std::pair<int, QString>> refused;
    QList<FileReceipt> file;
    std::map<QString, qsizetype> byKey;
    for (qsizetype r = 1; r < records.size(); ++r) {
        const CsvRecord& rec = records[r];
        if (rec.fields.size() > width &&
            std::any_of(rec.fields.begin() + width, rec.fields.end(),
                        [](const QString& f) { return !f.trimmed().isEmpty(); })) {
            refused << std::pair{rec.line,
                                 at(rec.line) + QStringLiteral("are mai multe câmpuri (%1) decât "
                                                               "antetul (%2)")
                                                    .arg(rec.fields.size())
                                                    .arg(width)};
            continue;
        }
        auto value = [&](Column c) {
            return position[c] < 0 ? QString() : rec.fields.value(position[c]).trimmed();
        };
        ++outcome.lines;
        const QString key = receiptKey(value(Tip), value(Numar));
        auto found = byKey.find(key);
        if (found == byKey.end()) {
            FileReceipt fr;
            fr.receipt.type = value(Tip);
            fr.receipt.number = value(Numar);
            fr.receipt.date = value(Data);
            fr.receipt.supplier = value(Furnizor);
            fr.receipt.explanation = value(Explicatie);
            found = byKey.emplace(key, file.size()).first;
            file << fr;
        } else {
            // The receipt's own columns are the same on each of its lines.
            const FileReceipt& fr = file[found->second];
            const std::pair<Column, QString> header[] = {{Data, fr.receipt.date},
                                                         {Furnizor, fr.receipt.supplier},
                                                         {Explicatie, fr.receipt.explanation}};
            bool same = true;
            for (const auto& [column, first] : header)
                if (value(column) != first) {
                    refused << std::pair{
                        rec.line,
                        at(rec.line) +
                            QStringLiteral("%1 «%2» diferă de cea a documentului %3 de pe linia "
                                           "%4 («%5»)")
                                .arg(kColumns[column], value(column), describe(fr.receipt))
                                .arg(fr.fileLines.first())
                                .arg(first)};
                    same = false;
                }
            if (!same)
                continue;
        }
        FileReceipt& fr = file[found->second];
        fr.receipt.lines << receipts::ReceiptLine{
            value(CodGrupa),  value(CodArticol), value(CodGestiune), value(Lot),
            value(Cantitate), value(Pret),       value(Tva)};
        fr.fileLines << rec.line;
        if (fr.receipt.lines.last().isBlank())
            refused << std::pair{rec.line, at(rec.line) + QStringLiteral("linia nu are date")};
    }
    if (file.isEmpty() && refused.isEmpty())
        refuse(QStringLiteral("Fișierul nu are nicio linie de document după antet."));

    // A refusal of the book names a line of the receipt (from 1) or its header (0).
    auto place = [](const FileReceipt& fr, const receipts::Refusal& r) {
        const int line = r.line > 0 && r.line <= fr.fileLines.size() ? fr.fileLines[r.line - 1]
                                                                     : fr.fileLines.first();
        const QString where = r.line > 0 ? QString() : describe(fr.receipt) + QStringLiteral(": ");
        return std::pair{line, at(line) + where + r.reason};
    };
    db::Database& database = company.dataModule().GhostDB;
    receipts::ReceiptBook book(database);
    for (const FileReceipt& fr : file)
        for (const receipts::Refusal& r : book.check(fr.receipt))
            refused << place(fr, r);

    if (refused.isEmpty()) {
        // Every receipt or none: the book's own transactions nest in this one.
        database.startTransaction();
        try {
            for (const FileReceipt& fr : file) {
                double counter = 0;
                try {
                    counter = book.post(fr.receipt);
                } catch (const receipts::ReceiptRefused& e) {
                    for (const receipts::Refusal& r : e.refusals())
                        refused << place(fr, r);
                    break;
                }
                double number = 0;
                receipts::parseNumber(fr.receipt.number.trimmed(), number);
                outcome.receipts << ImportedReceipt{fr.receipt.type.trimmed().toUpper(), number,
                                                    dryRun ? 0 : counter,
                                                    int(fr.receipt.lines.size())};
            }
        } catch (...) {
            database.rollback();
            throw;
        }
        if (dryRun || !refused.isEmpty())
            database.rollback();
        else
            database.commit();
    }
    std::stable_sort(refused.begin(), refused.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& r : refused)
        outcome.refused << r.second;
    if (!outcome.refused.isEmpty())
        outcome.receipts.clear();
    return outcome;
}

} // namespace cli
