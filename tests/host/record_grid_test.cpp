// The host's read-only grid over a dataset: what it shows, and how its current row and the
// dataset's current record follow each other, master and detail alike.
#include "host/record_grid.h"
#include "platform/db/data_source.h"
#include "platform/db/query.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/ui/data_grid_model.h"
#include "tests/support/company_builder.h"
#include "tests/support/qt_print.h"
#include "tests/support/readable_name.h"
#include "tests/support/temp_dir.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

using host::RecordGrid;

namespace {

class RecordGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::CompanyBuilder(dir.path())
            .receipt(1, 10, "NIR", {2025, 3, 10})
            .receipt(2, 11, "BPF", {2025, 3, 11})
            .receipt(3, 12, "BPF", {2025, 3, 12})
            .receiptLine(1, 1, "MPF", "M001", 250)
            .receiptLine(2, 1, "PF", "P001", 200)
            .receiptLine(2, 2, "PF", "P002", 100)
            .receiptLine(2, 3, "PF", "P004", 1234.5)
            .receiptLine(3, 1, "PF", "P003", 20);
        session.addAlias(QStringLiteral("FIRMA"), dir.path());
        for (db::Table* t : {&documents, &lines}) {
            t->setSession(&session);
            t->setDatabaseName(QStringLiteral("FIRMA"));
        }
        documents.setTableName(QStringLiteral("Doc_in.DB"));
        documents.addField(QStringLiteral("Contor"), db::FieldType::Float)
            ->setDisplayLabel(QStringLiteral("Contor"));
        documents.addField(QStringLiteral("Tip"), db::FieldType::Text, 3);
        documents.addField(QStringLiteral("Data"), db::FieldType::Date);
        lines.setTableName(QStringLiteral("Item_in.DB"));
        lines.setIndexFieldNames(QStringLiteral("Contor"));
        lines.setMasterSource(&documentsSource);
        lines.setMasterFields(QStringLiteral("Contor"));
        lines.addField(QStringLiteral("Contor"), db::FieldType::Float)->setVisible(false);
        lines.addField(QStringLiteral("Contor_secundar"), db::FieldType::Float)
            ->setDisplayLabel(QStringLiteral("Nr."));
        lines.addField(QStringLiteral("Cod_articol"), db::FieldType::Text, 30);
        lines.addField(QStringLiteral("Cantitate"), db::FieldType::Float);
        lines.addField(QStringLiteral("Serii"), db::FieldType::Boolean);
        documents.open();
        lines.open();

        window.resize(700, 500);
        auto* layout = new QVBoxLayout(&window);
        documentsGrid = new RecordGrid(&documentsSource, &window);
        linesGrid = new RecordGrid(&linesSource, &window);
        linesGrid->setDecimals(QStringLiteral("Cantitate"), 2);
        layout->addWidget(documentsGrid);
        layout->addWidget(linesGrid);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        settle();
    }

    // Lets the grids read what the datasets announced.
    static void settle() { QCoreApplication::processEvents(); }

    static QString cell(RecordGrid* grid, int row, const char* field) {
        return grid->model()
            ->index(row, grid->columnOf(QString::fromLatin1(field)))
            .data()
            .toString();
    }

    void clickRow(RecordGrid* grid, int row) {
        const QRect rect = grid->visualRect(grid->model()->index(row, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
        settle();
    }

    testsupport::TempDir dir;
    db::Session session;
    db::Table documents;
    db::DataSource documentsSource{&documents};
    db::Table lines;
    db::DataSource linesSource{&lines};
    QWidget window;
    RecordGrid* documentsGrid = nullptr;
    RecordGrid* linesGrid = nullptr;
};

} // namespace

