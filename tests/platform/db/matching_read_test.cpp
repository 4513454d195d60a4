// Reading the records of many keys with one statement, and writing records that are not the
// current one: what each list of values answers, that a changed or deleted record is refused,
// and that a posted record is shown as written and walked from correctly without being read
// back.
#include "db_fixture.h"

#include "platform/db/connection.h"

#include <vector>

using namespace db;
using dbtest::DbFixture;

namespace {

// "warehouse/article/lot" of each record.
QStringList labels(Table& t, std::vector<RecordBuffer>& records) {
    QStringList out;
    for (RecordBuffer& r : records)
        t.withRecordAsRead(r, [&] {
            out << t.fieldByName("Cod_gestiune")->asString() + "/" +
                       t.fieldByName("Cod_articol")->asString() + "/" +
                       t.fieldByName("Lot")->asString();
        });
    return out;
}

class MatchingFixture : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        createStock();
        auto t = table("Stoc.DB");
        t->open();
        // Entered out of key order, so that key order and order of entry differ.
        addStock(*t, "G2", "MAT", "M001", "L1", 1, 0);
        addStock(*t, "G1", "MAT", "M001", "L2", 2, 3);
        addStock(*t, "G1", "MAT", "M001", "L1", 1, 5);
        addStock(*t, "G1", "MAT", "M002", "L1", 1, 7);
        addStock(*t, "G1", "AUX", "M001", "L1", 1, 2);
    }
};

struct MatchCase {
    const char* name;
    const char* fields;
    QList<QVariantList> lists;
    QList<QStringList> want;    // per list, in the table's order
    const char* prefixLot = ""; // a prefix condition on Lot
    bool filterOutL2 = false;   // a filter that hides lot L2
};
void PrintTo(const MatchCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadMatching : public MatchingFixture, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(ReadMatching, AnswersTheRecordsInViewOfEachListInOrder) {
    const MatchCase& c = GetParam();
    auto t = table("Stoc.DB");
    t->open();
    if (*c.prefixLot)
        t->setPrefixCondition({{"Lot", c.prefixLot}});
    if (c.filterOutL2) {
        t->onFilterRecord = [](DataSet& d, bool& accept) {
            accept = d.fieldByName("Lot")->asString() != "L2";
        };
        t->setFiltered(true);
    }
    t->first();
    const QString before = t->fieldByName("Lot")->asString();
    auto found = t->readMatching(c.fields, c.lists);
    ASSERT_EQ(int(found.size()), c.want.size());
    for (int i = 0; i < c.want.size(); ++i)
        EXPECT_EQ(labels(*t, found[size_t(i)]), c.want[i]) << "list " << i;
    EXPECT_EQ(t->fieldByName("Lot")->asString(), before) << "the cursor does not move";
}

const QStringList kM001{"G1/M001/L1", "G1/M001/L2", "G2/M001/L1"};

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadMatching,
    ::testing::Values(
        MatchCase{"OneMaterialInKeyOrder", "Cod_grupa;Cod_articol", {{"MAT", "M001"}}, {kM001}},
        MatchCase{"SeveralMaterialsEachInItsPlace",
                  "Cod_grupa;Cod_articol",
                  {{"MAT", "M002"}, {"MAT", "M001"}, {"AUX", "M001"}},
                  {{"G1/M002/L1"}, kM001, {"G1/M001/L1"}}},
        MatchCase{"AMaterialWithoutStockMatchesNothing",
                  "Cod_grupa;Cod_articol",
                  {{"MAT", "M999"}, {"MAT", "M002"}},
                  {{}, {"G1/M002/L1"}}},
        MatchCase{"TheSameListTwiceAnswersBoth",
                  "Cod_grupa;Cod_articol",
                  {{"MAT", "M002"}, {"MAT", "M002"}},
                  {{"G1/M002/L1"}, {"G1/M002/L1"}}},
        MatchCase{"AValueTheFieldCannotHoldMatchesNothing",
                  "Cod_grupa;Cod_articol",
                  {{"MAT", QString(31, 'M')}, {"MAT", "M002"}},
                  {{}, {"G1/M002/L1"}}},
        MatchCase{"ANumberComparesAsANumber",
                  "Cod_articol;Pret_achizitie",
                  {{"M001", 2}, {"M001", "1"}},
                  {{"G1/M001/L2"}, {"G1/M001/L1", "G1/M001/L1", "G2/M001/L1"}}},
        MatchCase{"AnEmptyNumberMatchesTheRecordsWithoutOne",
                  "Cod_articol;Pret_achizitie",
                  {{"M001", QVariant()}, {"M002", 1}},
                  {{}, {"G1/M002/L1"}}},
        MatchCase{"NoListsNoRecords", "Cod_grupa;Cod_articol", {}, {}},
        MatchCase{"ThePrefixConditionApplies",
                  "Cod_grupa;Cod_articol",
                  {{"MAT", "M001"}},
                  {{"G1/M001/L1", "G2/M001/L1"}},
                  "L1"},
        MatchCase{"TheFilterApplies",
                  "Cod_grupa;Cod_articol",
                  {{"MAT", "M001"}},
                  {{"G1/M001/L1", "G2/M001/L1"}},
                  "",
                  true}),
    [](const ::testing::TestParamInfo<MatchCase>& info) { return std::string(info.param.name); });

