// A prefix condition on a table: the records in view are those whose fields start with the
// typed texts, read by key range from the database, whatever the direction of travel, across
// page boundaries, and for searches and counts alike.
#include "db_fixture.h"

#include "platform/base/cp1250.h"

#include <algorithm>

using namespace db;
using dbtest::DbFixture;

namespace {

struct Condition {
    const char* name;
    const char* warehouse;
    const char* group;
    const char* article;
    int records; // in view
    const char* first;
    const char* last;
};
void PrintTo(const Condition& c, std::ostream* os) {
    *os << c.name;
}

// Stock over three warehouses: G01 and G02 with 20 materials each in groups MPA and MPF, and H01
// with a few; the warehouse G01 alone holds more records than a page the table reads at once.
class PrefixCondition : public DbFixture, public ::testing::WithParamInterface<Condition> {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        createStock();
        auto t = table(QStringLiteral("Stoc.DB"));
        t->open();
        for (const char* gest : {"G02", "G01"})
            for (int i = 19; i >= 0; --i)
                for (const char* grupa : {"MPF", "MPA"})
                    addStock(*t, QString::fromLatin1(gest), QString::fromLatin1(grupa),
                             QStringLiteral("M%1").arg(i, 3, 10, QLatin1Char('0')),
                             QStringLiteral("L1"), 1.5, i);
        addStock(*t, "H01", "MPA", "M001", "L1", 2, 1);
        addStock(*t, "H01", "AMB", "Ș10", "L1", 2, 1);
        addStock(*t, "H01", "AMB", "ș10", "L1", 2, 1);
        addStock(*t, "H01", "AMB", "S10", "L1", 2, 1);
        addStock(*t, "G1", "MPA", "M001", "L1", 2, 1);
    }

    static QString at(Table& t) {
        return t.fieldByName("Cod_gestiune")->asString() + " " +
               t.fieldByName("Cod_grupa")->asString() + " " +
               t.fieldByName("Cod_articol")->asString();
    }
    static QList<Table::Prefix> prefixes(const Condition& c) {
        return {{QStringLiteral("Cod_gestiune"), QString::fromUtf8(c.warehouse)},
                {QStringLiteral("Cod_grupa"), QString::fromUtf8(c.group)},
                {QStringLiteral("Cod_articol"), QString::fromUtf8(c.article)}};
    }
};

