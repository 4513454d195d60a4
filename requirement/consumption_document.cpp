#include "requirement/consumption_document.h"

#include "requirement/consumption_register.h"
#include "requirement/consumption_trace.h"
#include "requirement/recipe_issue.h"
#include "requirement/requirement_build.h"

#include "data/qdm_data_module.h"
#include "platform/base/date_text.h"
#include "platform/base/errors.h"
#include "platform/base/float_text.h"
#include "platform/db/controls_disabled.h"
#include "platform/db/table.h"

#include <QHash>
#include <QSet>

#include <cmath>
#include <vector>

namespace requirement {

namespace {

// Quantities come from received x recipe / batch and are rarely exact: a quantity within this
// of nothing is rounding, not something anyone could issue or keep on a shelf.
constexpr double kExhaustedTolerance = 0.000001;

bool isNothing(double quantity) {
    return std::fabs(quantity) <= kExhaustedTolerance;
}

const QString kDocumentType = QStringLiteral("BMC");

// The catalog fields a consumption line copies from its material.
const char* const kAccounts[] = {"Cont_marfa",  "Cont_TVA_Iesiri", "Cont_cheltuieli",
                                 "Cont_accize", "Cont_adaos",      "Cont_venituri"};
constexpr int kAccountCount = 6;

// A line's final stock as the requirement sheet works it out: the stock on hand less the
// quantity required, in hundredths, halves to the even neighbour (nearbyint's default).
double finalStock(double onHand, double required) {
    return std::nearbyint((onHand - required) * 100) / 100;
}

QString lineKey(const QString& group, const QString& code) {
    return group + QLatin1Char('\n') + code;
}

// The generation inside the transaction. The requirement lines are read first, then the stock
// records and catalog records of all their materials, each with one statement that keeps the
// stock records from other users until the transaction ends; the lines are then issued one
// after the other from those records, which are kept as they are written, so that a material
// met twice is taken from what its first line left.
class Generation {
public:
    // leftOut: the lines ("group\ncode") whose final stock was below 0 when the generation was
    // asked for, which the user agreed to leave out of the document.
    Generation(TQDMDataModule& dm, const QDate& date, QSet<QString> leftOut)
        : m_dm(dm), m_date(date), m_leftOut(std::move(leftOut)) {}

    GenerationResult run() {
        m_result = GenerationResult();
        m_trace.clear();
        // The receipt is read inside the transaction: a header deleted meanwhile refuses the
        // document instead of citing whatever record the dataset stands on.
        const double receipt = requirementReceipt(m_dm);
        if (!m_dm.DocInTable.isActive())
            m_dm.DocInTable.open();
        m_dm.DocInTable.refresh();
        if (!m_dm.DocInTable.findKey({receipt}))
            throw GenerationRefused(
                QStringLiteral("Documentul de intrare cu contorul %1 nu mai există; documentul "
                               "de consum nu a fost generat și nu s-a scris nimic.")
                    .arg(base::formatFloatGeneral(receipt)));
        takeCounter();
        writeHeader();
        ensureConsumptionRegister(m_dm.GhostDB);
        registerConsumption(m_dm.GhostDB, {receipt, m_result.counter, m_date});
        // A stock record being edited is written first, inside the transaction, as a search of
        // the stock table would write it.
        m_dm.StocTable.checkBrowseMode();
        resolveFields();
        readLines();
        readAccounts();
        m_lineNumber = 1;
        issueLines();
        m_result.lineCount = m_lineNumber - 1;
        ensureConsumptionTrace(m_dm.GhostDB);
        writeConsumptionTrace(m_dm.GhostDB, m_result.counter, m_trace);
        writeRecipeBesideIssue(m_dm, m_result.counter, m_date);
        return m_result;
    }

private:
    struct Line {
        QString group;
        QString code;
        double quantity = 0;
        int list = -1; // its material in the lists read; -1 when the line takes no stock
    };

    // The fields read and written for every line, looked up once.
    struct StockFields {
        db::Field *warehouse, *group, *price, *lot, *agent, *quantity;
    };
    struct OutFields {
        db::Field *counter, *number, *code, *group, *warehouse, *quantity, *price, *salePrice,
            *usdPrice, *vat, *lot, *agent;
        db::Field* accounts[kAccountCount];
    };

