// The dataset's events and refusals at the edges: which events each operation fires and in what
// order (none from a step that cannot be taken), every request the dataset refuses in its state,
// and operations on a table whose records or order change while it is open.
#include "db_fixture.h"

#include <functional>

using namespace db;
using dbtest::DbFixture;
using Kind = base::DatabaseError::Kind;

namespace {

// "Art.DB": Cod text(6) key, Pret float with an index. Records A (Pret 2) and B (Pret 1).
class ArticleTable : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        database->createTable(
            {QStringLiteral("Art.DB"),
             {{QStringLiteral("Cod"), FieldType::Text, 6},
              {QStringLiteral("Pret"), FieldType::Float}},
             {{QString(), {QStringLiteral("Cod")}, true, true},
              {QStringLiteral("Preturi"), {QStringLiteral("Pret")}, false, false}}});
        t = table("Art.DB");
        t->open();
        add("A", 2);
        add("B", 1);
        t->first();
    }
    void add(const char* cod, double pret) {
        t->append();
        t->fieldByName("Cod")->setAsString(cod);
        t->fieldByName("Pret")->setAsFloat(pret);
        t->post();
    }
    QString cod() const { return t->fieldByName("Cod")->asString(); }
    std::unique_ptr<Table> t;
};

// ---- events ----

struct Operation {
    const char* name;
    std::function<void(Table&)> prepare; // before the events are heard
    std::function<void(Table&)> run;
    QStringList events;
};
void PrintTo(const Operation& o, std::ostream* os) {
    *os << o.name;
}

class DataSetEvents : public ArticleTable, public ::testing::WithParamInterface<Operation> {};

TEST_P(DataSetEvents, FireInOrderAndOnlyForWhatHappens) {
    const Operation& o = GetParam();
    if (o.prepare)
        o.prepare(*t);
    QStringList heard;
    auto hear = [&heard](const char* name) {
        return [&heard, name](DataSet&) { heard << QString::fromLatin1(name); };
    };
    t->beforeOpen = hear("beforeOpen");
    t->afterOpen = hear("afterOpen");
    t->beforeClose = hear("beforeClose");
    t->afterClose = hear("afterClose");
    t->beforeInsert = hear("beforeInsert");
    t->afterInsert = hear("afterInsert");
    t->beforeEdit = hear("beforeEdit");
    t->afterEdit = hear("afterEdit");
    t->beforePost = hear("beforePost");
    t->afterPost = hear("afterPost");
    t->beforeCancel = hear("beforeCancel");
    t->afterCancel = hear("afterCancel");
    t->beforeDelete = hear("beforeDelete");
    t->afterDelete = hear("afterDelete");
    t->afterScroll = hear("afterScroll");
    t->onNewRecord = hear("onNewRecord");
    o.run(*t);
    EXPECT_EQ(heard, o.events);
    t.reset(); // closes while the list its events write to still exists
}

