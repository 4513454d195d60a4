// Account symbols: the code and the four parts of the worked examples and the limits.
#include "common/account_symbol.h"

#include <gtest/gtest.h>

namespace {

struct SymbolCase {
    const char* symbol;
    int code;
    const char* synthetic;
    const char* suffix;
    const char* analytic;
    const char* subAnalytic;
};

void PrintTo(const SymbolCase& c, std::ostream* os) {
    *os << '"' << c.symbol << '"';
}

class AccountSymbol : public ::testing::TestWithParam<SymbolCase> {};

TEST_P(AccountSymbol, GivesTheCodeAndTheParts) {
    const SymbolCase& c = GetParam();
    // Parts left over from an earlier parse must not survive this one.
    ParseAccountSymbol(QStringLiteral("999.88.77"), QLatin1Char('.'));
    EXPECT_EQ(ParseAccountSymbol(QString::fromUtf8(c.symbol), QLatin1Char('.')), c.code);
    EXPECT_EQ(SyntheticAccount, QString::fromUtf8(c.synthetic));
    EXPECT_EQ(SyntheticSuffix, QString::fromUtf8(c.suffix));
    EXPECT_EQ(AnalyticAccount, QString::fromUtf8(c.analytic));
    EXPECT_EQ(SubAnalyticAccount, QString::fromUtf8(c.subAnalytic));
    EXPECT_EQ(IsValidAccountSymbol(QString::fromUtf8(c.symbol)), c.code <= 2);
}

INSTANTIATE_TEST_SUITE_P(
    Common, AccountSymbol,
    ::testing::Values(
        SymbolCase{"371.01.2", 2, "371", "", "01", "2"},
        SymbolCase{"4426.1", 1, "442", "6", "1", ""}, SymbolCase{"", 0, "", "", "", ""},
        SymbolCase{".", 1, "", "", "", ""}, SymbolCase{"..", 2, "", "", "", ""},
        SymbolCase{"1.2.3", 2, "1", "", "2", "3"},
        // Too many segments: the whole text is the first segment.
        SymbolCase{"1.2.3.4", 3, "1.2", ".3.4", "", ""},
        SymbolCase{"1.2.3.4.5.6", 4, "1.2", ".3.4.5.6", "", ""},
        SymbolCase{"ABC.DEF", 1, "ABC", "", "DEF", ""}, SymbolCase{"4426", 0, "442", "6", "", ""},
        SymbolCase{"1234567890", 0, "123", "4567890", "", ""},
        SymbolCase{"12345678901", 4, "123", "45678901", "", ""},
        SymbolCase{"1234567890.1", 1, "123", "4567890", "1", ""},
        SymbolCase{"12345678901.1.2", 4, "123", "45678901", "1", "2"},
        SymbolCase{"371.12345678901234567890", 1, "371", "", "12345678901234567890", ""},
        SymbolCase{"371.123456789012345678901", 4, "371", "", "123456789012345678901", ""},
        SymbolCase{"371.1.123456789012345678901", 4, "371", "", "1", "123456789012345678901"}));

TEST(AccountSymbolSeparator, IsTheOneGiven) {
    EXPECT_EQ(ParseAccountSymbol(QStringLiteral("371-01.2"), QLatin1Char('-')), 1);
    EXPECT_EQ(AnalyticAccount, QStringLiteral("01.2"));
    // Another separator is an ordinary character: the whole text is one segment.
    EXPECT_EQ(ParseAccountSymbol(QStringLiteral("371.01.2"), QLatin1Char('-')), 0);
    EXPECT_EQ(SyntheticSuffix, QStringLiteral(".01.2"));
}

} // namespace
