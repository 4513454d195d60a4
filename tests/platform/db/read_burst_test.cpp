// Reads inside a burst share one read lock of the company's file, taken by the first read and
// let go by the end of the outermost burst, by a write, or before the person is asked something;
// what is read and written inside one is what it is outside.
#include "db_fixture.h"

#include "platform/db/drivers/sqlite/connection.h"
#include "platform/db/read_burst.h"

#include <sqlite3.h>

#include <functional>

using namespace db;
using dbtest::DbFixture;

namespace {

class ReadBursts : public DbFixture {
protected:
    sqlite3* other = nullptr; // another user of the same file
    std::unique_ptr<Table> stock;

    void SetUp() override {
        DbFixture::SetUp();
        if (testsupport::onServer())
            GTEST_SKIP() << "a server keeps locks of its own";
        createStock();
        stock = table("Stoc.DB");
        stock->open();
        addStock(*stock, "01", "MAT", "M1", "L1", 1, 10);
        addStock(*stock, "01", "MAT", "M2", "L1", 1, 5);
        ASSERT_EQ(
            sqlite3_open(sqlite::Connection::fileNameFor(location).toUtf8().constData(), &other),
            SQLITE_OK);
    }
    void TearDown() override {
        stock.reset();
        sqlite3_close(other);
    }

    // Whether another user could write the file now, without waiting.
    bool otherCanWrite() {
        if (sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK)
            return false;
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        return true;
    }
    double quantity(const char* code) {
        return stock->sum("Cantitate", "Cod_articol", {QString::fromLatin1(code)});
    }
    // The quantity another user reads for an article.
    double quantitySeenByOther(const char* code) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(other, "SELECT TOTAL(Cantitate) FROM Stoc WHERE Cod_articol = ?1", -1,
                           &s, nullptr);
        sqlite3_bind_text(s, 1, code, -1, SQLITE_STATIC);
        sqlite3_step(s);
        const double q = sqlite3_column_double(s, 0);
        sqlite3_finalize(s);
        return q;
    }
};

TEST_F(ReadBursts, ReadsHoldOneLockToTheEndOfTheOutermostBurst) {
    ASSERT_TRUE(otherCanWrite());
    {
        const ReadBurst outer;
        EXPECT_TRUE(otherCanWrite()) << "nothing is locked before the first read";
        EXPECT_EQ(quantity("M1"), 10);
        EXPECT_FALSE(otherCanWrite());
        {
            const ReadBurst inner;
            EXPECT_EQ(quantity("M2"), 5);
        }
        EXPECT_FALSE(otherCanWrite()) << "an inner burst's end keeps the outer one's lock";
        EXPECT_EQ(quantity("M1"), 10);
    }
    EXPECT_TRUE(otherCanWrite());
}

// Whatever ends the hold inside a burst lets the lock go at once; a read after it takes it again.
struct Release {
    const char* name;
    std::function<void(Database&, Table& stock)> act;
    double m1After; // M1's quantity afterwards, for this connection and another user alike
};

class ReadBurstRelease : public ReadBursts, public ::testing::WithParamInterface<Release> {};

TEST_P(ReadBurstRelease, LetsTheLockGoAndAWriteIsCommittedAtOnce) {
    const ReadBurst burst;
    EXPECT_EQ(quantity("M1"), 10);
    ASSERT_FALSE(otherCanWrite());
    GetParam().act(*database, *stock);
    EXPECT_TRUE(otherCanWrite());
    EXPECT_EQ(quantitySeenByOther("M1"), GetParam().m1After) << "committed, not held back";
    EXPECT_EQ(quantity("M1"), GetParam().m1After);
    EXPECT_FALSE(otherCanWrite()) << "the next read takes the lock again";
}

INSTANTIATE_TEST_SUITE_P(
    Burst, ReadBurstRelease,
    ::testing::Values(Release{"AQuestionToThePerson", [](Database&, Table&) { ReadBurst::letGo(); },
                              10},
                      Release{"APost",
                              [](Database&, Table& stock) {
                                  stock.first();
                                  stock.edit();
                                  stock.fieldByName("Cantitate")->setAsFloat(7);
                                  stock.post();
                              },
                              7},
                      Release{"ATransaction",
                              [](Database& d, Table& stock) {
                                  d.transaction([&] {
                                      stock.append();
                                      for (auto [field, value] :
                                           {std::pair{"Cod_gestiune", QVariant("01")},
                                            {"Cod_grupa", "MAT"},
                                            {"Cod_articol", "M1"},
                                            {"Lot", "L2"},
                                            {"Pret_achizitie", 1.0},
                                            {"Cantitate", 4.0}})
                                          stock.fieldByName(field)->setValue(value);
                                      stock.post();
                                  });
                              },
                              14},
                      Release{"AChangeOfStructure",
                              [](Database& d, Table&) {
                                  d.createTable({"Alta.DB", {{"Cod", FieldType::Text, 8}}, {}});
                              },
                              10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReadBursts, AFailedReadAndAClosedDatabaseStillEndTheBurst) {
    try {
        const ReadBurst burst;
        EXPECT_EQ(quantity("M1"), 10);
        // The company opened by another session, read and closed inside the burst.
        {
            Session otherSession;
            otherSession.addAlias(QStringLiteral("ALTA"), location);
            Database again(QStringLiteral("ALTA"), &otherSession);
            Table t("Stoc.DB");
            t.setSession(&otherSession);
            t.setDatabaseName(QStringLiteral("ALTA"));
            t.setTableName(QStringLiteral("Stoc.DB"));
            t.open();
            EXPECT_EQ(t.recordCount(), 2);
        }
        stock->fieldByName("Nimic");
    } catch (const base::DatabaseError&) {
    }
    EXPECT_TRUE(otherCanWrite());
}

} // namespace
