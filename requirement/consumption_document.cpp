#include "requirement/consumption_document.h"

#include "requirement/consumption_register.h"
#include "requirement/requirement_build.h"

#include "data/qdm_data_module.h"
#include "platform/base/date_text.h"
#include "platform/base/errors.h"
#include "platform/base/float_text.h"
#include "platform/db/controls_disabled.h"
#include "platform/db/query.h"

#include <QSet>

#include <cmath>

namespace requirement {

namespace {

// Quantities come from received x recipe / batch and are rarely exact: a quantity within this
// of nothing is rounding, not something anyone could issue or keep on a shelf.
constexpr double kExhaustedTolerance = 0.000001;

bool isNothing(double quantity) {
    return std::fabs(quantity) <= kExhaustedTolerance;
}

const QString kDocumentType = QStringLiteral("BMC");
const QString kAccountFields = QStringLiteral(
    "Cont_marfa;Cont_TVA_Iesiri;Cont_cheltuieli;Cont_accize;Cont_adaos;Cont_venituri");

// The stock records of one group and article, in the stock table's key order: the order in
// which a material is taken out of its lots.
const QStringList kMatchingStockSql = {
    QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Lot, Pret_achizitie"),
    QStringLiteral("FROM Stoc"),
    QStringLiteral("WHERE Cod_grupa = :Grupa AND Cod_articol = :Cod"),
    QStringLiteral("ORDER BY Cod_gestiune, Cod_grupa, Cod_articol, Lot, Pret_achizitie, rowid"),
};

QString lineKey(const QString& group, const QString& code) {
    return group + QLatin1Char('\n') + code;
}

// The walk over the requirement table inside the transaction.
class Generation {
public:
    // leftOut: the lines ("group\ncode") whose final stock was below 0 when the generation was
    // asked for, which the user agreed to leave out of the document.
    Generation(TQDMDataModule& dm, const QDate& date, QSet<QString> leftOut)
        : m_dm(dm), m_date(date), m_leftOut(std::move(leftOut)) {
        m_matching.setSession(&dm.GhostDB.session());
        m_matching.setDatabaseName(dm.GhostDB.databaseName());
        m_matching.setSql(kMatchingStockSql);
    }

    GenerationResult run() {
        m_result = GenerationResult();
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
        m_lineNumber = 1;
        db::Table& req = m_dm.TempTable;
        for (req.first(); !req.eof(); req.next())
            issueLine();
        m_result.lineCount = m_lineNumber - 1;
        return m_result;
    }

private:
    struct Line {
        QString group;
        QString code;
        double quantity = 0;
        QVariantList accounts; // the six account fields of the material's catalog record
    };