TEST_F(RecordGridTest, ShowsTheVisibleFieldsOfEveryRecord) {
    EXPECT_EQ(documentsGrid->model()->rowCount(), 3);
    ASSERT_EQ(linesGrid->model()->columnCount(), 4); // Contor is hidden
    EXPECT_EQ(linesGrid->model()->headerData(0, Qt::Horizontal).toString(), "Nr.");
    EXPECT_EQ(linesGrid->model()->headerData(1, Qt::Horizontal).toString(), "Cod_articol");
    EXPECT_EQ(cell(documentsGrid, 1, "Data"), "11.03.2025");
    EXPECT_EQ(cell(documentsGrid, 2, "Tip"), "BPF");
    EXPECT_EQ(linesGrid->model()->rowCount(), 1); // the lines of the first document
    // Every record is in sight: the scroll bar has nowhere to go.
    EXPECT_EQ(documentsGrid->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(cell(linesGrid, 0, "Cantitate"), "250,00");
    EXPECT_EQ(cell(linesGrid, 0, "Serii"), "");
    EXPECT_EQ(linesGrid->model()
                      ->index(0, linesGrid->columnOf("Cantitate"))
                      .data(Qt::TextAlignmentRole)
                      .toInt() &
                  Qt::AlignRight,
              Qt::AlignRight);
}

TEST_F(RecordGridTest, ClickingARowMovesTheMasterAndTheDetailFollows) {
    clickRow(documentsGrid, 1);
    EXPECT_EQ(documents.fieldByName(QStringLiteral("Contor"))->asInteger(), 2);
    ASSERT_EQ(linesGrid->model()->rowCount(), 3);
    EXPECT_EQ(cell(linesGrid, 2, "Cod_articol"), "P004");
    EXPECT_EQ(cell(linesGrid, 2, "Cantitate"), "1.234,50");

    clickRow(linesGrid, 2);
    EXPECT_EQ(lines.fieldByName(QStringLiteral("Cod_articol"))->asString(), "P004");
}

TEST_F(RecordGridTest, MovingTheDatasetSelectsItsRow) {
    documents.last();
    settle();
    EXPECT_EQ(documentsGrid->currentIndex().row(), 2);
    EXPECT_EQ(linesGrid->model()->rowCount(), 1);
    documents.prior();
    settle();
    EXPECT_EQ(documentsGrid->currentIndex().row(), 1);
    EXPECT_EQ(linesGrid->model()->rowCount(), 3);
}

TEST_F(RecordGridTest, ReadingTheRowsLeavesMasterAndDetailWhereTheyWere) {
    clickRow(documentsGrid, 1);
    clickRow(linesGrid, 1);
    ASSERT_EQ(lines.fieldByName(QStringLiteral("Cod_articol"))->asString(), "P002");

    documentsGrid->recordModel()->reload();
    linesGrid->recordModel()->reload();
    settle();
    EXPECT_EQ(documents.fieldByName(QStringLiteral("Contor"))->asInteger(), 2);
    EXPECT_EQ(lines.fieldByName(QStringLiteral("Cod_articol"))->asString(), "P002");
    EXPECT_EQ(documentsGrid->currentIndex().row(), 1);
    EXPECT_EQ(linesGrid->currentIndex().row(), 1);
}

TEST_F(RecordGridTest, ShowsWhatWasWrittenOnceTheDatasetIsRefreshed) {
    QSignalSpy resets(linesGrid->model(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(linesGrid->model(), &QAbstractItemModel::dataChanged);
    {
        // Another writer changes a line of the current document.
        db::Table other;
        other.setSession(&session);
        other.setDatabaseName(QStringLiteral("FIRMA"));
        other.setTableName(QStringLiteral("Item_in.DB"));
        other.open();
        ASSERT_TRUE(other.locate(QStringLiteral("Contor;Contor_secundar"), {1.0, 1.0}));
        other.edit();
        other.fieldByName(QStringLiteral("Cantitate"))->setAsFloat(260);
        other.post();
    }
    lines.refresh();
    settle();
    EXPECT_EQ(cell(linesGrid, 0, "Cantitate"), "260,00");
    // The same records with other values: changed in place, the selection kept.
    EXPECT_EQ(resets.count(), 0);
    EXPECT_GE(changes.count(), 1);
    EXPECT_EQ(linesGrid->currentIndex().row(), 0);

    {
        db::Table other;
        other.setSession(&session);
        other.setDatabaseName(QStringLiteral("FIRMA"));
        other.setTableName(QStringLiteral("Doc_in.DB"));
        other.open();
        other.append();
        other.fieldByName(QStringLiteral("Contor"))->setAsFloat(4);
        other.fieldByName(QStringLiteral("Tip"))->setAsString(QStringLiteral("BMC"));
        other.post();
    }
    documents.refresh();
    settle();
    EXPECT_EQ(documentsGrid->model()->rowCount(), 4);
    EXPECT_EQ(cell(documentsGrid, 3, "Tip"), "BMC");
    EXPECT_EQ(documentsGrid->currentIndex().row(), 0);
}

TEST_F(RecordGridTest, AClosedDatasetShowsNothing) {
    lines.close();
    settle();
    EXPECT_EQ(linesGrid->model()->rowCount(), 0);
    lines.open();
    settle();
    EXPECT_EQ(linesGrid->model()->rowCount(), 1);
}

struct FixedCase {
    double value;
    int decimals;
    const char* text;
};

void PrintTo(const FixedCase& c, std::ostream* os) {
    *os << c.text;
}

class FormatFixed : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FormatFixed, GroupsThousandsWithTheRegionalSeparators) {
    EXPECT_EQ(host::formatFixed(GetParam().value, GetParam().decimals),
              QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    RecordGrid, FormatFixed,
    ::testing::Values(FixedCase{0, 2, "0,00"}, FixedCase{999, 2, "999,00"},
                      FixedCase{1234.5, 2, "1.234,50"}, FixedCase{585, 2, "585,00"},
                      FixedCase{-1234567.891, 2, "-1.234.567,89"}, FixedCase{-0.001, 2, "0,00"},
                      FixedCase{1000000, 0, "1.000.000"}, FixedCase{0.125, 1, "0,1"}),
    testsupport::ReadableName());

namespace {

// The grid over a stock larger than any window (12,000 records), driven with real keys.
class LargeStockGridTest : public ::testing::Test {
protected:
    static constexpr int kRecords = 12000;

    void SetUp() override {
        testsupport::CompanyBuilder builder(dir.path());
        db::Query fill;
        fill.setSession(&session);
        fill.setDatabaseName(QStringLiteral("FIRMA"));
        session.addAlias(QStringLiteral("FIRMA"), dir.path());
        fill.setSqlText(
            QStringLiteral(
                "INSERT INTO Stoc (Cod_gestiune, Cod_grupa, Cod_articol, Lot, Pret_achizitie, "
                "Cantitate) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                "WHERE i < %1) SELECT '01', 'MAT', printf('M%05d', i), 'L1', 1.5, i FROM n")
                .arg(kRecords));
        fill.execSql();
        stock.setSession(&session);
        stock.setDatabaseName(QStringLiteral("FIRMA"));
        stock.setTableName(QStringLiteral("Stoc.DB"));
        stock.open();
        window.resize(600, 400);
        auto* layout = new QVBoxLayout(&window);
        grid = new RecordGrid(&source, &window);
        layout->addWidget(grid);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
        grid->setFocus();
        rows = grid->model()->rowCount();
    }

    QString code() const { return stock.fieldByName(QStringLiteral("Cod_articol"))->asString(); }
    QString shownCode(int row) const {
        return grid->model()->index(row, grid->columnOf("Cod_articol")).data().toString();
    }
    static QString codeOf(int record) {
        return QStringLiteral("M%1").arg(record, 5, 10, QLatin1Char('0'));
    }

    testsupport::TempDir dir;
    db::Session session;
    db::Table stock;
    db::DataSource source{&stock};
    QWidget window;
    RecordGrid* grid = nullptr;
    int rows = 0; // rows that fit in the grid
};

struct KeyStep {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

struct NavigationCase {
    const char* name;
    std::vector<KeyStep> keys;
    // The record (1-based) the keys lead to and the row it shows on, given the rows that fit.
    int (*record)(int rows);
    int (*row)(int rows);
};

void PrintTo(const NavigationCase& c, std::ostream* os) {
    *os << c.name;
}

class LargeStockNavigation : public LargeStockGridTest,
                             public ::testing::WithParamInterface<NavigationCase> {};

} // namespace

TEST_F(LargeStockGridTest, OpensOnAWindowOfTheRowsThatFit) {
    ASSERT_GT(rows, 3);
    EXPECT_LT(rows, 40);
    EXPECT_EQ(shownCode(0), codeOf(1));
    EXPECT_EQ(shownCode(rows - 1), codeOf(rows));
    EXPECT_EQ(grid->currentIndex().row(), 0);
    EXPECT_EQ(grid->verticalScrollBar()->value(), grid->verticalScrollBar()->minimum());
}

TEST_P(LargeStockNavigation, MovesTheDatasetAndTheWindowFollows) {
    const NavigationCase& c = GetParam();
    for (const KeyStep& step : c.keys) {
        QTest::keyClick(grid, step.key, step.modifiers);
        QCoreApplication::processEvents();
    }
    const int record = c.record(rows);
    const int row = c.row(rows);
    EXPECT_EQ(code(), codeOf(record));
    EXPECT_EQ(grid->currentIndex().row(), row);
    EXPECT_EQ(grid->model()->rowCount(), rows);
    EXPECT_EQ(shownCode(row), codeOf(record));
    // The window holds consecutive records.
    EXPECT_EQ(shownCode(0), codeOf(record - row));
    EXPECT_EQ(shownCode(rows - 1), codeOf(record - row + rows - 1));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, LargeStockNavigation,
    ::testing::Values(NavigationCase{"CtrlEnd",
                                     {{Qt::Key_End, Qt::ControlModifier}},
                                     [](int) { return 12000; },
                                     [](int rows) { return rows - 1; }},
                      NavigationCase{"CtrlEndThenUp",
                                     {{Qt::Key_End, Qt::ControlModifier}, {Qt::Key_Up}},
                                     [](int) { return 11999; },
                                     [](int rows) { return rows - 2; }},
                      NavigationCase{
                          "CtrlEndThenCtrlHome",
                          {{Qt::Key_End, Qt::ControlModifier}, {Qt::Key_Home, Qt::ControlModifier}},
                          [](int) { return 1; },
                          [](int) { return 0; }},
                      NavigationCase{"PageDownTwice",
                                     {{Qt::Key_PageDown}, {Qt::Key_PageDown}},
                                     [](int rows) { return 1 + 2 * rows; },
                                     [](int rows) { return rows - 1; }},
                      NavigationCase{"DownAtTheLastRowScrollsByOne",
                                     {{Qt::Key_PageDown}, {Qt::Key_Down}},
                                     [](int rows) { return rows + 2; },
                                     [](int rows) { return rows - 1; }},
                      NavigationCase{"PageUpFromTheEnd",
                                     {{Qt::Key_End, Qt::ControlModifier}, {Qt::Key_PageUp}},
                                     [](int rows) { return 12000 - rows; },
                                     [](int) { return 0; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LargeStockGridTest, TheScrollBarAndTheWheelMoveTheDataset) {
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    QCoreApplication::processEvents();
    EXPECT_EQ(code(), codeOf(kRecords));
    EXPECT_EQ(shownCode(rows - 1), codeOf(kRecords));
    EXPECT_EQ(grid->verticalScrollBar()->value(), grid->verticalScrollBar()->maximum());

    const QPoint centre = grid->viewport()->rect().center();
    QWheelEvent up(centre, grid->viewport()->mapToGlobal(centre), QPoint(), QPoint(0, 120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(grid->viewport(), &up);
    QCoreApplication::processEvents();
    EXPECT_EQ(code(), codeOf(kRecords - RecordGrid::kWheelRecords));
    EXPECT_GT(grid->verticalScrollBar()->value(), grid->verticalScrollBar()->minimum());
    EXPECT_LT(grid->verticalScrollBar()->value(), grid->verticalScrollBar()->maximum());

    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    QCoreApplication::processEvents();
    EXPECT_EQ(code(), codeOf(1));
    EXPECT_EQ(grid->currentIndex().row(), 0);
}

TEST_F(LargeStockGridTest, AClickedRowBecomesTheCurrentRecord) {
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    const QRect rect = grid->visualRect(grid->model()->index(2, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
    QCoreApplication::processEvents();
    EXPECT_EQ(code(), codeOf(kRecords - rows + 3));
    EXPECT_EQ(grid->currentIndex().row(), 2);
}

TEST_F(LargeStockGridTest, AHigherGridHoldsMoreRows) {
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    window.resize(600, 700);
    QCoreApplication::processEvents();
    const int more = grid->model()->rowCount();
    EXPECT_GT(more, rows);
    EXPECT_EQ(shownCode(more - 1), codeOf(kRecords));
    EXPECT_EQ(grid->currentIndex().row(), more - 1);
}