TEST_P(PrefixCondition, ShowsExactlyTheMatchingRecordsBothWays) {
    const Condition& c = GetParam();
    auto t = table(QStringLiteral("Stoc.DB"));
    t->setPrefixCondition(prefixes(c));
    t->open();
    QStringList forward;
    for (t->first(); !t->eof(); t->next())
        forward << at(*t);
    QStringList backward;
    for (t->last(); !t->bof(); t->prior())
        backward.prepend(at(*t));
    EXPECT_EQ(forward.size(), c.records);
    EXPECT_EQ(backward, forward);
    EXPECT_EQ(t->recordCount(), c.records);
    if (c.records > 0) {
        EXPECT_EQ(forward.first(), QString::fromUtf8(c.first));
        EXPECT_EQ(forward.last(), QString::fromUtf8(c.last));
    }
    // Every record in view starts as asked; none left out is.
    auto all = table(QStringLiteral("Stoc.DB"));
    all->open();
    QStringList expected;
    for (all->first(); !all->eof(); all->next()) {
        const QList<Table::Prefix> p = prefixes(c);
        bool match = true;
        for (const Table::Prefix& x : p)
            match = match && all->fieldByName(x.field)->asString().startsWith(
                                 base::cp1250::normalize(x.text));
        if (match)
            expected << at(*all);
    }
    EXPECT_EQ(forward, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, PrefixCondition,
    ::testing::Values(
        Condition{"NoCondition", "", "", "", 85, "G01 MPA M000", "H01 MPA M001"},
        Condition{"OneWarehouseOverSeveralPages", "G01", "", "", 40, "G01 MPA M000",
                  "G01 MPF M019"},
        Condition{"WarehousePrefixTakesEveryWarehouseThatStartsSo", "G", "", "", 81, "G01 MPA M000",
                  "G1 MPA M001"},
        Condition{"WarehouseAndGroup", "G02", "MPF", "", 20, "G02 MPF M000", "G02 MPF M019"},
        Condition{"GroupAloneAcrossWarehouses", "", "MPA", "", 42, "G01 MPA M000", "H01 MPA M001"},
        Condition{"ArticlePrefix", "", "", "M01", 40, "G01 MPA M010", "G02 MPF M019"},
        Condition{"AllThree", "G01", "MP", "M00", 20, "G01 MPA M000", "G01 MPF M009"},
        Condition{"WholeCode", "G01", "MPA", "M007", 1, "G01 MPA M007", "G01 MPA M007"},
        Condition{"LongerThanAnyCode", "", "", "M0070", 0, "", ""},
        Condition{"NothingStartsSo", "X", "", "", 0, "", ""},
        Condition{"CaseMatters", "", "", "m0", 0, "", ""},
        // The comma-below letters are kept as their cedilla forms, typed either way.
        Condition{"CommaBelowLetter", "", "AMB", "Ș", 1, "H01 AMB Ş10", "H01 AMB Ş10"},
        Condition{"CedillaLetter", "", "AMB", "Ş", 1, "H01 AMB Ş10", "H01 AMB Ş10"}),
    [](const auto& info) { return std::string(info.param.name); });

class PrefixConditionOnATable : public PrefixCondition {};

// Searches stay inside the condition; setting it on an open table stands on the first record
// in view, and clearing it shows everything again.
TEST_F(PrefixConditionOnATable, SearchesStayInsideAndChangesApplyAtOnce) {
    auto t = table(QStringLiteral("Stoc.DB"));
    t->open();
    t->last();
    t->setPrefixCondition({{QStringLiteral("Cod_gestiune"), QStringLiteral("G02")}});
    EXPECT_EQ(at(*t), "G02 MPA M000");
    EXPECT_FALSE(t->findKey({QStringLiteral("G01")}));
    EXPECT_TRUE(t->findKey({QStringLiteral("G02"), QStringLiteral("MPF")}));
    EXPECT_EQ(at(*t), "G02 MPF M000");
    t->findNearest({QStringLiteral("A")});
    EXPECT_EQ(at(*t), "G02 MPA M000") << "nearest to a key before the condition: its first";
    t->findNearest({QStringLiteral("H")});
    EXPECT_TRUE(t->eof());
    EXPECT_TRUE(t->locate(QStringLiteral("Cod_articol"), {QStringLiteral("M005")}));
    EXPECT_EQ(at(*t), "G02 MPA M005");
    EXPECT_FALSE(t->locate(QStringLiteral("Cod_gestiune"), {QStringLiteral("H01")}));

    t->setPrefixCondition({{QStringLiteral("Cod_gestiune"), QStringLiteral("Z")}});
    EXPECT_TRUE(t->isEmpty());
    EXPECT_EQ(t->recordCount(), 0);
    t->setPrefixCondition({});
    EXPECT_EQ(t->recordCount(), 85);
    EXPECT_EQ(at(*t), "G01 MPA M000");
}

// In the order of another index the condition on its leading field is a range of that index.
TEST_F(PrefixConditionOnATable, WorksInTheOrderOfASecondaryIndex) {
    auto t = table(QStringLiteral("Stoc.DB"), QStringLiteral("Cod_grupa;Cod_articol"));
    t->setPrefixCondition({{QStringLiteral("Cod_grupa"), QStringLiteral("MPF")},
                           {QStringLiteral("Cod_articol"), QStringLiteral("M01")}});
    t->open();
    const QStringList codes = column(*t, QStringLiteral("Cod_articol"));
    ASSERT_EQ(codes.size(), 20);
    EXPECT_EQ(codes.first(), "M010");
    EXPECT_EQ(codes.last(), "M019");
    EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
}

TEST_F(PrefixConditionOnATable, AnUnknownFieldIsRefusedAndChangesNothing) {
    auto t = table(QStringLiteral("Stoc.DB"));
    t->open();
    t->setPrefixCondition({{QStringLiteral("Cod_gestiune"), QStringLiteral("G02")}});
    EXPECT_TRUE(dbtest::errorKind([&] {
                    t->setPrefixCondition({{QStringLiteral("Nu_exista"), QStringLiteral("x")}});
                }).has_value());
    EXPECT_EQ(t->recordCount(), 40);
}

} // namespace