    db::Field* stock(const char* name) {
        return m_dm.StocTable.fieldByName(QString::fromLatin1(name));
    }
    db::Field* out(const char* name) {
        return m_dm.ItemOutTable.fieldByName(QString::fromLatin1(name));
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

    void issueLine() {
        Line line;
        line.group = m_dm.TempTableCod_grupa->asString();
        line.code = m_dm.TempTableCod_MatPrim->asString();
        line.quantity = m_dm.TempTableCant->asFloat();
        if (isNothing(line.quantity))
            return;
        // A line whose final stock went below 0 only since then (another user took the stock
        // meanwhile) is issued as far as the stock, re-read inside the transaction, allows.
        if (m_leftOut.contains(lineKey(line.group, line.code))) {
            notIssued(line, line.quantity, NotIssued::Reason::FinalStockNegative);
            return;
        }
        db::Table& stoc = m_dm.StocTable;
        if (!stoc.locate(QStringLiteral("Cod_grupa;Cod_articol"), {line.group, line.code})) {
            notIssued(line, line.quantity, NotIssued::Reason::NoStock);
            return;
        }
        const QVariant accounts = m_dm.CatalogTable1.lookup(
            QStringLiteral("Grupa;Cod"), {line.group, line.code}, kAccountFields);
        line.accounts = accounts.toList();
        if (line.quantity <= stock("Cantitate")->asFloat())
            takeFromOneRecord(line);
        else
            spread(line);
    }

    struct StockValues {
        QVariant warehouse, group, price, lot, agent;
    };

    StockValues readStock() {
        return {stock("Cod_gestiune")->value(), stock("Cod_grupa")->value(),
                stock("Pret_achizitie")->value(), stock("Lot")->value(), stock("Agent")->value()};
    }

    // The first stock record of the material holds enough: one document line, written before
    // the stock record is lowered or deleted.
    void takeFromOneRecord(const Line& line) {
        db::Table& stoc = m_dm.StocTable;
        stoc.edit();
        writeLine(line, line.quantity, readStock());
        db::Field* quantity = stock("Cantitate");
        if (std::fabs(quantity->asFloat() - line.quantity) > kExhaustedTolerance) {
            quantity->setAsFloat(quantity->asFloat() - line.quantity);
            stoc.post();
        } else {
            stoc.remove();
        }
    }

    // The first record holds less than the line asks for: the material's records are emptied
    // one after the other, in key order, until the quantity is covered; records holding
    // nothing (or less) are passed over. Each record is re-read as it is taken.
    void spread(const Line& line) {
        // A return larger than the first record's (negative) quantity has no record to go to.
        if (line.quantity < 0) {
            notIssued(line, line.quantity, NotIssued::Reason::Return);
            return;
        }
        m_matching.close();
        m_matching.paramByName(QStringLiteral("Grupa")).setAsString(line.group);
        m_matching.paramByName(QStringLiteral("Cod")).setAsString(line.code);
        m_matching.open();
        QList<QVariantList> keys;
        for (; !m_matching.eof(); m_matching.next()) {
            QVariantList key;
            for (int i = 0; i < m_matching.fieldCount(); ++i)
                key << m_matching.field(i)->value();
            keys << key;
        }
        m_matching.close();

        db::Table& stoc = m_dm.StocTable;
        double remaining = line.quantity;
        for (const QVariantList& key : keys) {
            if (remaining <= kExhaustedTolerance)
                break;
            if (!stoc.findKey(key))
                continue;
            db::Field* quantity = stock("Cantitate");
            const double held = quantity->asFloat();
            if (held <= kExhaustedTolerance)
                continue;
            stoc.edit();
            const StockValues from = readStock();
            // A record that would keep no more than the tolerance is taken whole, so that what
            // the document issues and what the stock keeps still add up to what it held.
            const double taken = held - remaining > kExhaustedTolerance ? remaining : held;
            remaining -= taken;
            if (taken == held) {
                stoc.remove();
            } else {
                quantity->setAsFloat(held - taken);
                stoc.post();
            }
            writeLine(line, taken, from);
        }
        if (remaining > kExhaustedTolerance)
            notIssued(line, remaining, NotIssued::Reason::StockRanOut);
    }

    void writeLine(const Line& line, double quantity, const StockValues& s) {
        db::Table& item = m_dm.ItemOutTable;
        item.append();
        out("Contor")->setAsFloat(m_result.counter);
        out("Contor_secundar")->setAsFloat(m_lineNumber);
        out("Cod_articol")->setAsString(line.code);
        out("Cod_grupa")->setValue(s.group);
        out("Cod_gestiune")->setValue(s.warehouse);
        out("Cantitate")->setAsFloat(quantity);
        out("Pret_achizitie")->setValue(s.price);
        // Consumption is valued at purchase price.
        out("Pret_vinzare")->setValue(s.price);
        out("Pret_vz_echiv_USD")->setAsFloat(0);
        out("TVA")->setAsFloat(0);
        out("Lot")->setValue(s.lot);
        out("Agent")->setValue(s.agent);
        static const char* const kAccounts[] = {"Cont_marfa",  "Cont_TVA_Iesiri", "Cont_cheltuieli",
                                                "Cont_accize", "Cont_adaos",      "Cont_venituri"};
        for (int i = 0; i < 6; ++i)
            out(kAccounts[i])->setValue(line.accounts.value(i));
        item.post();
        ++m_lineNumber;
    }

    TQDMDataModule& m_dm;
    QDate m_date;
    QSet<QString> m_leftOut;
    db::Query m_matching{QStringLiteral("MatchingStock")};
    GenerationResult m_result;
    int m_lineNumber = 1;
};

} // namespace

QSet<QString> negativeRequirementLines(TQDMDataModule& dm) {
    QSet<QString> lines;
    for (const RequirementLine& line : readRequirementLines(dm))
        if (line.finalStock < 0)
            lines.insert(lineKey(line.group, line.code));
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
    if (req.bookmarkValid(here))
        req.gotoBookmark(here);
    return result;
}

} // namespace requirement
