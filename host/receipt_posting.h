#pragma once
// Goods receipts entered by hand or read from a file, checked against the company and posted
// to its tables: the header (Doc_in), the lines (Item_in) and the stock (Stoc) they bring in,
// with the receipt counter taken from COUNTER.DB ("NewCounterIn"). Widget-free: the receipts
// window and the command line share it.
//
// A receipt is kept as it was typed (numbers and the date as text), so that every refusal can
// quote what was wrong. Every write runs as one transaction of the company database that takes
// its write lock first and re-reads the counter and the stock inside it: it is all written or
// nothing is, and two users posting at once get distinct counters.
#include "platform/base/errors.h"

#include <QDate>
#include <QList>
#include <QString>

namespace db {
class Database;
}

namespace receipts {

// The two kinds of receipt: a purchase from a supplier and finished products handed over by
// a production section.
inline const QString kPurchase = QStringLiteral("NIR");
inline const QString kProduction = QStringLiteral("BPF");

// One line as typed. Numbers take a decimal point or a decimal comma, without thousands
// separators. An empty VAT is computed from the article's VAT rate in the catalog.
struct ReceiptLine {
    QString group;     // Cod_grupa
    QString article;   // Cod_articol
    QString warehouse; // Cod_gestiune
    QString lot;
    QString quantity;
    QString price; // purchase price in lei, per unit
    QString vat;   // the line's VAT in lei

    bool isBlank() const;
};

struct Receipt {
    QString type;   // kPurchase or kProduction
    QString number; // a whole number
    QString date;   // in the short date format in force, or YYYY-MM-DD
    QString supplier;
    QString explanation;
    QList<ReceiptLine> lines; // blank lines are left out
};

// Why a receipt cannot be posted. line is the 1-based position in Receipt::lines, 0 for the
// header.
struct Refusal {
    int line = 0;
    QString reason;

    // "linia 2: ..." for a line, the reason alone for the header.
    QString text() const;
    bool operator==(const Refusal&) const = default;
};

// The receipt was refused; nothing was written. message() lists every refusal, one a line.
class ReceiptRefused : public base::Error {
public:
    explicit ReceiptRefused(QList<Refusal> refusals);
    const QList<Refusal>& refusals() const { return m_refusals; }

private:
    QList<Refusal> m_refusals;
};

// A number as a person or a spreadsheet writes it: decimal point or decimal comma.
bool parseNumber(const QString& text, double& value);
// A date in the short date format in force, or YYYY-MM-DD; false for anything else, and for a
// date that does not exist.
bool parseDate(const QString& text, QDate& value);

// The receipts of one company database (the database a window or command already uses, so
// that what it shows and what is posted go through one connection).
class ReceiptBook {
public:
    explicit ReceiptBook(db::Database& database);

    // Every refusal of the receipt, in line order (the header first): type, number, date,
    // texts outside code page 1250 or too long for their field, a receipt of the same type and
    // number already posted (other than `counter`, the receipt being corrected), no lines; per
    // line an article not in the catalog, a missing warehouse, a quantity that is missing, not a
    // number, zero, or negative on a purchase, a price that is missing, not a number or below
    // zero, a VAT that is not a number. Reads only.
    QList<Refusal> check(const Receipt& receipt, double counter = 0);

    // Posts a new receipt: takes the next receipt counter, writes the header and the lines
    // (numbered from 1, with the article's accounts from the catalog) and adds each line's
    // quantity to the stock record of the same warehouse, group, article, lot and price, or
    // creates that record. Answers the new counter. Throws ReceiptRefused (the check's
    // refusals, or a production return larger than its stock record) or base::DatabaseError,
    // with nothing written.
    double post(const Receipt& receipt);

    // Replaces the posted receipt `counter` with `receipt`: its stock is reversed and the new
    // state written, in one transaction. Refused, with nothing written, when a stock record
    // would have to give back more than it holds (its stock was consumed since): the refusal
    // names the article and the quantity missing.
    void correct(double counter, const Receipt& receipt);

    // Deletes the posted receipt `counter`, its lines and the stock they brought, under the
    // same refusal as correct().
    void remove(double counter);

    // The posted receipt as the editor shows it (numbers in the general format with the
    // separator in force, the date in the short date format). Throws base::Error when there
    // is no receipt with that counter.
    Receipt load(double counter);

private:
    db::Database& m_database;
};

} // namespace receipts
