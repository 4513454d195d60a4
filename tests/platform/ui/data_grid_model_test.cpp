// The data-aware table model of the grids over a real table: which records its window holds, on
// which row the current record stands, and how often it reads the window for one move.
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/ui/data_grid_model.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

constexpr int kRecords = 40;
constexpr int kRows = 5;

QString code(int record) {
    return QStringLiteral("C%1").arg(record, 2, 10, QLatin1Char('0'));
}

// One column: the code, as the window read it.
class CodeColumn : public ui::DataGridColumns {
public:
    const ui::DataGridModel* model = nullptr;
    int columnCount() const override { return 1; }
    QVariant cellData(int row, int, int role) const override {
        return role == Qt::DisplayRole ? model->window().row(row).values.value(0) : QVariant();
    }
    QVariant headerData(int, int) const override { return QVariant(); }
    void bindColumns(db::DataSet*) override {}
};

class DataGridModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.addAlias(QStringLiteral("TESTDB"), dir.path());
        database = std::make_unique<db::Database>(QStringLiteral("TESTDB"), &session);
        database->createTable({QStringLiteral("Catalog.DB"),
                               {{QStringLiteral("Cod"), db::FieldType::Text, 10},
                                {QStringLiteral("Denumire"), db::FieldType::Text, 20}},
                               {{QString(), {QStringLiteral("Cod")}, true, true}}});
        table.setSession(&session);
        table.setDatabaseName(QStringLiteral("TESTDB"));
        table.setTableName(QStringLiteral("Catalog.DB"));
        table.open();
        for (int i = 1; i <= kRecords; ++i) {
            table.append();
            table.fieldByName(QStringLiteral("Cod"))->setAsString(code(i));
            table.post();
        }
        table.first();
        columns.model = &model;
        model.setRowsInView([] { return kRows; });
        model.setDataSource(&source);
        QObject::connect(&model, &ui::DataGridModel::windowRead, [this] { ++reads; });
    }

    QString shown(int row) const { return model.index(row, 0).data().toString(); }

    testsupport::TempDir dir;
    db::Session session;
    std::unique_ptr<db::Database> database; // open for as long as the table
    db::Table table;
    db::DataSource source{&table};
    CodeColumn columns;
    ui::DataGridModel model{columns, nullptr};
    int reads = 0;
};

struct Case {
    const char* name;
    std::function<void(ui::DataGridModel&, db::Table&)> before; // not counted
    std::function<void(ui::DataGridModel&, db::Table&)> act;
    int activeRow;
    int firstRecord; // on row 0; 0 for the new record
    int newRow;      // the new record's row, -1 when none
    int reads;       // windows read by act; -1: as the dataset announces an outside move
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class DataGridModelMoves : public DataGridModelTest, public ::testing::WithParamInterface<Case> {};

TEST_P(DataGridModelMoves, HoldTheRecordsAroundTheCurrentOne) {
    const Case& c = GetParam();
    if (c.before)
        c.before(model, table);
    reads = 0;
    c.act(model, table);
    if (c.reads >= 0) {
        EXPECT_EQ(reads, c.reads);
    }
    EXPECT_EQ(model.rowCount(), kRows);
    EXPECT_EQ(model.currentRow(), c.activeRow);
    EXPECT_EQ(model.window().newRow(), c.newRow);
    if (c.firstRecord > 0) {
        EXPECT_EQ(shown(0), code(c.firstRecord));
    }
    if (c.newRow < 0) {
        EXPECT_EQ(shown(c.activeRow), table.fieldByName(QStringLiteral("Cod"))->asString());
    }
}

using M = ui::DataGridModel;
using T = db::Table;

INSTANTIATE_TEST_SUITE_P(
    Grid, DataGridModelMoves,
    ::testing::Values(
        Case{"OneDownInsideTheWindow", {}, [](M& m, T&) { m.moveBy(1); }, 1, 1, -1, 1},
        Case{"PastTheBottomStopsOnTheLastRow", {}, [](M& m, T&) { m.moveBy(7); }, 4, 4, -1, 1},
        Case{"BackPastTheTopStopsOnTheFirstRow", [](M& m, T&) { m.moveBy(20); },
             [](M& m, T&) { m.moveBy(-8); }, 0, 13, -1, 1},
        Case{"LastOnTheLastRow", {}, [](M& m, T&) { m.last(); }, 4, kRecords - 4, -1, 1},
        Case{"FirstFromTheEndOnTheFirstRow", [](M& m, T&) { m.last(); },
             [](M& m, T&) { m.first(); }, 0, 1, -1, 1},
        Case{"AMoveFromAnEditPostsAndReadsOnce",
             [](M&, T& t) {
                 t.edit();
                 t.fieldByName(QStringLiteral("Denumire"))->setAsString(QStringLiteral("x"));
             },
             [](M& m, T&) { m.moveBy(2); }, 2, 1, -1, 1},
        Case{"MovedFromOutsideBeyondTheBottomScrollsByOne", [](M& m, T&) { m.moveBy(4); },
             [](M&, T& t) { t.next(); }, 4, 2, -1, 1},
        Case{"MovedFromOutsideInsideTheWindowKeepsItStill", [](M& m, T&) { m.moveBy(4); },
             [](M&, T& t) { t.moveBy(-3); }, 1, 1, -1, -1},
        Case{"AnInsertedRecordShowsAtTheActiveRow", [](M& m, T&) { m.moveBy(2); },
             [](M&, T& t) { t.insert(); }, 2, 1, 2, 1},
        Case{"AnAppendedRecordShowsAfterTheLastRow", [](M& m, T&) { m.moveBy(2); },
             [](M& m, T&) { m.append(); }, 4, 2, 4, 1},
        Case{"ACancelledInsertLeavesNoNewRow",
             [](M& m, T& t) {
                 m.moveBy(2);
                 t.insert();
             },
             [](M&, T& t) { t.cancel(); }, 2, 1, -1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
