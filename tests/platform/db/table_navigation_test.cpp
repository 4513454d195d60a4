#include "db_fixture.h"

#include "platform/db/data_source.h"

using namespace db;
using dbtest::DbFixture;
using Kind = base::DatabaseError::Kind;

namespace {

class TableNavigation : public DbFixture {};

TEST_F(TableNavigation, OpenRefusesMissingTableAndMismatchedFields) {
    createStock();
    auto missing = table("Nimic.DB");
    missing->addField("Cod", FieldType::Text, 30);
    EXPECT_EQ(dbtest::errorKind([&] { missing->open(); }), Kind::TableNotFound);
    EXPECT_FALSE(missing->isActive());

    struct Case {
        const char* field;
        FieldType type;
        int size;
    };
    for (const Case& c :
         {Case{"Cod_necunoscut", FieldType::Text, 30}, Case{"Cantitate", FieldType::Text, 10},
          Case{"Cod_articol", FieldType::Text, 20}}) {
        auto t = table("Stoc.DB");
        t->addField(c.field, c.type, c.size);
        try {
            t->open();
            ADD_FAILURE() << c.field << " opened";
        } catch (const base::DatabaseError& e) {
            EXPECT_EQ(e.kind(), Kind::FieldMismatch);
            EXPECT_TRUE(e.message().contains(c.field)) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains("Stoc.DB")) << e.message().toStdString();
        }
        EXPECT_FALSE(t->isActive());
    }
}

TEST_F(TableNavigation, TableNamesIgnoreExtensionAndCase) {
    createStock();
    for (const char* name : {"Stoc.DB", "stoc.db", "STOC", "Stoc"}) {
        auto t = table(name);
        t->open();
        EXPECT_TRUE(t->isEmpty()) << name;
    }
}

TEST_F(TableNavigation, WalksPrimaryOrderAcrossPagesBothWays) {
    createStock();
    auto t = table("Stoc.DB");
    t->open();
    // Inserted out of order, with an empty group (null) that must sort first.
    QStringList expected;
    for (int i = 99; i >= 0; --i)
        addStock(*t, "01", i % 10 == 0 ? QString() : QStringLiteral("G%1").arg(i % 3),
                 QStringLiteral("A%1").arg(i, 3, 10, QChar('0')), QString(), 1.5, i);
    t->close();
    t->open();
    EXPECT_EQ(t->recordCount(), 100);
    QStringList forward, backward;
    QString lastKey;
    for (t->first(); !t->eof(); t->next()) {
        const QString key = t->fieldByName("Cod_grupa")->asString() + " " +
                            t->fieldByName("Cod_articol")->asString();
        if (!lastKey.isNull()) {
            EXPECT_LT(lastKey, key);
        }
        lastKey = key;
        forward << key;
    }
    EXPECT_EQ(forward.size(), 100);
    EXPECT_TRUE(forward.first().startsWith(" ")) << "empty group sorts first";
    for (t->last(); !t->bof(); t->prior())
        backward.prepend(t->fieldByName("Cod_grupa")->asString() + " " +
                         t->fieldByName("Cod_articol")->asString());
    EXPECT_EQ(forward, backward);
    t->first();
    EXPECT_TRUE(t->bof());
    EXPECT_EQ(t->moveBy(150), 99);
    EXPECT_EQ(t->moveBy(-5), -5);
}

TEST_F(TableNavigation, SecondaryIndexOrderKeepsDuplicatesInEntryOrder) {
    createStock();
    auto t = table("Stoc.DB");
    t->open();
    addStock(*t, "02", "MAT", "M1", "L2", 2, 3);
    addStock(*t, "01", "MAT", "M1", "L1", 1, 4);
    addStock(*t, "01", "AUX", "M1", "L9", 1, 1);
    addStock(*t, "03", "MAT", "M1", "L3", 3, 2.5);
    t->close();
    t->setIndexFieldNames("Cod_grupa;Cod_articol");
    t->open();
    EXPECT_EQ(column(*t, "Lot"), (QStringList{"L9", "L2", "L1", "L3"}));
    auto bad = table("Stoc.DB", "Lot");
    EXPECT_TRUE(dbtest::errorKind([&] { bad->open(); }).has_value());
}

TEST_F(TableNavigation, KeySearchesExactNearestAndLocate) {
    createStock();
    auto t = table("Stoc.DB", "Cod_grupa;Cod_articol");
    t->open();
    addStock(*t, "01", "MAT", "M100", "", 1, 4);
    addStock(*t, "02", "MAT", "M100", "", 1, 3);
    addStock(*t, "01", "MAT", "M200", "", 1, 1);
    addStock(*t, "01", "SEM", "S1", "", 1, 1);
    EXPECT_TRUE(t->findKey({"MAT", "M100"}));
    EXPECT_EQ(t->fieldByName("Cod_gestiune")->asString(), "01");
    EXPECT_FALSE(t->findKey({"MAT", "m100"})) << "key search is case-sensitive";
    EXPECT_EQ(t->fieldByName("Cod_articol")->asString(), "M100") << "a failed search does not move";
    t->findNearest({"MAT", "M15"});
    EXPECT_EQ(t->fieldByName("Cod_articol")->asString(), "M200");
    t->findNearest({"R"});
    EXPECT_EQ(t->fieldByName("Cod_articol")->asString(), "S1");
    t->findNearest({"ZZZ"});
    EXPECT_TRUE(t->eof());

    EXPECT_TRUE(t->locate("Cod_Grupa;Cod_articol", {"MAT", "M200"}));
    EXPECT_EQ(t->fieldByName("Cod_articol")->asString(), "M200");
    EXPECT_FALSE(t->locate("Cod_Grupa;Cod_articol", {"mat", "M200"}));
    EXPECT_TRUE(t->locate("Cod_grupa", {"mat"}, {.caseInsensitive = true}));
    EXPECT_TRUE(t->locate("Cod_articol", {"M2"}, {.partialKey = true}));
    EXPECT_EQ(t->fieldByName("Cod_articol")->asString(), "M200");
    EXPECT_FALSE(t->locate("Cod_articol", {QString(31, 'x')}))
        << "a value too long for the field matches nothing";
}

