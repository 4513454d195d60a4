// Connecting to a company's database and its transactions at the edges: a directory that is not
// there, not a directory, or holds something else under the database's file name; a commit with
// nothing begun; nested transactions that end only with the outermost one.
#include "db_fixture.h"

#include <QDir>
#include <QFile>

using namespace db;
using dbtest::DbFixture;
using Kind = base::DatabaseError::Kind;

namespace {

struct Place {
    const char* name;
    const char* path; // under the test's directory; nullptr: no PATH at all
    Kind kind;
};
void PrintTo(const Place& p, std::ostream* os) {
    *os << p.name;
}

class DatabasePlace : public ::testing::TestWithParam<Place> {
protected:
    testsupport::TempDir dir;
};

TEST_P(DatabasePlace, IsRefusedWithItsReasonAndLeavesNoConnection) {
    const Place& p = GetParam();
    QFile(dir.path() + "/fisier").open(QIODevice::WriteOnly);
    QDir(dir.path()).mkpath("ocupat/tables.sqlite"); // a folder where the database file belongs
    Session session;
    Database d("FIRMA", &session);
    if (p.path)
        d.params() = {QStringLiteral("PATH=") + dir.path() + "/" + QString::fromLatin1(p.path)};
    EXPECT_EQ(dbtest::errorKind([&] { d.open(); }), p.kind);
    EXPECT_FALSE(d.isConnected());
}

INSTANTIATE_TEST_SUITE_P(Engine, DatabasePlace,
                         ::testing::Values(Place{"NoDirectoryGiven", nullptr, Kind::NotConnected},
                                           Place{"DirectoryNotThere", "nimic", Kind::NotConnected},
                                           Place{"AFileNotADirectory", "fisier",
                                                 Kind::NotConnected},
                                           Place{"DatabaseFileIsAFolder", "ocupat", Kind::General}),
                         [](const auto& info) { return std::string(info.param.name); });

class DatabaseTransactions : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        createStock();
    }
    int stored() {
        auto reader = table("Stoc.DB");
        reader->open();
        return reader->recordCount();
    }
};

TEST_F(DatabaseTransactions, ACommitWithNothingBegunIsRefused) {
    EXPECT_EQ(dbtest::errorKind([&] { database->commit(); }), Kind::InvalidState);
    EXPECT_FALSE(database->inTransaction());
    database->rollback(); // nothing to undo: no fault either
    EXPECT_FALSE(database->inTransaction());
}

TEST_F(DatabaseTransactions, NestedTransactionsEndWithTheOutermost) {
    auto t = table("Stoc.DB");
    t->open();
    database->startTransaction();
    database->startTransaction();
    addStock(*t, "G1", "MAT", "M100", "L1", 1, 1);
    database->commit(); // the inner one
    EXPECT_TRUE(database->inTransaction());
    database->rollback();
    EXPECT_FALSE(database->inTransaction());
    EXPECT_EQ(stored(), 0) << "the outer rollback undoes what the inner commit kept";

    database->startTransaction();
    database->startTransaction();
    addStock(*t, "G1", "MAT", "M100", "L2", 1, 1);
    database->commit();
    database->commit();
    EXPECT_FALSE(database->inTransaction());
    EXPECT_EQ(stored(), 1);
}

TEST_F(DatabaseTransactions, ClosingTheDatabaseUndoesItsOpenTransaction) {
    auto t = table("Stoc.DB");
    t->open();
    database->startTransaction();
    addStock(*t, "G1", "MAT", "M100", "L1", 1, 1);
    database->close();
    EXPECT_FALSE(t->isActive()) << "its tables close with it";
    EXPECT_EQ(stored(), 0);
}

} // namespace
