// Texts bound to a statement reach the database as written, whatever mix of plain ASCII and
// other letters of the code page one record's fields carry, one after the other in the same
// statement (the letters with a cedilla: those with a comma below are stored as these).
#include "db_fixture.h"

using dbtest::DbFixture;

namespace {

struct Texts {
    const char* name;
    const char* warehouse;
    const char* group;
    const char* article;
    const char* lot;
};
void PrintTo(const Texts& t, std::ostream* os) {
    *os << t.name;
}

class BoundText : public DbFixture, public ::testing::WithParamInterface<Texts> {};

TEST_P(BoundText, IsStoredAndReadBackAsWritten) {
    const Texts& c = GetParam();
    createStock();
    auto t = table("Stoc.DB");
    t->open();
    const QStringList given{QString::fromUtf8(c.warehouse), QString::fromUtf8(c.group),
                            QString::fromUtf8(c.article), QString::fromUtf8(c.lot)};
    addStock(*t, given[0], given[1], given[2], given[3], 1, 2);
    auto again = table("Stoc.DB");
    again->open();
    ASSERT_FALSE(again->eof());
    EXPECT_EQ((QStringList{again->fieldByName("Cod_gestiune")->asString(),
                           again->fieldByName("Cod_grupa")->asString(),
                           again->fieldByName("Cod_articol")->asString(),
                           again->fieldByName("Lot")->asString()}),
              given);
    // And found by them: the search binds the same texts.
    EXPECT_TRUE(again->findKey({given[0], given[1], given[2], given[3], 1.0}));
}

INSTANTIATE_TEST_SUITE_P(
    Mixes, BoundText,
    ::testing::Values(Texts{"Ascii", "G1", "MAT", "M001", "L1"},
                      Texts{"RomanianBetweenAscii", "G1", "ŞŢĂÎÂ", "M001", "lot ţesătură"},
                      Texts{"AsciiAfterALongerRomanianText", "Ş", "MAT", "materie primă şase", "L"},
                      Texts{"EmptyAmongOthers", "", "MAT", "M001", ""},
                      Texts{"EuroAndQuotes", "G1", "MAT", "€ 5", "„lot” 1"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