TEST_F(MatchingFixture, ManyListsAreReadWithOneStatementKeptForTheNextRead) {
    auto t = table("Stoc.DB");
    t->open();
    for (int i = 0; i < 300; ++i)
        addStock(*t, "G3", "BIG", QStringLiteral("B%1").arg(i, 3, 10, QChar('0')), "L1", 1, i);
    auto lists = [](int count) {
        QList<QVariantList> out;
        for (int i = count - 1; i >= 0; --i)
            out << QVariantList{"BIG", QStringLiteral("B%1").arg(i, 3, 10, QChar('0'))};
        return out;
    };
    Connection& c = database->connection();
    auto before = c.statementCounts();
    auto found = t->readMatching("Cod_grupa;Cod_articol", lists(300));
    EXPECT_EQ(c.statementCounts().executed - before.executed, 1u);
    ASSERT_EQ(found.size(), 300u);
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(found[size_t(i)].size(), 1u);
        t->withRecordAsRead(found[size_t(i)][0],
                            [&] { EXPECT_EQ(t->fieldByName("Cantitate")->asFloat(), 299 - i); });
    }
    // A read of a few lists fewer is padded to the same statement.
    before = c.statementCounts();
    found = t->readMatching("Cod_grupa;Cod_articol", lists(290));
    EXPECT_EQ(c.statementCounts().executed - before.executed, 1u);
    EXPECT_EQ(c.statementCounts().prepared, before.prepared);
    EXPECT_EQ(found.size(), 290u);
}

// A visit takes records list after list and may stop a list early; the records it writes as it
// goes are written once, and the lists after them are still read whole.
TEST_F(MatchingFixture, AVisitTakesWhatItWantsOfEachListAndMayWriteAsItGoes) {
    auto t = table("Stoc.DB");
    t->open();
    Field* quantity = t->fieldByName("Cantitate");
    // Two records of a list at most, then one.
    for (const auto& [wanted, visited] :
         {std::pair{2, QStringList{"0 G1/M001/L1", "0 G1/M001/L2", "1 G1/M002/L1", "2 G1/M001/L1"}},
          std::pair{1, QStringList{"0 G1/M001/L1", "1 G1/M002/L1", "2 G1/M001/L1"}}}) {
        QStringList seen;
        int taken = 0, last = -1;
        Database& d = t->database();
        d.transaction([&] {
            t->visitMatching("Cod_grupa;Cod_articol",
                             {{"MAT", "M001"}, {"MAT", "M002"}, {"AUX", "M001"}, {"MAT", "M9"}},
                             [&](int list, RecordBuffer& rec) {
                                 if (list != last)
                                     taken = 0;
                                 last = list;
                                 std::vector<RecordBuffer> one{rec};
                                 seen << QString::number(list) + " " + labels(*t, one).first();
                                 RecordBuffer changed = rec;
                                 changed.values[quantity->index()] = quantity->convert(
                                     rec.values[quantity->index()].toDouble() + 1);
                                 t->writeRecord(rec, changed);
                                 return ++taken < wanted;
                             });
        });
        EXPECT_EQ(seen, visited) << wanted << " a list";
    }
    // Each record visited was raised by one at every visit.
    ASSERT_TRUE(t->findKey({"G1", "MAT", "M001", "L1", 1.0}));
    EXPECT_EQ(quantity->asFloat(), 7);
    ASSERT_TRUE(t->findKey({"G1", "MAT", "M001", "L2", 2.0}));
    EXPECT_EQ(quantity->asFloat(), 4);
    ASSERT_TRUE(t->findKey({"G2", "MAT", "M001", "L1", 1.0}));
    EXPECT_EQ(quantity->asFloat(), 0) << "never visited";
}

// ---- writing a record that is not the current one ----

// Lower: the quantity only; Relot: the lot (a key field) and the quantity; Same: nothing changes.
enum class Write { Lower, Relot, Same, Delete };
// Changed: the quantity; PriceChanged: a field the write does not change.
enum class Meanwhile { Nothing, Changed, PriceChanged, Deleted };

