#pragma once
// Goods receipts from a CSV file: one line per receipt line, the receipt's own columns (type,
// number, date, supplier, explanation) repeated on each of its lines; the lines of one type and
// number make one receipt. Checked and posted by the same receipt book as the receipts window.
#include <QList>
#include <QString>
#include <QStringList>

namespace cli {

class BatchCompany;
struct CsvRecord;

// The columns: the required ones first, then the optional ones (Furnizor, Explicatie, Lot, TVA;
// an empty VAT is computed from the article's rate).
QStringList receiptImportColumns();

struct ImportedReceipt {
    QString type;
    double number = 0;
    double counter = 0; // the counter it was posted under (0 on a dry run)
    int lines = 0;
};

struct ReceiptImportOutcome {
    QList<ImportedReceipt> receipts;
    int lines = 0;
    QStringList refused; // "linia N: reason", in file order; empty when every line passed
};

// Checks every receipt of the file, then posts them all in one transaction: with any refused
// line, or with dryRun, nothing is written. A file whose header lacks a required column or
// names an unknown one is refused (CommandError). Database failures raise db's errors.
ReceiptImportOutcome importReceipts(BatchCompany& company, const QList<CsvRecord>& records,
                                    bool dryRun);

} // namespace cli