    void resolveFields() {
        db::Table& stoc = m_dm.StocTable;
        auto s = [&](const char* name) { return stoc.fieldByName(QString::fromLatin1(name)); };
        m_stockFields = {s("Cod_gestiune"), s("Cod_grupa"), s("Pret_achizitie"),
                         s("Lot"),          s("Agent"),     s("Cantitate")};
        db::Table& item = m_dm.ItemOutTable;
        auto o = [&](const char* name) { return item.fieldByName(QString::fromLatin1(name)); };
        m_out = {o("Contor"),
                 o("Contor_secundar"),
                 o("Cod_articol"),
                 o("Cod_grupa"),
                 o("Cod_gestiune"),
                 o("Cantitate"),
                 o("Pret_achizitie"),
                 o("Pret_vinzare"),
                 o("Pret_vz_echiv_USD"),
                 o("TVA"),
                 o("Lot"),
                 o("Agent"),
                 {}};
        for (int i = 0; i < kAccountCount; ++i)
            m_out.accounts[i] = o(kAccounts[i]);
        db::Table& catalog = m_dm.CatalogTable1;
        for (int i = 0; i < kAccountCount; ++i)
            m_catalogAccounts[i] = catalog.fieldByName(QString::fromLatin1(kAccounts[i]));
    }

    // The requirement lines in the table's order, read as stored: the figures the sheet shows
    // beside them are not needed here.
    void readLines() {
        m_lines.clear();
        db::Table& req = m_dm.TempTable;
        for (db::RecordBuffer& rec : req.readStored()) {
            Line line;
            req.withRecordAsRead(rec, [&] {
                line.group = m_dm.TempTableCod_grupa->asString();
                line.code = m_dm.TempTableCod_MatPrim->asString();
                line.quantity = m_dm.TempTableCant->asFloat();
            });
            m_lines << line;
        }
    }

    // The catalog record of the material of every line that takes stock, with one statement;
    // each such line gets its list of values (group and code) for the reads.
    void readAccounts() {
        m_lists.clear();
        m_lineOfList.clear();
        for (int i = 0; i < m_lines.size(); ++i) {
            Line& line = m_lines[i];
            if (isNothing(line.quantity) || m_leftOut.contains(lineKey(line.group, line.code)))
                continue;
            line.list = int(m_lists.size());
            m_lists << QVariantList{line.group, line.code};
            m_lineOfList << i;
        }
        m_accounts.assign(size_t(m_lists.size()), QVariantList());
        m_dm.CatalogTable1.visitMatching(
            QStringLiteral("Grupa;Cod"), m_lists, [&](int list, db::RecordBuffer& rec) {
                // The first catalog record, as a lookup answers it.
                for (db::Field* f : m_catalogAccounts)
                    m_accounts[size_t(list)] << rec.values.value(f->index());
                return false;
            });
    }

    // The counters record is read again inside the transaction, so a counter taken by another
    // user meanwhile is seen; the write lock held until commit keeps it from being taken twice.
    void takeCounter() {
        db::Table& counters = m_dm.CounterTable;
        try {
            if (!counters.isActive())
                counters.open();
            counters.first();
            counters.edit();
            db::Field* f = m_dm.CounterTableNewCounterOut;
            f->setAsFloat(f->asFloat() + 1);
            m_result.counter = f->asFloat();
            counters.post();
        } catch (...) {
            if (counters.isActive())
                counters.cancel();
            counters.close();
            throw;
        }
        counters.cancel();
        counters.close();
    }