TEST_F(TableNavigation, FilterHidesRecordsFromNavigationSearchesAndCounts) {
    createStock();
    auto t = table("Stoc.DB");
    t->open();
    for (int i = 0; i < 70; ++i)
        addStock(*t, "01", "G",
                 QStringLiteral("%1%2").arg(i % 2 ? "M" : "P").arg(i, 2, 10, QChar('0')), "", 1, 1);
    t->onFilterRecord = [](DataSet& d, bool& accept) {
        accept = d.fieldByName("Cod_articol")->asString().startsWith('M');
    };
    t->setFiltered(true);
    EXPECT_EQ(t->recordCount(), 35);
    EXPECT_EQ(column(*t, "Cod_articol").filter("P").size(), 0);
    EXPECT_FALSE(t->locate("Cod_articol", {"P04"}));
    EXPECT_TRUE(t->locate("Cod_articol", {"M05"}));
    EXPECT_EQ(t->lookup("Cod_articol", {"P04"}, "Cantitate"), QVariant());
    t->setFiltered(false);
    EXPECT_EQ(t->recordCount(), 70);
}

TEST_F(TableNavigation, BookmarksReturnAndReportDeletedRecords) {
    createStock();
    auto t = table("Stoc.DB");
    t->open();
    addStock(*t, "01", "G", "A", "", 1, 1);
    addStock(*t, "01", "G", "B", "", 1, 2);
    addStock(*t, "01", "G", "C", "", 1, 3);
    t->locate("Cod_articol", {"B"});
    const Bookmark b = t->bookmark();
    t->first();
    t->gotoBookmark(b);
    EXPECT_EQ(t->fieldByName("Cod_articol")->asString(), "B");
    t->remove();
    EXPECT_EQ(t->fieldByName("Cod_articol")->asString(), "C") << "stands on the following record";
    EXPECT_FALSE(t->bookmarkValid(b));
    EXPECT_EQ(dbtest::errorKind([&] { t->gotoBookmark(b); }), Kind::RecordNotFound);
    t->remove();
    EXPECT_EQ(t->fieldByName("Cod_articol")->asString(), "A")
        << "the last record's deletion goes back";
    t->remove();
    EXPECT_TRUE(t->isEmpty());
}

TEST_F(TableNavigation, ReadsTheRecordsBeforeTheCurrentOneWithoutMoving) {
    createStock();
    auto t = table("Stoc.DB");
    t->addCalculatedField("Dublu", FieldType::Float);
    int computed = 0;
    t->onCalcFields = [&](DataSet& d) {
        ++computed;
        d.fieldByName("Dublu")->setAsFloat(d.fieldByName("Cantitate")->asFloat() * 2);
    };
    t->open();
    for (int i = 1; i <= 8; ++i)
        addStock(*t, "01", "G", QStringLiteral("A%1").arg(i), "", 1, i);
    t->onFilterRecord = [](DataSet& d, bool& accept) {
        accept = d.fieldByName("Cantitate")->asFloat() != 3;
    };
    t->setFiltered(true);
    t->first();
    t->moveBy(4);
    ASSERT_EQ(t->fieldByName("Cod_articol")->asString(), "A6");

    auto codes = [&](std::vector<RecordBuffer>& rows) {
        QStringList out;
        for (RecordBuffer& r : rows)
            t->withRecordAsRead(r, [&] {
                out << t->fieldByName("Cod_articol")->asString() + "=" +
                           t->fieldByName("Dublu")->asString();
            });
        return out;
    };
    auto three = t->readBehind(3);
    EXPECT_EQ(codes(three), (QStringList{"A5=10", "A4=8", "A2=4"}))
        << "nearest first, filter applied";
    auto all = t->readBehind(10);
    EXPECT_EQ(codes(all), (QStringList{"A5=10", "A4=8", "A2=4", "A1=2"}));
    EXPECT_EQ(t->fieldByName("Cod_articol")->asString(), "A6") << "the cursor stays";

    // Read as it is: a value put into the buffer is what the fields see, nothing is recomputed.
    RecordBuffer row = three[0];
    row.values[t->fieldByName("Dublu")->index()] = 99.0;
    const int before = computed;
    t->withRecordAsRead(row, [&] { EXPECT_EQ(t->fieldByName("Dublu")->asFloat(), 99); });
    EXPECT_EQ(computed, before);
    t->withRecord(row, [&] { EXPECT_EQ(t->fieldByName("Dublu")->asFloat(), 10); });

    t->first();
    EXPECT_TRUE(t->readBehind(5).empty());
    t->last();
    t->insert();
    EXPECT_TRUE(t->readBehind(5).empty()) << "a new record has no place yet";
    t->cancel();
    EXPECT_EQ(t->readBehind(1).size(), 1u);
}

} // namespace
