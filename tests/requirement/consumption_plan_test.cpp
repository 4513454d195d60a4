// The allocation preview against the generation: on random stock, the plan shown before anything
// is written is what the generation then writes, line by line, and the stock it leaves.
#include "requirement/consumption_document.h"
#include "requirement/consumption_plan.h"
#include "requirement_core_fixture.h"

#include <QHash>
#include <random>

namespace {

using requirement::ConsumptionPlan;
using requirement::NotIssued;
using requirement::PlannedLine;

struct StockRecord {
    QString warehouse, group, code, lot;
    double price = 0, quantity = 0;
};

QString stockKey(const QString& warehouse, const QString& group, const QString& code,
                 const QString& lot) {
    return QStringList{warehouse, group, code, lot}.join(QLatin1Char('|'));
}

class ConsumptionPreview : public requirementtest::RequirementFixture,
                           public ::testing::WithParamInterface<int> {
protected:
    std::mt19937 rng{unsigned(GetParam())};

    int pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(rng); }

    // Materials of two groups; each with up to four stock records in two
    // warehouses, some empty, some negative, so that lines are issued from one record, spread
    // over several, run short, or are left out; two products with random recipes.
    void randomCompany() {
        const QList<QPair<QString, QString>> materials = {
            {"MAT", "M1"}, {"MAT", "M2"}, {"MAT", "M3"}, {"MAT", "M4"},
            {"MAT", "M5"}, {"MAT", "M6"}, {"AUX", "M7"}};
        company.counter(100);
        company.article("PF", "PF01", "Paine", 10).article("PF", "PF02", "Cozonac", 4);
        for (const auto& [group, code] : materials) {
            company.article(group, code, code);
            const int records = pick(0, 4);
            for (int i = 0; i < records; ++i) {
                const int kind = pick(0, 9);
                const double quantity = kind == 0   ? 0
                                        : kind == 1 ? -1.5
                                        : kind == 2 ? 3
                                                    : pick(1, 48) * 0.25;
                const StockRecord r{
                    pick(0, 1) ? "G2" : "G1", group,   code, QStringLiteral("L%1").arg(i),
                    1 + pick(0, 20) * 0.5,    quantity};
                company.stock(r.warehouse, r.group, r.code, r.lot, r.price, r.quantity);
            }
            for (const char* product : {"PF01", "PF02"})
                if (pick(0, 2) > 0)
                    company.recipe(product, group, code, pick(1, 8) * 0.25);
        }
        company.receipt(7, 15, "A1", {2024, 3, 12})
            .receiptLine(7, 1, "PF", "PF01", pick(1, 3) * 10)
            .receiptLine(7, 2, "PF", "PF02", pick(1, 3) * 4);
    }

    QHash<QString, double> stock() {
        QHash<QString, double> out;
        for (const QVariantList& r :
             rows("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Lot, Cantitate FROM Stoc"))
            out.insert(stockKey(r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString()),
                       r[4].toDouble());
        return out;
    }

    // The stock as the plan says the generation leaves it.
    static QHash<QString, double> stockAfter(QHash<QString, double> stock,
                                             const ConsumptionPlan& plan) {
        for (const PlannedLine& l : plan.lines) {
            const QString key =
                stockKey(l.warehouse.toString(), l.group.toString(), l.code, l.lot.toString());
            if (l.stockDeleted)
                stock.remove(key);
            else
                stock[key] = l.stockLeft;
        }
        return stock;
    }

    static QString describe(const NotIssued& n) {
        return QStringLiteral("%1 %2 %3 %4")
            .arg(n.group, n.code)
            .arg(n.quantity)
            .arg(int(n.reason));
    }
};

// Odd seeds leave out the lines short of stock, as the sheet does once the user agrees; even
// seeds leave out nothing, as when the stock was taken by another user after the question, so
// lines run short or find no stock.
TEST_P(ConsumptionPreview, EqualsWhatTheGenerationWrites) {
    randomCompany();
    requirement::buildRequirement(*dm, 7);
    const QHash<QString, double> before = stock();
    const bool leaveOutShort = GetParam() % 2 == 1;
    const QSet<QString> leftOut =
        leaveOutShort ? requirement::negativeRequirementLines(*dm) : QSet<QString>();

    const ConsumptionPlan plan = leaveOutShort ? requirement::previewConsumption(*dm)
                                               : requirement::planConsumption(*dm, leftOut);
    EXPECT_EQ(stock(), before) << "the preview writes nothing";
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Item_out").toDouble(), 0);
    EXPECT_EQ(scalar("SELECT NewCounterOut FROM Counter").toDouble(), 100);

    const auto result = requirement::generateConsumptionDocument(*dm, {2024, 4, 2}, leftOut);
    const QList<QVariantList> written =
        rows("SELECT Contor_secundar, Cod_grupa, Cod_articol, Cod_gestiune, Lot, Cantitate, "
             "Pret_achizitie FROM Item_out WHERE Contor = 101 ORDER BY Contor_secundar");
    ASSERT_EQ(written.size(), plan.lines.size());
    EXPECT_EQ(result.lineCount, int(plan.lines.size()));
    for (int i = 0; i < plan.lines.size(); ++i) {
        const PlannedLine& p = plan.lines[i];
        const QVariantList& w = written[i];
        SCOPED_TRACE(QStringLiteral("line %1").arg(i + 1).toStdString());
        EXPECT_EQ(w[0].toDouble(), p.number);
        EXPECT_EQ(w[1].toString(), p.group.toString());
        EXPECT_EQ(w[2].toString(), p.code);
        EXPECT_EQ(w[3].toString(), p.warehouse.toString());
        EXPECT_EQ(w[4].toString(), p.lot.toString());
        EXPECT_EQ(w[5].toDouble(), p.quantity);
        EXPECT_EQ(w[6].toDouble(), p.price.toDouble());
    }
    QStringList planned, reported;
    for (const NotIssued& n : plan.notIssued)
        planned << describe(n);
    for (const NotIssued& n : result.notIssued)
        reported << describe(n);
    EXPECT_EQ(reported, planned);
    EXPECT_EQ(stock(), stockAfter(before, plan));
}

INSTANTIATE_TEST_SUITE_P(Seeds, ConsumptionPreview, ::testing::Range(1, 13));

} // namespace
