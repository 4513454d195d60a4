#include "requirement/consumption_plan.h"

#include "requirement/consumption_document.h"

#include "data/qdm_data_module.h"
#include "platform/base/errors.h"
#include "platform/db/table.h"

#include <QHash>

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

// The catalog fields a consumption line copies from its material.
const char* const kAccounts[] = {"Cont_marfa",  "Cont_TVA_Iesiri", "Cont_cheltuieli",
                                 "Cont_accize", "Cont_adaos",      "Cont_venituri"};
constexpr int kAccountCount = 6;

QString lineKey(const QString& group, const QString& code) {
    return group + QLatin1Char('\n') + code;
}

// The requirement lines are read first, then the catalog records and the stock records of all
// their materials, each with one statement; the lines are then planned one after the other
// from those records, which are kept as the plan leaves them, so that a material met twice is
// taken from what its first line left.
class Planner {
public:
    Planner(TQDMDataModule& dm, const QSet<QString>& leftOut) : m_dm(dm), m_leftOut(leftOut) {}

    ConsumptionPlan run() {
        resolveFields();
        readLines();
        readAccounts();
        planLines();
        return std::move(m_plan);
    }

private:
    struct Line {
        QString group;
        QString code;
        double quantity = 0;
        int list = -1; // its material in the lists read; -1 when the line takes no stock
    };

    void resolveFields() {
        db::Table& stoc = m_dm.StocTable;
        auto s = [&](const char* name) { return stoc.fieldByName(QString::fromLatin1(name)); };
        m_stock = {s("Cod_gestiune"), s("Cod_grupa"), s("Pret_achizitie"),
                   s("Lot"),          s("Agent"),     s("Cantitate")};
        db::Table& catalog = m_dm.CatalogTable1;
        for (int i = 0; i < kAccountCount; ++i)
            m_catalogAccounts[i] = catalog.fieldByName(QString::fromLatin1(kAccounts[i]));
    }

    // The requirement lines in the table's order, read as stored: the figures the sheet shows
    // beside them are not needed here.
    void readLines() {
        db::Table& req = m_dm.TempTable;
        for (db::RecordBuffer& rec : req.readStored()) {
            Line line;
            req.withRecordAsRead(rec, [&] {
                line.group = m_dm.TempTableCod_grupa->asString();
                line.code = m_dm.TempTableCod_MatPrim->asString();
                line.quantity = m_dm.TempTableCant->asFloat();
            });
            m_lines << line;
            m_plan.required << RequiredLine{line.group, line.code, line.quantity};
        }
    }

