// A server connection lost in the middle of an explicit transaction. The caller catches the first
// error and tries another write in the same transaction: that write fails as well, nothing of
// the transaction reaches the company, and once the transaction is given up the next operation
// connects again. Runs on the test server only.
#include "db_fixture.h"

#include "platform/db/drivers/postgres/connection.h"
#include "tests/support/qt_print.h"

#include <functional>

using namespace db;
using dbtest::DbFixture;
using Kind = base::DatabaseError::Kind;

namespace {

// What the caller tries after catching the first error. A write must meet the lost connection
// again; a commit may also be refused because the transaction can only be rolled back.
struct SecondAttempt {
    const char* name;
    std::function<void(Table& stock, Database& database)> run;
    bool isCommit = false;
};

void PrintTo(const SecondAttempt& a, std::ostream* os) {
    *os << a.name;
}

class ConnectionLossFixture : public DbFixture {
protected:
    std::unique_ptr<Table> stock;

    void SetUp() override {
        if (!testsupport::onServer())
            GTEST_SKIP() << "a connection to a database server";
        DbFixture::SetUp();
        createStock();
        stock = table("Stoc", "Cod_gestiune;Cod_grupa;Cod_articol;Lot;Pret_achizitie");
        stock->open();
        addStock(*stock, "01", "MAT", "M1", "L1", 2, 10);
    }

    // Ends this program's server session from another connection, and waits until it is gone.
    void loseTheConnection() {
        auto& mine = static_cast<postgres::Connection&>(database->connection());
        PGresult* r = mine.run("SELECT pg_backend_pid()");
        const QByteArray pid = PQgetvalue(r, 0, 0);
        PQclear(r);
        postgres::Connection other(location);
        r = other.run("SELECT pg_terminate_backend(" + pid + ", 10000)");
        ASSERT_EQ(QByteArray(PQgetvalue(r, 0, 0)), "t") << "the session was not ended";
        PQclear(r);
    }

    // "warehouse lot quantity" of every stock record, read by another user.
    QStringList storedStock() {
        Session otherUser;
        otherUser.addAlias(QStringLiteral("TESTDB"), location);
        auto fresh = table("Stoc", "Cod_gestiune;Cod_grupa;Cod_articol;Lot;Pret_achizitie");
        fresh->setSession(&otherUser);
        fresh->open();
        QStringList out;
        for (fresh->first(); !fresh->eof(); fresh->next())
            out << QStringLiteral("%1 %2 %3")
                       .arg(fresh->fieldByName("Cod_gestiune")->asString(),
                            fresh->fieldByName("Lot")->asString())
                       .arg(fresh->fieldByName("Cantitate")->asFloat());
        return out;
    }
};

class ConnectionLoss : public ConnectionLossFixture,
                       public ::testing::WithParamInterface<SecondAttempt> {};

TEST_P(ConnectionLoss, TheErrorRepeatsAndNothingIsWritten) {
    database->startTransaction();
    addStock(*stock, "01", "MAT", "M1", "L2", 2, 5); // written before the loss
    loseTheConnection();

    EXPECT_EQ(dbtest::errorKind([&] { addStock(*stock, "01", "MAT", "M1", "L3", 2, 1); }),
              Kind::NotConnected);
    stock->cancel();
    // The caller goes on in the same transaction.
    std::optional<Kind> second = dbtest::errorKind([&] { GetParam().run(*stock, *database); });
    ASSERT_TRUE(second.has_value()) << "the second attempt must fail as the first did";
    if (!GetParam().isCommit) {
        EXPECT_EQ(second, Kind::NotConnected);
    }
    if (stock->state() != DataSetState::Browse)
        stock->cancel();
    database->rollback();
    EXPECT_FALSE(database->inTransaction());

    EXPECT_EQ(storedStock(), QStringList{"01 L1 10"}) << "nothing of the transaction is written";

    // Given up, the transaction no longer stands in the way: the next write connects again.
    stock->refresh();
    addStock(*stock, "01", "MAT", "M1", "L4", 2, 3);
    EXPECT_EQ(storedStock(), (QStringList{"01 L1 10", "01 L4 3"}));
}

INSTANTIATE_TEST_SUITE_P(
    Attempts, ConnectionLoss,
    ::testing::Values(SecondAttempt{"AnotherNewRecord",
                                    [](Table& stock, Database&) {
                                        stock.append();
                                        stock.fieldByName("Cod_gestiune")->setAsString("02");
                                        stock.fieldByName("Cod_grupa")->setAsString("MAT");
                                        stock.fieldByName("Cod_articol")->setAsString("M9");
                                        stock.fieldByName("Cantitate")->setAsFloat(4);
                                        stock.post();
                                    }},
                      SecondAttempt{"ChangeAnExistingRecord",
                                    [](Table& stock, Database&) {
                                        stock.first();
                                        stock.edit();
                                        stock.fieldByName("Cantitate")->setAsFloat(1);
                                        stock.post();
                                    }},
                      SecondAttempt{"DeleteAnExistingRecord",
                                    [](Table& stock, Database&) {
                                        stock.first();
                                        stock.remove();
                                    }},
                      SecondAttempt{"CommitWhatIsLeft",
                                    [](Table&, Database& database) { database.commit(); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The same inside Database::transaction(): the function swallows the first error and writes
// again; the transaction as a whole fails and leaves the company as it was.
using ConnectionLossInTransaction = ConnectionLossFixture;

TEST_F(ConnectionLossInTransaction, AFunctionThatSwallowsTheErrorStillFails) {
    bool firstFailed = false;
    const auto run = [&] {
        database->transaction([&] {
            stock->first();
            stock->edit();
            stock->fieldByName("Cantitate")->setAsFloat(7);
            stock->post();
            loseTheConnection();
            try {
                addStock(*stock, "01", "MAT", "M1", "L5", 2, 1);
            } catch (const base::DatabaseError&) {
                firstFailed = true;
                stock->cancel();
            }
            addStock(*stock, "01", "MAT", "M1", "L6", 2, 1);
        });
    };
    EXPECT_EQ(dbtest::errorKind(run), Kind::NotConnected);
    EXPECT_TRUE(firstFailed);
    EXPECT_FALSE(database->inTransaction());
    EXPECT_EQ(storedStock(), QStringList{"01 L1 10"});
}

} // namespace
