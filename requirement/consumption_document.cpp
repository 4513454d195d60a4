#include "requirement/consumption_document.h"

#include "requirement/consumption_register.h"
#include "requirement/consumption_trace.h"
#include "requirement/recipe_issue.h"
#include "requirement/requirement_build.h"

#include "data/qdm_data_module.h"
#include "platform/base/date_text.h"
#include "platform/base/errors.h"
#include "platform/base/float_text.h"
#include "platform/db/connection.h"
#include "platform/db/controls_disabled.h"
#include "platform/db/database.h"
#include "platform/db/table.h"

#include <QHash>
#include <QSet>

#include <cmath>
#include <vector>

namespace requirement {

namespace {

const QString kDocumentType = QStringLiteral("BMC");

// The catalog fields a consumption line copies from its material, in the plan's order.
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

// The generation inside the transaction: the counter and the header, then the allocation plan
// made on the stock as the transaction reads it (its reads keep the stock records from other
// users until the transaction ends), then the plan written line after line.
class Generation {
public:
    // leftOut: the lines ("group\ncode") whose final stock was below 0 when the generation was
    // asked for, which the user agreed to leave out of the document.
    Generation(TQDMDataModule& dm, const QDate& date, QSet<QString> leftOut)
        : m_dm(dm), m_date(date), m_leftOut(std::move(leftOut)) {}

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
        // A stock record being edited is written first, inside the transaction, as a search of
        // the stock table would write it.
        m_dm.StocTable.checkBrowseMode();
        resolveFields();
        const ConsumptionPlan plan = planConsumption(m_dm, m_leftOut);
        {
            // The plan's writes are sent ahead where the driver can, and checked before commit.
            db::DeferredWrites ahead(m_dm.StocTable.database().connection());
            for (const PlannedLine& line : plan.lines)
                write(line);
            ahead.finish();
        }
        m_result.lineCount = int(plan.lines.size());
        m_result.notIssued = plan.notIssued;
        ensureConsumptionTrace(m_dm.GhostDB);
        writeConsumptionTrace(m_dm.GhostDB, m_result.counter, traceOf(plan));
        writeRecipeBesideIssue(m_dm, m_result.counter, m_date, plan);
        return m_result;
    }

private:
    // The fields written for every line, looked up once.
    struct OutFields {
        db::Field *counter, *number, *code, *group, *warehouse, *quantity, *price, *salePrice,
            *usdPrice, *vat, *lot, *agent;
        db::Field* accounts[kAccountCount];
    };

    void resolveFields() {
        m_stockQuantity = m_dm.StocTable.fieldByName(QStringLiteral("Cantitate"));
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

    // One planned line: where the first stock record held enough, the document line is written
    // before the record is lowered or deleted; where the quantity was spread, after.
    void write(const PlannedLine& line) {
        if (line.lineBeforeStock) {
            writeLine(line);
            writeStock(line);
        } else {
            writeStock(line);
            writeLine(line);
        }
    }

    // The stock record as the plan leaves it, written where it is still stored as this
    // generation last wrote it (or as it was read).
    void writeStock(const PlannedLine& line) {
        const db::RecordBuffer original = m_written.value(line.stockBefore.id, line.stockBefore);
        if (line.stockDeleted) {
            m_dm.StocTable.deleteRecord(original);
            m_written.remove(original.id);
            return;
        }
        db::RecordBuffer changed = original;
        changed.values[m_stockQuantity->index()] =
            m_stockQuantity->convert(QVariant(line.stockLeft));
        m_dm.StocTable.writeRecord(original, changed);
        m_written.insert(changed.id, changed);
    }

    // Where each document line took from, as the stock record stood before and after it, so
    // that a reversal can put it back.
    QList<TracedLine> traceOf(const ConsumptionPlan& plan) const {
        const int code = m_dm.StocTable.fieldByName(QStringLiteral("Cod_articol"))->index();
        QList<TracedLine> trace;
        trace.reserve(plan.lines.size());
        for (const PlannedLine& line : plan.lines) {
            const QVariant before = line.stockBefore.values.value(m_stockQuantity->index());
            trace << TracedLine{line.number,
                                line.warehouse,
                                line.group,
                                line.stockBefore.values.value(code),
                                line.lot,
                                line.price,
                                line.agent,
                                before.isNull() ? 0 : before.toDouble(),
                                line.stockDeleted ? 0 : line.stockLeft,
                                line.stockDeleted};
        }
        return trace;
    }

    void writeLine(const PlannedLine& line) {
        db::Table& item = m_dm.ItemOutTable;
        item.append();
        m_out.counter->setAsFloat(m_result.counter);
        m_out.number->setAsFloat(line.number);
        m_out.code->setAsString(line.code);
        m_out.group->setValue(line.group);
        m_out.warehouse->setValue(line.warehouse);
        m_out.quantity->setAsFloat(line.quantity);
        m_out.price->setValue(line.price);
        // Consumption is valued at purchase price.
        m_out.salePrice->setValue(line.price);
        m_out.usdPrice->setAsFloat(0);
        m_out.vat->setAsFloat(0);
        m_out.lot->setValue(line.lot);
        m_out.agent->setValue(line.agent);
        for (int i = 0; i < kAccountCount; ++i)
            m_out.accounts[i]->setValue(line.accounts.value(i));
        item.post();
    }

    TQDMDataModule& m_dm;
    QDate m_date;
    QSet<QString> m_leftOut;
    GenerationResult m_result;
    db::Field* m_stockQuantity = nullptr;
    OutFields m_out{};
    QHash<qint64, db::RecordBuffer> m_written; // stock records as this generation wrote them
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
