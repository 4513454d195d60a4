// The host's record grid and the module's data grid share one data-aware model: driven the same
// way over the same table, they show the same records on the same rows, with the cursor on the
// same row and the dataset on the same record.
#include "controls/normal_custom_db_grid.h"
#include "host/record_grid.h"
#include "platform/db/data_source.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/ui/data_grid_model.h"
#include "tests/support/temp_dir.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

constexpr int kRecords = 60;

// One grid with its own dataset over the shared table.
struct Side {
    std::unique_ptr<db::Database> database;
    db::Table table;
    db::DataSource source{&table};
    QAbstractItemView* view = nullptr;
    QString code() const { return table.fieldByName(QStringLiteral("Cod"))->asString(); }
};

class BothGridsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Each grid has a table of its own, filled alike, so that what one deletes stays in the
        // other's.
        for (Side* side : {&host, &module}) {
            const QString alias =
                side == &host ? QStringLiteral("HOSTDB") : QStringLiteral("MODDB");
            const QString path = side == &host ? hostDir.path() : moduleDir.path();
            session.addAlias(alias, path);
            side->database = std::make_unique<db::Database>(alias, &session);
            side->database->createTable({QStringLiteral("Catalog.DB"),
                                         {{QStringLiteral("Cod"), db::FieldType::Text, 10},
                                          {QStringLiteral("Denumire"), db::FieldType::Text, 20}},
                                         {{QString(), {QStringLiteral("Cod")}, true, true}}});
            side->table.setSession(&session);
            side->table.setDatabaseName(alias);
            side->table.setTableName(QStringLiteral("Catalog.DB"));
            side->table.open();
            for (int i = 1; i <= kRecords; ++i) {
                side->table.append();
                side->table.fieldByName(QStringLiteral("Cod"))
                    ->setAsString(QStringLiteral("C%1").arg(i, 4, 10, QLatin1Char('0')));
                side->table.post();
            }
            side->table.first();
        }
        auto* layout = new QHBoxLayout(&window);
        hostGrid = new host::RecordGrid(&host.source, &window);
        moduleGrid = new TNormalDBGrid(&window);
        // Read-only, as the host's grid is: Down at the end appends nothing.
        moduleGrid->setOptions(dgTitles | dgIndicator | dgColLines | dgRowLines);
        moduleGrid->setReadOnly(true);
        moduleGrid->setDataSource(&module.source);
        host.view = hostGrid;
        module.view = moduleGrid;
        layout->addWidget(hostGrid);
        layout->addWidget(moduleGrid);
        hostGrid->setFixedHeight(260);
        window.resize(900, 400);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        settle();
        // The module's rows are a little lower: its grid is made as tall as holds as many.
        const int rows = hostGrid->recordModel()->capacity();
        for (int height = 60; height < 400 && moduleGrid->visibleRowCount() != rows; ++height) {
            moduleGrid->setFixedHeight(height);
            settle();
        }
        ASSERT_EQ(moduleGrid->visibleRowCount(), rows);
        ASSERT_GT(rows, 3);
        ASSERT_EQ(moduleGrid->rowCount(), rows);
    }

    static void settle() { QCoreApplication::processEvents(); }

    // The codes on the rows of a grid, the current one marked.
    static QStringList shown(const Side& side, int currentRow) {
        QStringList codes;
        const QAbstractItemModel* model = side.view->model();
        for (int row = 0; row < model->rowCount(); ++row)
            codes << (row == currentRow ? QStringLiteral(">") : QString()) +
                         model->index(row, 0).data().toString();
        return codes;
    }

    testsupport::TempDir hostDir;
    testsupport::TempDir moduleDir;
    db::Session session;
    Side host;
    Side module;
    QWidget window;
    host::RecordGrid* hostGrid = nullptr;
    TNormalDBGrid* moduleGrid = nullptr;
};

// One thing done to a grid or to its dataset; rows is the number of rows that fit.
using Step = std::function<void(Side& side, int rows)>;

Step key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1) {
    return [=](Side& side, int) {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(side.view, key, modifiers);
    };
}

Step bar(QAbstractSlider::SliderAction action) {
    return [=](Side& side, int) { side.view->verticalScrollBar()->triggerAction(action); };
}

Step dataSet(std::function<void(db::Table&)> change) {
    return [=](Side& side, int) { change(side.table); };
}

struct Drive {
    const char* name;
    std::vector<Step> steps;
};

void PrintTo(const Drive& d, std::ostream* os) {
    *os << d.name;
}

class BothGrids : public BothGridsTest, public ::testing::WithParamInterface<Drive> {};

TEST_P(BothGrids, ShowTheSameRecordsOnTheSameRows) {
    const int rows = hostGrid->recordModel()->capacity();
    for (const Step& step : GetParam().steps) {
        step(host, rows);
        step(module, rows);
        settle();
        ASSERT_EQ(host.code(), module.code());
        // The current row shows the current record.
        EXPECT_EQ(hostGrid->model()->index(hostGrid->currentIndex().row(), 0).data().toString(),
                  host.code());
        EXPECT_EQ(shown(host, hostGrid->currentIndex().row()), shown(module, moduleGrid->row()));
        EXPECT_EQ(hostGrid->recordModel()->currentRow(), moduleGrid->row());
        EXPECT_EQ(hostGrid->verticalScrollBar()->value(), moduleGrid->verticalScrollBar()->value());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grid, BothGrids,
    ::testing::Values(
        Drive{"DownPastTheLastRowScrollsByOne",
              {key(Qt::Key_Down, {}, 12), key(Qt::Key_Up, {}, 3)}},
        Drive{"PagesDownAndUp",
              {key(Qt::Key_PageDown), key(Qt::Key_PageDown), key(Qt::Key_Up), key(Qt::Key_PageUp)}},
        Drive{"ToTheEndAndBack",
              {key(Qt::Key_End, Qt::ControlModifier), key(Qt::Key_Up, {}, 2), key(Qt::Key_PageUp),
               key(Qt::Key_Home, Qt::ControlModifier)}},
        Drive{"DownAtTheLastRecordStays",
              {key(Qt::Key_End, Qt::ControlModifier), key(Qt::Key_Down, {}, 2)}},
        Drive{"TheScrollBarsArrowsPagesAndEnds",
              {bar(QAbstractSlider::SliderSingleStepAdd), bar(QAbstractSlider::SliderPageStepAdd),
               bar(QAbstractSlider::SliderToMaximum), bar(QAbstractSlider::SliderSingleStepSub),
               bar(QAbstractSlider::SliderPageStepSub), bar(QAbstractSlider::SliderToMinimum)}},
        Drive{"TheDatasetMovedFromOutside",
              {dataSet([](db::Table& t) { t.moveBy(5); }),
               dataSet([](db::Table& t) { t.moveBy(40); }),
               dataSet([](db::Table& t) { t.prior(); }), dataSet([](db::Table& t) { t.last(); }),
               dataSet([](db::Table& t) { t.first(); })}},
        Drive{"TheCurrentRecordDeleted",
              {key(Qt::Key_Down, {}, 3), dataSet([](db::Table& t) { t.remove(); }),
               key(Qt::Key_End, Qt::ControlModifier), dataSet([](db::Table& t) { t.remove(); })}},
        Drive{"ARecordFoundFromOutside",
              {dataSet([](db::Table& t) {
                   t.locate(QStringLiteral("Cod"), {QStringLiteral("C0050")});
               }),
               key(Qt::Key_Down), dataSet([](db::Table& t) {
                   t.locate(QStringLiteral("Cod"), {QStringLiteral("C0052")});
               })}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
