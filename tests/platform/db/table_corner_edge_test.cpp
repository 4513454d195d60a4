// Corners of a table dataset: the order chosen when several indexes begin with the same field,
// an empty key for a nearest search, a search or lookup by a calculated field, bookmarks in each
// state, reading ahead and behind where there is nothing to read, and a declared field of the
// wrong type named in the refusal.
#include "db_fixture.h"

using namespace db;
using dbtest::DbFixture;
using Kind = base::DatabaseError::Kind;

namespace {

// "Lin.DB": Cod text(4), Grupa text(4), Nr integer; a non-unique index on Grupa and a unique one
// on Grupa then Cod. Records (B, K1, 3), (A, K2, 1), (A, K1, 2), entered in that order.
class TableCorners : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        database->createTable({QStringLiteral("Lin.DB"),
                               {{QStringLiteral("Cod"), FieldType::Text, 4},
                                {QStringLiteral("Grupa"), FieldType::Text, 4},
                                {QStringLiteral("Nr"), FieldType::Integer}},
                               {{QStringLiteral("Grupe"), {QStringLiteral("Grupa")}, false, false},
                                {QStringLiteral("GrupaCod"),
                                 {QStringLiteral("Grupa"), QStringLiteral("Cod")},
                                 false,
                                 true}}});
        t = table("Lin.DB");
        t->open();
        for (auto [grupa, cod, nr] :
             {std::tuple{"B", "K1", 3}, std::tuple{"A", "K2", 1}, std::tuple{"A", "K1", 2}}) {
            t->append();
            t->fieldByName("Grupa")->setAsString(grupa);
            t->fieldByName("Cod")->setAsString(cod);
            t->fieldByName("Nr")->setAsInteger(nr);
            t->post();
        }
    }
    QString at() const {
        return t->fieldByName("Grupa")->asString() + t->fieldByName("Cod")->asString();
    }
    std::unique_ptr<Table> t;
};

TEST_F(TableCorners, OfTwoIndexesBeginningWithTheFieldsTheUniqueOneGivesTheOrder) {
    t->close();
    t->setIndexFieldNames("grupa");
    t->open();
    EXPECT_EQ(column(*t, "Cod"), (QStringList{"K1", "K2", "K1"}))
        << "group, then code: A K1, A K2, B K1";
    EXPECT_TRUE(t->findKey({"A"}));
    EXPECT_EQ(at(), "AK1");
}

TEST_F(TableCorners, AnEmptyNearestKeyIsTheFirstRecord) {
    t->close();
    t->setIndexFieldNames("Grupa");
    t->open();
    t->last();
    t->findNearest({});
    EXPECT_EQ(at(), "AK1");
    EXPECT_FALSE(t->eof());
}

TEST_F(TableCorners, SearchesAndLookupsByACalculatedField) {
    t->close();
    t->addField("Cod", FieldType::Text, 4);
    t->addField("Grupa", FieldType::Text, 4);
    t->addField("Nr", FieldType::Integer);
    t->addCalculatedField("Eticheta", FieldType::Text, 8);
    t->onCalcFields = [](DataSet& d) {
        d.fieldByName("Eticheta")
            ->setAsString(d.fieldByName("Grupa")->asString() + "-" +
                          d.fieldByName("Cod")->asString());
    };
    t->open();
    EXPECT_EQ(t->lookup("Eticheta", {"A-K2"}, "Nr").toInt(), 1);
    EXPECT_FALSE(t->lookup("Eticheta", {"A-K3"}, "Nr").isValid()) << "between two labels";
    EXPECT_FALSE(t->lookup("Eticheta", {"0"}, "Nr").isValid()) << "before the first";
    EXPECT_FALSE(t->lookup("Eticheta", {"Z"}, "Nr").isValid()) << "after the last";
    EXPECT_TRUE(t->locate("Eticheta", {"B-K1"}));
    EXPECT_EQ(at(), "BK1");
    EXPECT_EQ(t->sum("Nr", "Grupa", {"A"}), 3.0);
    EXPECT_EQ(t->sum("Nr", "Nr", {"doi"}), 0.0) << "a value the field cannot hold matches nothing";
}

TEST_F(TableCorners, BookmarksInEachState) {
    t->first();
    const Bookmark browsing = t->bookmark();
    EXPECT_TRUE(browsing.isValid());
    t->edit();
    EXPECT_EQ(t->bookmark().id, browsing.id) << "a record in edit keeps its bookmark";
    t->cancel();
    t->insert();
    EXPECT_FALSE(t->bookmark().isValid()) << "a new record has none yet";
    t->cancel();
    EXPECT_FALSE(t->bookmarkValid(Bookmark{})) << "an empty bookmark";
    t->close();
    EXPECT_FALSE(t->bookmarkValid(browsing)) << "on a closed table";
}

TEST_F(TableCorners, NothingIsReadAheadOrBehindWhereThereIsNothing) {
    t->first();
    EXPECT_TRUE(t->readBehind(5).empty()) << "before the first";
    EXPECT_TRUE(t->readAhead(0).empty()) << "a count of none";
    EXPECT_EQ(t->readAhead(1).size(), 1u) << "the current record alone";
    EXPECT_EQ(t->readAhead(10).size(), 3u) << "no further than the last";
    t->last();
    EXPECT_EQ(t->readBehind(10).size(), 2u);
    t->insert();
    EXPECT_TRUE(t->readAhead(3).empty()) << "a new record has no place in the order yet";
    t->cancel();
    t->close();
    EXPECT_TRUE(t->readAhead(3).empty());
    EXPECT_TRUE(t->readBehind(3).empty());
}

TEST_F(TableCorners, ADeclaredFieldOfAnotherTypeIsNamedWithBothTypes) {
    auto wrong = table("Lin.DB");
    wrong->addField("Nr", FieldType::Date);
    try {
        wrong->open();
        ADD_FAILURE() << "opened";
    } catch (const base::DatabaseError& e) {
        EXPECT_EQ(e.kind(), Kind::FieldMismatch);
        EXPECT_TRUE(e.message().contains("integer")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("date")) << e.message().toStdString();
    }
    EXPECT_FALSE(wrong->isActive());
}

TEST_F(TableCorners, MoreMasterFieldsThanTheIndexHasAreRefused) {
    auto master = table("Lin.DB");
    master->open();
    DataSource source(master.get());
    auto detail = table("Lin.DB");
    detail->setIndexFieldNames("Grupa");
    detail->setMasterSource(&source);
    detail->setMasterFields("Grupa;Cod;Nr");
    EXPECT_THROW(detail->open(), base::DatabaseError);
    EXPECT_FALSE(detail->isActive());
}

TEST_F(TableCorners, EmptyingAClosedTableAndCreatingOneFromItsDefinitions) {
    t->close();
    t->emptyTable();
    t->open();
    EXPECT_TRUE(t->isEmpty());
    auto n = table("Alt.DB");
    n->fieldDefs() = {{QStringLiteral("Cod"), FieldType::Text, 4}};
    n->indexDefs() = {{QString(), {QStringLiteral("Cod")}, true, true}};
    n->createTable();
    n->open();
    n->append();
    n->fieldByName("Cod")->setAsString("X");
    n->post();
    n->append();
    n->fieldByName("Cod")->setAsString("X");
    EXPECT_EQ(dbtest::errorKind([&] { n->post(); }), Kind::KeyViolation)
        << "the primary index came along";
}

} // namespace
