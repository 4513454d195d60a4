#include "db_fixture.h"

#include "platform/db/controls_disabled.h"
#include "platform/db/drivers/sqlite/connection.h"

#include <QProcess>
#include <memory>
#include <set>
#include <vector>

using namespace db;
using dbtest::DbFixture;
using Kind = base::DatabaseError::Kind;

namespace {

class Transactions : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        database->createTable({"COUNTER.DB", {{"NewCounterOut", FieldType::Float}}, {}});
        auto c = table("COUNTER");
        c->open();
        c->append();
        c->fieldByName("NewCounterOut")->setAsFloat(100);
        c->post();
        createStock();
    }
};

TEST_F(Transactions, JournalModeFollowsTheLibrarysWalFix) {
    if (testsupport::onServer())
        GTEST_SKIP() << "a server keeps its own journal";
    EXPECT_FALSE(sqlite::Connection::walIsSafe(3040001));
    EXPECT_FALSE(sqlite::Connection::walIsSafe(3051002));
    EXPECT_TRUE(sqlite::Connection::walIsSafe(3051003));
    EXPECT_TRUE(sqlite::Connection::walIsSafe(3044006));
    EXPECT_FALSE(sqlite::Connection::walIsSafe(3045000));
    EXPECT_TRUE(sqlite::Connection::walIsSafe(3050007));
    const QString expected =
        sqlite::Connection::walIsSafe(sqlite3_libversion_number()) ? "wal" : "delete";
    ASSERT_EQ(database->connection().driver(), Connection::Driver::Sqlite);
    EXPECT_EQ(static_cast<sqlite::Connection&>(database->connection()).journalMode(), expected);
}

TEST_F(Transactions, AFailedStepRollsBackEveryTable) {
    auto counter = table("COUNTER");
    auto stock = table("Stoc");
    counter->open();
    stock->open();
    addStock(*stock, "01", "MAT", "M1", "", 1, 10);
    EXPECT_THROW(database->transaction([&] {
        counter->edit();
        counter->fieldByName("NewCounterOut")->setAsFloat(101);
        counter->post();
        stock->edit();
        stock->fieldByName("Cantitate")->setAsFloat(4);
        stock->post();
        addStock(*stock, "01", "MAT", "M1", "", 1, 3); // duplicate key: the whole document fails
    }),
                 base::DatabaseError);
    stock->cancel();
    EXPECT_EQ(counter->fieldByName("NewCounterOut")->asFloat(), 100)
        << "the dataset re-read the rolled-back record";
    auto fresh = table("Stoc");
    fresh->open();
    EXPECT_EQ(fresh->recordCount(), 1);
    EXPECT_EQ(fresh->fieldByName("Cantitate")->asFloat(), 10);
}

TEST_F(Transactions, TwoConnectionsEditingOneRecordNeverOverwrite) {
    Session otherUser;
    otherUser.addAlias("TESTDB", location);
    auto mine = table("COUNTER");
    auto theirs = table("COUNTER");
    theirs->setSession(&otherUser);
    mine->open();
    theirs->open();
    mine->edit();
    theirs->edit();
    theirs->fieldByName("NewCounterOut")->setAsFloat(200);
    theirs->post();
    mine->fieldByName("NewCounterOut")->setAsFloat(101);
    EXPECT_EQ(dbtest::errorKind([&] { mine->post(); }), Kind::RecordChanged);
    EXPECT_EQ(mine->state(), DataSetState::Edit);
    mine->cancel();
    mine->refresh();
    EXPECT_EQ(mine->fieldByName("NewCounterOut")->asFloat(), 200);

    mine->edit();
    theirs->remove();
    mine->fieldByName("NewCounterOut")->setAsFloat(1);
    EXPECT_EQ(dbtest::errorKind([&] { mine->post(); }), Kind::RecordDeleted);
}

// Every process takes counters in transactions of its own at the same time: each value is
// taken once, and together they are 1..processes*each with no gap.
void takeCountersInProcesses(const QString& location, int processes, int each) {
    const QString worker = QStringLiteral(LUMBRA_COUNTER_WORKER);
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int i = 0; i < processes; ++i) {
        workers.push_back(std::make_unique<QProcess>());
        workers.back()->start(worker, {location, QString::number(each)});
    }
    std::set<long> values;
    size_t taken = 0;
    for (auto& p : workers) {
        ASSERT_TRUE(p->waitForFinished(300000));
        ASSERT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        for (const QByteArray& line : p->readAllStandardOutput().split('\n'))
            if (!line.isEmpty()) {
                values.insert(line.toLong());
                ++taken;
            }
    }
    const size_t total = size_t(processes) * size_t(each);
    ASSERT_EQ(taken, total);
    ASSERT_EQ(values.size(), total) << "a value was taken twice";
    EXPECT_EQ(*values.begin(), 1);
    EXPECT_EQ(*values.rbegin(), long(total));
}

TEST_F(Transactions, TwoProcessesTakeDistinctContiguousCounters) {
    auto counter = table("COUNTER");
    counter->open();
    counter->edit();
    counter->fieldByName("NewCounterOut")->setAsFloat(0);
    counter->post();
    counter->close();
    takeCountersInProcesses(location, 2, 1000);
}

TEST_F(Transactions, EightProcessesTakeDistinctContiguousCounters) {
    auto counter = table("COUNTER");
    counter->open();
    counter->edit();
    counter->fieldByName("NewCounterOut")->setAsFloat(0);
    counter->post();
    counter->close();
    takeCountersInProcesses(location, 8, 250);
}

} // namespace

// The controls of a dataset come back on however a scope that switched them off is left, and
// the sources hear once that the records may have changed.
TEST_F(Transactions, ControlsComeBackOnWhenAScopeEndsByAnError) {
    auto stock = table("Stoc");
    stock->open();
    addStock(*stock, "01", "MAT", "M1", "", 1, 10);
    EXPECT_THROW(
        {
            const db::ControlsDisabled quiet(*stock);
            EXPECT_TRUE(stock->controlsDisabled());
            addStock(*stock, "01", "MAT", "M1", "", 1, 3); // duplicate key
        },
        base::DatabaseError);
    EXPECT_FALSE(stock->controlsDisabled());
    stock->cancel();
    {
        const db::ControlsDisabled outer(*stock);
        { const db::ControlsDisabled inner(*stock); }
        EXPECT_TRUE(stock->controlsDisabled());
    }
    EXPECT_FALSE(stock->controlsDisabled());
}
