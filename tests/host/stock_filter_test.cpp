// The stock window narrowed by the codes typed above it, and the receipts window's mark of the
// receipts the module has written a consumption document for, on the demo company on disk.
#include "host/demo_company.h"
#include "host/receipts_form.h"
#include "host/record_grid.h"
#include "host/stock_form.h"
#include "host_fixture.h"
#include "platform/db/database.h"
#include "platform/db/query.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/ui/edit.h"
#include "requirement/consumption_register.h"

#include <QLabel>
#include <QTest>

using namespace hosttest;

namespace {

class HostGrids : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        ASSERT_TRUE(host::createDemoCompany(companyDir, {}));
    }

    static QString cell(host::RecordGrid* grid, int row, const char* field) {
        return grid->model()
            ->index(row, grid->columnOf(QString::fromLatin1(field)))
            .data()
            .toString();
    }
    static QStringList rows(host::RecordGrid* grid) {
        QStringList out;
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            out << cell(grid, row, "Cod_gestiune") + " " + cell(grid, row, "Cod_grupa") + " " +
                       cell(grid, row, "Cod_articol");
        return out;
    }

    // The stock records whose codes start so, read from the database file by another road.
    QStringList onDisk(const QString& warehouse, const QString& group, const QString& article,
                       const QString& order) const {
        db::Session session;
        session.addAlias(QStringLiteral("FIRMA"), companyDir);
        db::Query q;
        q.setSession(&session);
        q.setDatabaseName(QStringLiteral("FIRMA"));
        q.setSqlText(
            QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol FROM \"Stoc.DB\" WHERE "
                           "substr(Cod_gestiune, 1, %1) = :g AND substr(Cod_grupa, 1, %2) = :r "
                           "AND substr(Cod_articol, 1, %3) = :a ORDER BY %4, rowid")
                .arg(warehouse.size())
                .arg(group.size())
                .arg(article.size())
                .arg(order));
        q.paramByName(QStringLiteral("g")).setAsString(warehouse);
        q.paramByName(QStringLiteral("r")).setAsString(group);
        q.paramByName(QStringLiteral("a")).setAsString(article);
        q.open();
        QStringList out;
        for (; !q.eof(); q.next())
            out << q.field(0)->asString() + " " + q.field(1)->asString() + " " +
                       q.field(2)->asString();
        return out;
    }

    static void typeInto(ui::Edit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        settle();
    }

    QString companyDir = dir.path() + QStringLiteral("/brutarie");
};

struct StockFilter {
    const char* name;
    const char* warehouse;
    const char* group;
    const char* article;
    int records;
};
void PrintTo(const StockFilter& f, std::ostream* os) {
    *os << f.name;
}

class StockWindowFilter : public HostGrids, public ::testing::WithParamInterface<StockFilter> {};

TEST_P(StockWindowFilter, ShowsTheRecordsWhoseCodesStartAsTyped) {
    const StockFilter& f = GetParam();
    start(companyDir, dir.path() + QStringLiteral("/fara-modul.so"));
    host::StockForm* stock = window()->openStock();
    settle();
    ASSERT_EQ(stock->stockGrid()->model()->rowCount(), 22);

    typeInto(stock->warehouseFilter(), QString::fromUtf8(f.warehouse));
    typeInto(stock->groupFilter(), QString::fromUtf8(f.group));
    typeInto(stock->articleFilter(), QString::fromUtf8(f.article));

    const QString warehouse = QString::fromUtf8(f.warehouse);
    // Without a warehouse the records come by group and article.
    const QString order =
        warehouse.isEmpty() && (*f.group || *f.article)
            ? QStringLiteral("Cod_grupa, Cod_articol, Cantitate")
            : QStringLiteral("Cod_gestiune, Cod_grupa, Cod_articol, Lot, Pret_achizitie");
    const QStringList expected =
        onDisk(warehouse, QString::fromUtf8(f.group), QString::fromUtf8(f.article), order);
    EXPECT_EQ(expected.size(), f.records);
    EXPECT_EQ(rows(stock->stockGrid()), expected);
    EXPECT_TRUE(stock->totalLabel()->text().startsWith(QString::number(f.records) + " "))
        << stock->totalLabel()->text().toStdString();

    // Down goes from the box to the records; emptying the boxes shows every record again.
    QTest::keyClick(stock->articleFilter(), Qt::Key_Down);
    EXPECT_TRUE(stock->stockGrid()->hasFocus());
    for (ui::Edit* edit : {stock->warehouseFilter(), stock->groupFilter(), stock->articleFilter()})
        typeInto(edit, QString());
    EXPECT_EQ(stock->stockGrid()->model()->rowCount(), 22);
    EXPECT_TRUE(desktop.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Demo, StockWindowFilter,
    ::testing::Values(StockFilter{"OneWarehouse", "G02", "", "", 5},
                      StockFilter{"WarehousePrefixAndGroup", "G0", "MPA", "", 12},
                      StockFilter{"ArticlePrefixAcrossWarehouses", "", "", "M01", 12},
                      StockFilter{"GroupAndArticle", "", "MPF", "M00", 4},
                      StockFilter{"AllThree", "G01", "SF", "S002", 1},
                      StockFilter{"NothingStartsSo", "", "", "X", 0},
                      StockFilter{"LowerCaseIsAnotherCode", "", "", "m01", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// The column "Bon consum" names the documents the module registered for each receipt.
TEST_F(HostGrids, TheReceiptsWindowMarksReceiptsWithAConsumptionDocument) {
    start(companyDir, dir.path() + QStringLiteral("/fara-modul.so"));
    ASSERT_EQ(program->addOn(), nullptr);
    host::ReceiptsForm* receipts = window()->openReceipts();
    settle();
    host::RecordGrid* grid = receipts->documentsGrid();
    ASSERT_EQ(grid->model()->rowCount(), 4);
    ASSERT_GE(grid->columnOf(QStringLiteral("Consum")), 0);
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(cell(grid, row, "Consum"), "");
    {
        db::Session session;
        session.addAlias(QStringLiteral("FIRMA"), companyDir);
        db::Database database(QStringLiteral("FIRMA"), &session);
        EXPECT_FALSE(database.tableExists(QStringLiteral("Consum.DB")))
            << "the window alone creates no table";
        // What the module writes with its documents, for receipts 2 (twice) and 3.
        requirement::ensureConsumptionRegister(database);
        requirement::registerConsumption(database, {2, 7, QDate(2025, 3, 15)});
        requirement::registerConsumption(database, {3, 5, QDate(2025, 3, 15)});
        requirement::registerConsumption(database, {2, 6, QDate(2025, 3, 14)});
    }
    receipts->refreshData();
    settle();
    QStringList marks;
    for (int row = 0; row < 4; ++row)
        marks << cell(grid, row, "Contor") + ":" + cell(grid, row, "Consum");
    EXPECT_EQ(marks, (QStringList{"1:", "2:6, 7", "3:5", "4:"}));
    EXPECT_TRUE(desktop.boxes.empty());
}

} // namespace