    void writeHeader() {
        db::Table& in = m_dm.DocInTable;
        const double number = in.fieldByName(QStringLiteral("Numar"))->asFloat();
        const QVariant numberValue = in.fieldByName(QStringLiteral("Numar"))->value();
        const QString receiptType = in.fieldByName(QStringLiteral("Tip"))->asString();
        const QDate receiptDate = in.fieldByName(QStringLiteral("Data"))->asDate();

        db::Table& doc = m_dm.DocOutTable;
        doc.append();
        doc.fieldByName(QStringLiteral("Contor"))->setAsFloat(m_result.counter);
        doc.fieldByName(QStringLiteral("Data_inregistrarii"))->setAsDate(m_date);
        doc.fieldByName(QStringLiteral("Numar"))->setValue(numberValue);
        doc.fieldByName(QStringLiteral("Tip"))->setAsString(kDocumentType);
        doc.fieldByName(QStringLiteral("Data"))->setAsDate(m_date);
        doc.fieldByName(QStringLiteral("Explicatie"))
            ->setAsString(QStringLiteral("Consum coresp. %1 %2/%3")
                              .arg(receiptType, base::formatFloatGeneral(number),
                                   base::dateToText(receiptDate)));
        doc.post();
    }

    void notIssued(const Line& line, double quantity, NotIssued::Reason reason) {
        m_result.notIssued << NotIssued{line.group, line.code, quantity, reason};
    }

    // Where the line being issued stands.
    struct Issue {
        int line = -1;
        bool seen = false;      // a stock record of its material was met
        bool spreading = false; // its first record held too little: taken over several
        bool done = false;      // it wants no more records
        double remaining = 0;   // what is still to be taken while spreading
    };

    // The stock records of all lines are read with one statement and handed over material after
    // material, in line order; lines without stock records are issued in their turn between.
    void issueLines() {
        m_next = 0;
        m_issue = Issue();
        m_dm.StocTable.visitMatching(QStringLiteral("Cod_grupa;Cod_articol"), m_lists,
                                     [&](int list, db::RecordBuffer& rec) {
                                         const int line = m_lineOfList[list];
                                         if (m_issue.line != line) {
                                             finishLine();
                                             issueUpTo(line);
                                             m_issue = Issue();
                                             m_issue.line = line;
                                             m_next = line + 1;
                                         }
                                         return !m_issue.done && take(m_lines[line], rec);
                                     });
        finishLine();
        issueUpTo(int(m_lines.size()));
    }

    // The lines before `end` that no stock record was handed over for.
    void issueUpTo(int end) {
        for (; m_next < end; ++m_next) {
            const Line& line = m_lines[m_next];
            if (isNothing(line.quantity))
                continue;
            // A line whose final stock went below 0 only since then (another user took the
            // stock meanwhile) is issued as far as the stock, re-read inside the transaction,
            // allows; one the user agreed to leave out is not.
            if (line.list < 0)
                notIssued(line, line.quantity, NotIssued::Reason::FinalStockNegative);
            else
                notIssued(line, line.quantity, NotIssued::Reason::NoStock);
        }
    }

    void finishLine() {
        if (m_issue.line < 0)
            return;
        const Line& line = m_lines[m_issue.line];
        if (!m_issue.seen)
            notIssued(line, line.quantity, NotIssued::Reason::NoStock);
        else if (m_issue.spreading && m_issue.remaining > kExhaustedTolerance)
            notIssued(line, m_issue.remaining, NotIssued::Reason::StockRanOut);
        m_issue.line = -1;
    }

    // One stock record of the line's material, in key order; answers whether the line wants the
    // next one. The first record decides: it holds enough and gives one document line, or the
    // material's records are emptied one after the other, in key order, until the quantity is
    // covered; records holding nothing (or less) are passed over.
    bool take(const Line& line, db::RecordBuffer& rec) {
        // A record an earlier line of the same material took from is as that line left it.
        if (m_deleted.contains(rec.id))
            return true;
        if (auto it = m_written.constFind(rec.id); it != m_written.constEnd())
            rec = *it;
        if (!m_issue.seen) {
            m_issue.seen = true;
            if (line.quantity <= held(rec)) {
                takeFromOneRecord(line, rec);
                m_issue.done = true;
                return false;
            }
            // A return larger than the first record's (negative) quantity has no record to go
            // to.
            if (line.quantity < 0) {
                notIssued(line, line.quantity, NotIssued::Reason::Return);
                m_issue.done = true;
                return false;
            }
            m_issue.spreading = true;
            m_issue.remaining = line.quantity;
        }
        const double have = held(rec);
        if (have <= kExhaustedTolerance)
            return true;
        const StockValues from = valuesOf(rec);
        // A record that would keep no more than the tolerance is taken whole, so that what the
        // document issues and what the stock keeps still add up to what it held.
        const double taken =
            have - m_issue.remaining > kExhaustedTolerance ? m_issue.remaining : have;
        m_issue.remaining -= taken;
        trace(line, rec, have, taken == have ? 0 : have - taken, taken == have);
        if (taken == have)
            remove(rec);
        else
            lower(rec, have - taken);
        writeLine(line, taken, from);
        m_issue.done = m_issue.remaining <= kExhaustedTolerance;
        return !m_issue.done;
    }