    // The catalog record of the material of every line that takes stock, with one statement;
    // each such line gets its list of values (group and code) for the reads.
    void readAccounts() {
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

    void notIssued(const Line& line, double quantity, NotIssued::Reason reason) {
        m_plan.notIssued << NotIssued{line.group, line.code, quantity, reason};
    }

    // Where the line being planned stands.
    struct Issue {
        int line = -1;
        bool seen = false;      // a stock record of its material was met
        bool spreading = false; // its first record held too little: taken over several
        bool done = false;      // it wants no more records
        double remaining = 0;   // what is still to be taken while spreading
    };

    // The stock records of all lines are read with one statement and handed over material after
    // material, in line order; lines without stock records are planned in their turn between.
    void planLines() {
        m_dm.StocTable.visitMatching(QStringLiteral("Cod_grupa;Cod_articol"), m_lists,
                                     [&](int list, db::RecordBuffer& rec) {
                                         const int line = m_lineOfList[list];
                                         if (m_issue.line != line) {
                                             finishLine();
                                             planUpTo(line);
                                             m_issue = Issue();
                                             m_issue.line = line;
                                             m_next = line + 1;
                                         }
                                         return !m_issue.done && take(m_lines[line], rec);
                                     });
        finishLine();
        planUpTo(int(m_lines.size()));
    }

    // The lines before `end` that no stock record was handed over for.
    void planUpTo(int end) {
        for (; m_next < end; ++m_next) {
            const Line& line = m_lines[m_next];
            if (isNothing(line.quantity))
                continue;
            // A line whose final stock went below 0 only since the user was asked (another
            // user took the stock meanwhile) is issued as far as the stock allows; one the user
            // agreed to leave out is not.
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
    bool take(const Line& line, db::RecordBuffer& read) {
        // A record an earlier line of the same material took from is as that line left it.
        if (m_deleted.contains(read.id))
            return true;
        const db::RecordBuffer rec = m_planned.value(read.id, read);
        if (!m_issue.seen) {
            m_issue.seen = true;
            if (line.quantity <= held(rec)) {
                const double quantity = held(rec);
                const bool empties = std::fabs(quantity - line.quantity) <= kExhaustedTolerance;
                addLine(line, line.quantity, rec, empties ? 0 : quantity - line.quantity, empties,
                        true);
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
        // A record that would keep no more than the tolerance is taken whole, so that what the
        // document issues and what the stock keeps still add up to what it held.
        const double taken =
            have - m_issue.remaining > kExhaustedTolerance ? m_issue.remaining : have;
        m_issue.remaining -= taken;
        addLine(line, taken, rec, taken == have ? 0 : have - taken, taken == have, false);
        m_issue.done = m_issue.remaining <= kExhaustedTolerance;
        return !m_issue.done;
    }

    double held(const db::RecordBuffer& rec) const {
        const QVariant v = rec.values.value(m_stock.quantity->index());
        return v.isNull() ? 0 : v.toDouble();
    }

    void addLine(const Line& line, double quantity, const db::RecordBuffer& rec, double left,
                 bool deleted, bool lineBeforeStock) {
        auto v = [&](db::Field* f) { return rec.values.value(f->index()); };
        PlannedLine planned;
        planned.number = int(m_plan.lines.size()) + 1;
        planned.code = line.code;
        planned.group = v(m_stock.group);
        planned.warehouse = v(m_stock.warehouse);
        planned.lot = v(m_stock.lot);
        planned.price = v(m_stock.price);
        planned.agent = v(m_stock.agent);
        planned.quantity = quantity;
        planned.stockLeft = left;
        planned.stockDeleted = deleted;
        planned.stockBefore = rec;
        planned.accounts = m_accounts[size_t(line.list)];
        planned.lineBeforeStock = lineBeforeStock;
        m_plan.lines << planned;
        if (deleted) {
            m_planned.remove(rec.id);
            m_deleted.insert(rec.id);
        } else {
            db::RecordBuffer after = rec;
            after.values[m_stock.quantity->index()] = m_stock.quantity->convert(QVariant(left));
            m_planned.insert(rec.id, after);
        }
    }

    struct StockFields {
        db::Field *warehouse, *group, *price, *lot, *agent, *quantity;
    };

    TQDMDataModule& m_dm;
    const QSet<QString>& m_leftOut;
    ConsumptionPlan m_plan;
    StockFields m_stock{};
    db::Field* m_catalogAccounts[kAccountCount] = {};
    QList<Line> m_lines;
    QList<QVariantList> m_lists;          // group and code of the lines that take stock
    QList<int> m_lineOfList;              // the line of each list
    std::vector<QVariantList> m_accounts; // of each list
    int m_next = 0;                       // the first line not planned yet
    Issue m_issue;
    QHash<qint64, db::RecordBuffer> m_planned; // stock records as the plan leaves them
    QSet<qint64> m_deleted;                    // and those it deletes
};

} // namespace

ConsumptionPlan planConsumption(TQDMDataModule& dm, const QSet<QString>& leftOut) {
    return Planner(dm, leftOut).run();
}

ConsumptionPlan previewConsumption(TQDMDataModule& dm) {
    db::Table& req = dm.TempTable;
    if (!req.isActive())
        throw base::DatabaseError(QStringLiteral("The requirement table is not open."),
                                  base::DatabaseError::Kind::InvalidState);
    if (req.state() != db::DataSetState::Browse)
        throw base::DatabaseError(
            QStringLiteral("The requirement lines cannot be read while a line is being edited."),
            base::DatabaseError::Kind::InvalidState);
    for (db::Table* t : {&dm.StocTable, &dm.CatalogTable1})
        if (!t->isActive())
            t->open();
    return planConsumption(dm, negativeRequirementLines(dm));
}

} // namespace requirement
