#include "platform/base/format_settings.h"

#include <gtest/gtest.h>

namespace {

struct LocaleCase {
    const char* locale;
    const char* shortDateFormat;
    char16_t dateSeparator, decimalSeparator, thousandSeparator;
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
    EXPECT_EQ(s.dateSeparator, QChar(c.dateSeparator));
    EXPECT_EQ(s.decimalSeparator, QChar(c.decimalSeparator));
    EXPECT_EQ(s.thousandSeparator, QChar(c.thousandSeparator));
    ASSERT_EQ(s.longMonthNames.size(), 12);
    ASSERT_EQ(s.shortMonthNames.size(), 12);
    ASSERT_EQ(s.longDayNames.size(), 7);
    ASSERT_EQ(s.shortDayNames.size(), 7);
    EXPECT_EQ(s.longMonthNames.first().toLower(), QString::fromUtf8(c.january));
    EXPECT_EQ(s.longDayNames.first().toLower(), QString::fromUtf8(c.sunday));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, FormatSettingsTest,
    ::testing::Values(
        LocaleCase{"ro_RO", "DD/MM/YYYY", u'.', u',', u'.', "ianuarie", "duminică"},
        LocaleCase{"en_US", "M/D/YY", u'/', u'.', u',', "january", "sunday"},
        // A machine without regional settings gets the Romanian conventions.
        LocaleCase{"C", "DD/MM/YYYY", u'.', u',', u'.', "ianuarie", "duminică"},
        LocaleCase{"POSIX", "DD/MM/YYYY", u'.', u',', u'.', "ianuarie", "duminică"},
        // A space after the separator, a trailing separator, quoted text after the year.
        LocaleCase{"sk_SK", "D/M/YYYY", u'.', u',', u'\u00a0', "január", "nedeľa"},
        LocaleCase{"hu_HU", "YYYY/MM/DD", u'.', u',', u'\u00a0', "január", "vasárnap"},
        LocaleCase{"bg_BG", "D/MM/YY", u'.', u',', u'\u00a0', "януари", "неделя"}),
    [](const auto& info) { return std::string(info.param.locale); });

} // namespace