struct WriteCase {
    const char* name;
    Write write;
    Meanwhile meanwhile;
    base::DatabaseError::Kind refused; // InvalidState when nothing is refused
    QStringList left;                  // "lot quantity" of MAT M001 in G1 afterwards
};
void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

class WriteRecord : public MatchingFixture, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteRecord, WritesOnlyTheRecordAsItWasRead) {
    const WriteCase& c = GetParam();
    auto t = table("Stoc.DB");
    t->open();
    auto found = t->readMatching("Cod_grupa;Cod_articol", {{"MAT", "M001"}});
    ASSERT_EQ(found[0].size(), 3u);
    RecordBuffer original = found[0][0]; // G1 L1 5

    // Another user, through a connection of its own.
    db::Session otherSession;
    otherSession.addAlias(QStringLiteral("TESTDB"), location);
    Table other(QStringLiteral("Other"));
    other.setSession(&otherSession);
    other.setDatabaseName(QStringLiteral("TESTDB"));
    other.setTableName(QStringLiteral("Stoc.DB"));
    other.open();
    ASSERT_TRUE(other.findKey({"G1", "MAT", "M001", "L1", 1.0}));
    if (c.meanwhile == Meanwhile::Changed || c.meanwhile == Meanwhile::PriceChanged) {
        other.edit();
        if (c.meanwhile == Meanwhile::Changed)
            other.fieldByName("Cantitate")->setAsFloat(4);
        else
            other.fieldByName("Pret_achizitie")->setAsFloat(1.25);
        other.post();
    } else if (c.meanwhile == Meanwhile::Deleted) {
        other.remove();
    }

    Field* quantity = t->fieldByName("Cantitate");
    RecordBuffer changed = original;
    if (c.write != Write::Same)
        changed.values[quantity->index()] = quantity->convert(1.5);
    if (c.write == Write::Relot)
        changed.values[t->fieldByName("Lot")->index()] = QStringLiteral("L3");
    base::DatabaseError::Kind kind = base::DatabaseError::Kind::InvalidState;
    try {
        if (c.write == Write::Delete)
            t->deleteRecord(original);
        else
            t->writeRecord(original, changed);
    } catch (const base::DatabaseError& e) {
        kind = e.kind();
    }
    EXPECT_EQ(kind, c.refused);

    auto fresh = table("Stoc.DB");
    fresh->open();
    fresh->setPrefixCondition({{"Cod_gestiune", "G1"}, {"Cod_articol", "M001"}});
    QStringList left;
    for (fresh->first(); !fresh->eof(); fresh->next())
        if (fresh->fieldByName("Cod_grupa")->asString() == "MAT")
            left << fresh->fieldByName("Lot")->asString() + " " +
                        QString::number(fresh->fieldByName("Cantitate")->asFloat());
    EXPECT_EQ(left, c.left);
}