INSTANTIATE_TEST_SUITE_P(
    Engine, DataSetEvents,
    ::testing::Values(
        Operation{"Open",
                  [](Table& t) { t.close(); },
                  [](Table& t) { t.open(); },
                  {"beforeOpen", "afterOpen", "afterScroll"}},
        Operation{"Close", {}, [](Table& t) { t.close(); }, {"beforeClose", "afterClose"}},
        Operation{"Insert",
                  {},
                  [](Table& t) { t.insert(); },
                  {"beforeInsert", "onNewRecord", "afterInsert"}},
        Operation{"PostANewRecord",
                  [](Table& t) {
                      t.insert();
                      t.fieldByName("Cod")->setAsString("C");
                  },
                  [](Table& t) { t.post(); },
                  {"beforePost", "afterPost"}},
        Operation{"Edit", {}, [](Table& t) { t.edit(); }, {"beforeEdit", "afterEdit"}},
        Operation{"EditWhileEditing", [](Table& t) { t.edit(); }, [](Table& t) { t.edit(); }, {}},
        Operation{"CancelAnEdit",
                  [](Table& t) { t.edit(); },
                  [](Table& t) { t.cancel(); },
                  {"beforeCancel", "afterCancel"}},
        Operation{"CancelInBrowse", {}, [](Table& t) { t.cancel(); }, {}},
        Operation{"PostInBrowse", {}, [](Table& t) { t.post(); }, {}},
        Operation{"Delete",
                  {},
                  [](Table& t) { t.remove(); },
                  {"beforeDelete", "afterDelete", "afterScroll"}},
        Operation{"DeleteWhileInsertingCancels",
                  [](Table& t) { t.insert(); },
                  [](Table& t) { t.remove(); },
                  {"beforeCancel", "afterCancel"}},
        Operation{"NextFromTheFirst", {}, [](Table& t) { t.next(); }, {"afterScroll"}},
        Operation{"PriorFromTheFirst", {}, [](Table& t) { t.prior(); }, {}},
        Operation{"NextFromTheLast", [](Table& t) { t.last(); }, [](Table& t) { t.next(); }, {}},
        Operation{"First", {}, [](Table& t) { t.first(); }, {"afterScroll"}},
        Operation{"NavigatingPostsAChange",
                  [](Table& t) {
                      t.edit();
                      t.fieldByName("Pret")->setAsFloat(5);
                  },
                  [](Table& t) { t.next(); },
                  {"beforePost", "afterPost", "afterScroll"}},
        Operation{"NavigatingDropsAnUntouchedNewRecord",
                  [](Table& t) { t.insert(); },
                  [](Table& t) { t.first(); },
                  {"beforeCancel", "afterCancel", "afterScroll"}},
        Operation{"EditingAnEmptyTableInserts",
                  [](Table& t) {
                      t.remove();
                      t.remove();
                  },
                  [](Table& t) { t.edit(); },
                  {"beforeInsert", "onNewRecord", "afterInsert"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- refusals ----

struct Refusal {
    const char* name;
    std::function<void(Table&)> request;
    Kind kind;
};
void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class DataSetRefusal : public ArticleTable, public ::testing::WithParamInterface<Refusal> {};

TEST_P(DataSetRefusal, SaysWhyAndChangesNothing) {
    const Refusal& r = GetParam();
    EXPECT_EQ(dbtest::errorKind([&] { r.request(*t); }), r.kind);
    if (t->isActive()) {
        EXPECT_EQ(t->state(), DataSetState::Browse);
    }
    auto reader = table("Art.DB");
    reader->open();
    EXPECT_EQ(column(*reader, "Cod"), (QStringList{"A", "B"}));
}

INSTANTIATE_TEST_SUITE_P(
    Engine, DataSetRefusal,
    ::testing::Values(
        Refusal{"AFieldAddedToTheOpenTable",
                [](Table& t) { t.addField("Nou", FieldType::Text, 6); }, Kind::InvalidState},
        Refusal{"AFieldOfTheSameName",
                [](Table&) {
                    Table other;
                    other.addField("Cod", FieldType::Text, 6);
                    other.addField("cod", FieldType::Text, 6);
                },
                Kind::General},
        Refusal{"AnUnknownField", [](Table& t) { t.fieldByName("Nimic"); }, Kind::General},
        Refusal{"LocateWithTooFewValues", [](Table& t) { t.locate("Cod;Pret", {"A"}); },
                Kind::General},
        Refusal{"FindAnEmptyKey", [](Table& t) { t.findKey({}); }, Kind::General},
        Refusal{"FindAKeyLongerThanTheIndex",
                [](Table& t) {
                    t.findKey({"A", 1});
                },
                Kind::General},
        Refusal{"NearestKeyLongerThanTheIndex",
                [](Table& t) {
                    t.findNearest({"A", 1});
                },
                Kind::General},
        Refusal{"SumWithTooManyValues",
                [](Table& t) {
                    t.sum("Pret", "Cod", {"A", "B"});
                },
                Kind::General},
        Refusal{"DeleteFromAnEmptyView",
                [](Table& t) {
                    t.onFilterRecord = [](DataSet&, bool& accept) { accept = false; };
                    t.setFiltered(true);
                    t.remove();
                },
                Kind::InvalidState},
        Refusal{"PostOnAClosedTable",
                [](Table& t) {
                    t.close();
                    t.post();
                },
                Kind::InvalidState},
        Refusal{"EditAClosedTable",
                [](Table& t) {
                    t.close();
                    t.edit();
                },
                Kind::InvalidState},
        Refusal{"InsertIntoAClosedTable",
                [](Table& t) {
                    t.close();
                    t.insert();
                },
                Kind::InvalidState},
        Refusal{"DeleteFromAClosedTable",
                [](Table& t) {
                    t.close();
                    t.remove();
                },
                Kind::InvalidState},
        Refusal{"MoveOnAClosedTable",
                [](Table& t) {
                    t.close();
                    t.next();
                },
                Kind::InvalidState},
        Refusal{"AValueSetWhileBrowsing", [](Table& t) { t.fieldByName("Pret")->setAsFloat(3); },
                Kind::InvalidState},
        Refusal{"AValueOfAReadOnlyField",
                [](Table& t) {
                    t.fieldByName("Pret")->setReadOnly(true);
                    t.edit();
                    try {
                        t.fieldByName("Pret")->setAsFloat(3);
                    } catch (...) {
                        t.cancel();
                        throw;
                    }
                },
                Kind::InvalidState},
        Refusal{"ANewRecordItsEventRefuses",
                [](Table& t) {
                    t.onNewRecord = [](DataSet&) { throw base::DatabaseError("no"); };
                    t.insert();
                },
                Kind::General}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- changes under an open table ----

class OpenTableChanges : public ArticleTable {};

TEST_F(OpenTableChanges, ANewOrderKeepsTheCurrentRecord) {
    t->last(); // B, last by code
    t->setIndexFieldNames("Pret");
    EXPECT_EQ(cod(), "B") << "the same record, now first by price";
    t->first();
    EXPECT_EQ(cod(), "B");
    EXPECT_TRUE(t->findKey({1.0}));
    EXPECT_EQ(cod(), "B");
    t->findNearest({1.5});
    EXPECT_EQ(cod(), "A") << "a number between two prices";
    t->findNearest({3});
    EXPECT_TRUE(t->eof()) << "a price after the last";
}

TEST_F(OpenTableChanges, EmptyingTheOpenTableEmptiesItsView) {
    t->emptyTable();
    EXPECT_TRUE(t->isEmpty());
    EXPECT_EQ(t->recordCount(), 0);
    add("C", 3);
    EXPECT_EQ(column(*t, "Cod"), QStringList{"C"});
}

TEST_F(OpenTableChanges, ARefreshAfterTheCurrentRecordWasDeletedStandsOnTheNext) {
    Session otherUser;
    otherUser.addAlias("TESTDB", location);
    auto theirs = table("Art.DB");
    theirs->setSession(&otherUser);
    theirs->open();
    ASSERT_EQ(cod(), "A");
    theirs->remove(); // A
    EXPECT_EQ(dbtest::errorKind([&] { t->edit(); }), Kind::RecordDeleted)
        << "editing starts from the stored record";
    EXPECT_EQ(t->state(), DataSetState::Browse);
    t->refresh();
    EXPECT_EQ(cod(), "B");
    theirs->remove(); // B
    t->refresh();
    EXPECT_TRUE(t->isEmpty());
}

TEST_F(OpenTableChanges, LookupOfSeveralFieldsAndLocateOnACalculatedOne) {
    t->close();
    t->addField("Cod", FieldType::Text, 6);
    t->addField("Pret", FieldType::Float);
    t->addCalculatedField("Dublu", FieldType::Float);
    t->onCalcFields = [](DataSet& d) {
        d.fieldByName("Dublu")->setAsFloat(d.fieldByName("Pret")->asFloat() * 2);
    };
    t->open();
    const QVariantList both = t->lookup("Cod", {"B"}, "Cod;Pret").toList();
    EXPECT_EQ(both, (QVariantList{QString("B"), 1.0}));
    EXPECT_EQ(t->lookup("Cod", {"B"}, "Dublu").toDouble(), 2.0)
        << "a calculated result is computed";
    EXPECT_TRUE(t->locate("Dublu", {4.0}));
    EXPECT_EQ(cod(), "A");
    EXPECT_FALSE(t->locate("Dublu", {3.0}));
}

TEST_F(OpenTableChanges, ATableCreatedFromItsDeclaredFields) {
    auto n = table("Nou.DB");
    n->addField("Cod", FieldType::Text, 4)->setRequired(true);
    n->addField("Cant", FieldType::Float);
    n->createTable();
    EXPECT_TRUE(n->exists());
    n->open();
    n->append();
    n->fieldByName("Cant")->setAsFloat(1);
    EXPECT_THROW(n->post(), base::DatabaseError) << "the required field came along";
    n->fieldByName("Cod")->setAsString("X");
    n->post();
    n->close();
    n->deleteTable();
    EXPECT_FALSE(n->exists());
}

} // namespace