    struct StockValues {
        QVariant warehouse, group, price, lot, agent;
    };

    StockValues valuesOf(const db::RecordBuffer& rec) const {
        auto v = [&](db::Field* f) { return rec.values.value(f->index()); };
        return {v(m_stockFields.warehouse), v(m_stockFields.group), v(m_stockFields.price),
                v(m_stockFields.lot), v(m_stockFields.agent)};
    }

    double held(const db::RecordBuffer& rec) const {
        const QVariant v = rec.values.value(m_stockFields.quantity->index());
        return v.isNull() ? 0 : v.toDouble();
    }

    // Lowers a stock record to `quantity`, written where it still holds what was read.
    void lower(const db::RecordBuffer& rec, double quantity) {
        db::RecordBuffer changed = rec;
        changed.values[m_stockFields.quantity->index()] =
            m_stockFields.quantity->convert(QVariant(quantity));
        m_dm.StocTable.writeRecord(rec, changed);
        m_written.insert(changed.id, changed);
    }

    void remove(const db::RecordBuffer& rec) {
        m_dm.StocTable.deleteRecord(rec);
        m_written.remove(rec.id);
        m_deleted.insert(rec.id);
    }

    // The first stock record of the material holds enough: one document line, written before
    // the stock record is lowered or deleted.
    void takeFromOneRecord(const Line& line, const db::RecordBuffer& rec) {
        const double quantity = held(rec);
        const bool emptied = std::fabs(quantity - line.quantity) <= kExhaustedTolerance;
        trace(line, rec, quantity, emptied ? 0 : quantity - line.quantity, emptied);
        writeLine(line, line.quantity, valuesOf(rec));
        if (!emptied)
            lower(rec, quantity - line.quantity);
        else
            remove(rec);
    }

    // The stock record the next document line takes from, as it stood before and after, so
    // that a reversal can put it back.
    void trace(const Line& line, const db::RecordBuffer& rec, double before, double after,
               bool deleted) {
        const StockValues s = valuesOf(rec);
        m_trace << TracedLine{m_lineNumber, s.warehouse, s.group, line.code, s.lot,
                              s.price,      s.agent,     before,  after,     deleted};
    }

    void writeLine(const Line& line, double quantity, const StockValues& s) {
        db::Table& item = m_dm.ItemOutTable;
        item.append();
        m_out.counter->setAsFloat(m_result.counter);
        m_out.number->setAsFloat(m_lineNumber);
        m_out.code->setAsString(line.code);
        m_out.group->setValue(s.group);
        m_out.warehouse->setValue(s.warehouse);
        m_out.quantity->setAsFloat(quantity);
        m_out.price->setValue(s.price);
        // Consumption is valued at purchase price.
        m_out.salePrice->setValue(s.price);
        m_out.usdPrice->setAsFloat(0);
        m_out.vat->setAsFloat(0);
        m_out.lot->setValue(s.lot);
        m_out.agent->setValue(s.agent);
        const QVariantList& accounts = m_accounts[size_t(line.list)];
        for (int i = 0; i < kAccountCount; ++i)
            m_out.accounts[i]->setValue(accounts.value(i));
        item.post();
        ++m_lineNumber;
    }