using Kind = base::DatabaseError::Kind;
INSTANTIATE_TEST_SUITE_P(Cases, WriteRecord,
                         ::testing::Values(WriteCase{"LowersAnUnchangedRecord",
                                                     Write::Lower,
                                                     Meanwhile::Nothing,
                                                     Kind::InvalidState,
                                                     {"L1 1.5", "L2 3"}},
                                           WriteCase{"MovesARecordToAnotherLot",
                                                     Write::Relot,
                                                     Meanwhile::Nothing,
                                                     Kind::InvalidState,
                                                     {"L2 3", "L3 1.5"}},
                                           WriteCase{"WritesARecordWithNothingChanged",
                                                     Write::Same,
                                                     Meanwhile::Nothing,
                                                     Kind::InvalidState,
                                                     {"L1 5", "L2 3"}},
                                           WriteCase{"RefusesALotMoveOfARecordChangedMeanwhile",
                                                     Write::Relot,
                                                     Meanwhile::Changed,
                                                     Kind::RecordChanged,
                                                     {"L1 4", "L2 3"}},
                                           WriteCase{"RefusesToLowerARecordWhosePriceChanged",
                                                     Write::Lower,
                                                     Meanwhile::PriceChanged,
                                                     Kind::RecordChanged,
                                                     {"L1 5", "L2 3"}},
                                           WriteCase{"DeletesAnUnchangedRecord",
                                                     Write::Delete,
                                                     Meanwhile::Nothing,
                                                     Kind::InvalidState,
                                                     {"L2 3"}},
                                           WriteCase{"RefusesToLowerARecordChangedMeanwhile",
                                                     Write::Lower,
                                                     Meanwhile::Changed,
                                                     Kind::RecordChanged,
                                                     {"L1 4", "L2 3"}},
                                           WriteCase{"RefusesToDeleteARecordChangedMeanwhile",
                                                     Write::Delete,
                                                     Meanwhile::Changed,
                                                     Kind::RecordChanged,
                                                     {"L1 4", "L2 3"}},
                                           WriteCase{"RefusesToLowerARecordDeletedMeanwhile",
                                                     Write::Lower,
                                                     Meanwhile::Deleted,
                                                     Kind::RecordDeleted,
                                                     {"L2 3"}},
                                           WriteCase{"RefusesToDeleteARecordDeletedMeanwhile",
                                                     Write::Delete,
                                                     Meanwhile::Deleted,
                                                     Kind::RecordDeleted,
                                                     {"L2 3"}}),
                         [](const ::testing::TestParamInfo<WriteCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(MatchingFixture, ARecordWrittenAsidePutsTheReadWrittenRecordInHand) {
    auto t = table("Stoc.DB");
    t->open();
    auto found = t->readMatching("Cod_grupa;Cod_articol", {{"MAT", "M002"}});
    ASSERT_EQ(found[0].size(), 1u);
    RecordBuffer& rec = found[0][0];
    Field* quantity = t->fieldByName("Cantitate");
    for (double q : {6.0, 2.25, 0.0}) {
        RecordBuffer changed = rec;
        changed.values[quantity->index()] = quantity->convert(q);
        t->writeRecord(rec, changed);
        rec = changed; // the next write is guarded by what the last one stored
    }
    ASSERT_TRUE(t->findKey({"G1", "MAT", "M002", "L1", 1.0}));
    EXPECT_EQ(quantity->asFloat(), 0);
    RecordBuffer other = rec;
    other.id = rec.id + 1000;
    EXPECT_THROW(t->writeRecord(rec, other), base::DatabaseError) << "a record over another one";
}

// ---- a posted record is shown as written ----

struct PostCase {
    const char* name;
    bool insert;
    const char* article; // the edited record's new article, or the new record's
    const char* next;    // the article after it in key order, "" at the end
    const char* prior;   // the article before it, "" at the start
};
void PrintTo(const PostCase& c, std::ostream* os) {
    *os << c.name;
}

class PostShownAsWritten : public DbFixture, public ::testing::WithParamInterface<PostCase> {};

TEST_P(PostShownAsWritten, WalksFromThePostedRecordInItsNewPlace) {
    const PostCase& c = GetParam();
    createStock();
    {
        auto t = table("Stoc.DB");
        t->open();
        for (const char* article : {"A", "C", "E", "G"})
            addStock(*t, "G1", "MAT", article, "L1", 1, 1);
    }
    // Posts on a freshly opened table and moves one record forwards or backwards at once.
    auto postAndMove = [&](bool forward) {
        auto t = table("Stoc.DB");
        t->open();
        if (c.insert) {
            t->first();
            addStock(*t, "G1", "MAT", c.article, "L1", 1, 9);
        } else {
            EXPECT_TRUE(t->findKey({"G1", "MAT", "C"}));
            t->edit();
            t->fieldByName("Cod_articol")->setAsString(c.article);
            t->fieldByName("Cantitate")->setAsFloat(9);
            t->post();
        }
        EXPECT_EQ(t->fieldByName("Cod_articol")->asString(), c.article);
        EXPECT_EQ(t->fieldByName("Cantitate")->asFloat(), 9);
        EXPECT_EQ(t->fieldByName("Lot")->value().typeId(), QMetaType::QString)
            << "values as a read gives them";
        forward ? t->next() : t->prior();
        const bool end = forward ? t->eof() : t->bof();
        const QString at = end ? QString() : t->fieldByName("Cod_articol")->asString();
        // Back as it was for the other direction.
        auto fix = table("Stoc.DB");
        fix->open();
        EXPECT_TRUE(fix->findKey({"G1", "MAT", c.article}));
        if (c.insert) {
            fix->remove();
        } else {
            fix->edit();
            fix->fieldByName("Cod_articol")->setAsString("C");
            fix->fieldByName("Cantitate")->setAsFloat(1);
            fix->post();
        }
        return at;
    };
    EXPECT_EQ(postAndMove(true), c.next);
    EXPECT_EQ(postAndMove(false), c.prior);
}

INSTANTIATE_TEST_SUITE_P(Cases, PostShownAsWritten,
                         ::testing::Values(PostCase{"EditedInPlace", false, "D", "E", "A"},
                                           PostCase{"EditedToTheEnd", false, "Z", "", "G"},
                                           PostCase{"EditedToTheStart", false, "0", "A", ""},
                                           PostCase{"InsertedBetween", true, "B", "C", "A"},
                                           PostCase{"InsertedAtTheEnd", true, "H", "", "G"}),
                         [](const ::testing::TestParamInfo<PostCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
