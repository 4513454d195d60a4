#include "platform/base/format_settings.h"

#include <gtest/gtest.h>

namespace {

struct LocaleCase {
    const char* locale;
    const char* shortDateFormat;
    char dateSeparator, decimalSeparator, thousandSeparator;
    const char* january;
    const char* sunday;
};

void PrintTo(const LocaleCase& c, std::ostream* os) {
    *os << c.locale;
}

class FormatSettingsTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(FormatSettingsTest, TakenFromNamedLocale) {
    const LocaleCase& c = GetParam();
    const base::FormatSettings s = base::FormatSettings::fromLocaleName(QLatin1String(c.locale));
    EXPECT_EQ(s.shortDateFormat, QLatin1String(c.shortDateFormat));
    EXPECT_EQ(s.dateSeparator, QLatin1Char(c.dateSeparator));
    EXPECT_EQ(s.decimalSeparator, QLatin1Char(c.decimalSeparator));
    EXPECT_EQ(s.thousandSeparator, QLatin1Char(c.thousandSeparator));
    ASSERT_EQ(s.longMonthNames.size(), 12);
    ASSERT_EQ(s.shortMonthNames.size(), 12);
    ASSERT_EQ(s.longDayNames.size(), 7);
    ASSERT_EQ(s.shortDayNames.size(), 7);
    EXPECT_EQ(s.longMonthNames.first().toLower(), QString::fromUtf8(c.january));
    EXPECT_EQ(s.longDayNames.first().toLower(), QString::fromUtf8(c.sunday));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, FormatSettingsTest,
    ::testing::Values(LocaleCase{"ro_RO", "DD/MM/YYYY", '.', ',', '.', "ianuarie", "duminică"},
                      LocaleCase{"en_US", "M/D/YY", '/', '.', ',', "january", "sunday"}),
    [](const auto& info) { return std::string(info.param.locale); });

} // namespace