    TQDMDataModule& m_dm;
    QDate m_date;
    QSet<QString> m_leftOut;
    GenerationResult m_result;
    int m_lineNumber = 1;
    StockFields m_stockFields{};
    OutFields m_out{};
    db::Field* m_catalogAccounts[kAccountCount] = {};
    QList<Line> m_lines;
    QList<QVariantList> m_lists;          // group and code of the lines that take stock
    QList<int> m_lineOfList;              // the line of each list
    std::vector<QVariantList> m_accounts; // of each list
    int m_next = 0;                       // the first line not issued yet
    Issue m_issue;
    QHash<qint64, db::RecordBuffer> m_written; // stock records as this generation wrote them
    QSet<qint64> m_deleted;                    // and those it deleted
    QList<TracedLine> m_trace;                 // where each document line took from
};

} // namespace

QSet<QString> negativeRequirementLines(TQDMDataModule& dm) {
    db::Table& req = dm.TempTable;
    QSet<QString> lines;
    if (!req.isActive())
        return lines;
    if (req.state() != db::DataSetState::Browse)
        throw base::DatabaseError(
            QStringLiteral("The requirement lines cannot be read while a line is being edited."),
            base::DatabaseError::Kind::InvalidState);
    // The lines as stored and the stock on hand of all of them with one statement, rather than
    // the sheet's figures line by line: the final stock is worked out as the sheet works it out.
    std::vector<db::RecordBuffer> records = req.readStored();
    QList<QVariantList> keys;
    QList<double> required;
    for (db::RecordBuffer& rec : records)
        req.withRecordAsRead(rec, [&] {
            keys << QVariantList{dm.TempTableCod_grupa->value(), dm.TempTableCod_MatPrim->value()};
            required << dm.TempTableCant->asFloat();
        });
    if (!dm.StocTable.isActive())
        dm.StocTable.open();
    const std::vector<double> onHand = dm.StocTable.sums(
        QStringLiteral("Cantitate"), QStringLiteral("Cod_Grupa;Cod_articol"), keys);
    for (int i = 0; i < keys.size(); ++i)
        if (finalStock(onHand[size_t(i)], required[i]) < 0)
            lines.insert(lineKey(keys[i][0].toString(), keys[i][1].toString()));
    return lines;
}

GenerationResult generateConsumptionDocument(TQDMDataModule& dm, const QDate& date) {
    if (dm.TempTable.isActive())
        dm.TempTable.checkBrowseMode();
    return generateConsumptionDocument(
        dm, date, dm.TempTable.isActive() ? negativeRequirementLines(dm) : QSet<QString>());
}

GenerationResult generateConsumptionDocument(TQDMDataModule& dm, const QDate& date,
                                             const QSet<QString>& leftOut) {
    db::Table& req = dm.TempTable;
    if (!req.isActive())
        throw base::DatabaseError(QStringLiteral("The requirement table is not open."),
                                  base::DatabaseError::Kind::InvalidState);
    req.checkBrowseMode();
    for (db::Table* t : {&dm.StocTable, &dm.CatalogTable1})
        if (!t->isActive())
            t->open();

    const db::Bookmark here = req.bookmark();
    Generation generation(dm, date, leftOut);
    GenerationResult result;
    try {
        dm.DocOutTable.open();
        dm.ItemOutTable.open();
        db::ControlsDisabled quiet(req);
        result = dm.GhostDB.transaction([&] { return generation.run(); });
    } catch (...) {
        // The transaction is rolled back: abandon what was being written. A failure while
        // tidying up must not hide the one that ended the generation.
        try {
            if (dm.StocTable.isActive()) {
                dm.StocTable.cancel();
                dm.StocTable.refresh();
            }
            dm.DocOutTable.close();
            dm.ItemOutTable.close();
            if (req.isActive() && req.bookmarkValid(here))
                req.gotoBookmark(here);
        } catch (...) {
        }
        throw;
    }
    dm.DocOutTable.close();
    dm.ItemOutTable.close();
    // The stock records were written without moving the stock table: it shows them as stored.
    dm.StocTable.refresh();
    if (req.bookmarkValid(here))
        req.gotoBookmark(here);
    return result;
}

} // namespace requirement
