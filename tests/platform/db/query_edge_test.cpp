// A query dataset at its edges: walking its rows both ways from both ends, bookmarks to its first
// and last rows and past them, a new text keeping the values of parameters it still names, and a
// declared field its result does not have.
#include "db_fixture.h"

#include "platform/db/query.h"

using namespace db;
using dbtest::DbFixture;
using Kind = base::DatabaseError::Kind;

namespace {

class QueryRows : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        createStock();
        auto t = table("Stoc.DB");
        t->open();
        for (const char* lot : {"L2", "L3", "L1"})
            addStock(*t, "G1", "MAT", "M100", lot, 1, 4);
        q.setSession(&session);
        q.setDatabaseName("TESTDB");
        q.setSql({"SELECT Lot, Cantitate FROM \"Stoc.DB\"", "WHERE Lot >= :Prag ORDER BY Lot"});
        q.paramByName("Prag").setValue(QStringLiteral("L1"));
    }
    QString lot() const { return q.fieldByName("Lot")->asString(); }
    Query q{QStringLiteral("Q")};
};

TEST_F(QueryRows, WalkBothWaysFromBothEndsAndStopAtEach) {
    q.open();
    EXPECT_EQ(column(q, "Lot"), (QStringList{"L1", "L2", "L3"}));
    QStringList backward;
    for (q.last(); !q.bof(); q.prior())
        backward.prepend(lot());
    EXPECT_EQ(backward, (QStringList{"L1", "L2", "L3"}));
    q.prior();
    EXPECT_EQ(lot(), "L1") << "nothing before the first row";
    q.last();
    q.next();
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(lot(), "L3") << "nothing after the last row";
    EXPECT_EQ(q.recordCount(), 3);
}

TEST_F(QueryRows, BookmarksReturnToTheFirstAndLastRowsAndNoFurther) {
    q.open();
    q.last();
    const Bookmark last = q.bookmark();
    q.first();
    const Bookmark first = q.bookmark();
    q.gotoBookmark(last);
    EXPECT_EQ(lot(), "L3");
    q.gotoBookmark(first);
    EXPECT_EQ(lot(), "L1");
    EXPECT_TRUE(q.bookmarkValid(last));
    EXPECT_FALSE(q.bookmarkValid(Bookmark{last.id + 1}));
    EXPECT_EQ(dbtest::errorKind([&] { q.gotoBookmark(Bookmark{last.id + 1}); }),
              Kind::RecordNotFound);
    EXPECT_EQ(lot(), "L1") << "a bookmark past the last row leaves the cursor";
    EXPECT_EQ(dbtest::errorKind([&] { q.insert(); }), Kind::InvalidState)
        << "a query's rows are read only";
    EXPECT_EQ(dbtest::errorKind([&] { q.remove(); }), Kind::InvalidState);
}

TEST_F(QueryRows, ANewTextClosesTheQueryAndKeepsTheValuesOfTheParametersItStillNames) {
    q.open();
    q.setSql({"SELECT Lot FROM \"Stoc.DB\"", "WHERE Lot > :prag AND Lot < :Sus ORDER BY Lot"});
    EXPECT_FALSE(q.isActive());
    EXPECT_EQ(q.paramByName("PRAG").value().toString(), "L1")
        << "the same parameter in another letter case";
    EXPECT_FALSE(q.paramByName("Sus").value().isValid()) << "a new parameter starts empty";
    q.paramByName("Sus").setValue(QStringLiteral("L3"));
    q.open();
    EXPECT_EQ(column(q, "Lot"), QStringList{"L2"}) << "between the two, both excluded";
    q.setSqlText("SELECT Lot FROM \"Stoc.DB\" WHERE Lot = :Alt");
    EXPECT_THROW(q.paramByName("Prag"), base::DatabaseError)
        << "a parameter no longer named is gone";
}

TEST_F(QueryRows, ADeclaredFieldTheResultDoesNotHaveIsRefused) {
    q.addField("Lot", FieldType::Text, 30);
    q.addField("Pret", FieldType::Float);
    EXPECT_THROW(q.open(), base::DatabaseError);
    EXPECT_FALSE(q.isActive());
}

TEST_F(QueryRows, LocateFindsARowThatExistsAndNoneBetweenBeforeOrAfter) {
    q.open();
    q.last();
    EXPECT_TRUE(q.locate("Lot", {"L2"}));
    EXPECT_EQ(lot(), "L2");
    for (const char* missing : {"L15", "L0", "L9"}) {
        EXPECT_FALSE(q.locate("Lot", {missing})) << missing;
        EXPECT_EQ(lot(), "L2") << "a failed search leaves the cursor";
    }
    EXPECT_TRUE(q.locate("Lot;Cantitate", {"L3", 4.0}));
    EXPECT_EQ(lot(), "L3");
    EXPECT_FALSE(q.locate("Lot", {QVariant()})) << "an empty value matches no row that has one";
    EXPECT_EQ(q.lookup("Lot", {"L1"}, "Cantitate").toDouble(), 4.0);
    EXPECT_FALSE(q.lookup("Lot", {"L4"}, "Cantitate").isValid());
}

} // namespace
