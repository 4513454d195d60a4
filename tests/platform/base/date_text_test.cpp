#include "platform/base/date_text.h"
#include "platform/base/errors.h"
#include "tests/platform/base/scoped_format.h"
#include "tests/support/readable_name.h"

#include <gtest/gtest.h>

namespace {

struct DateCase {
    const char* format;
    char separator;
    QDate date;
    const char* text;
};

void PrintTo(const DateCase& c, std::ostream* os) {
    *os << c.format << " " << c.text;
}

class DateTextTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateTextTest, DateToTextAndBack) {
    const DateCase& c = GetParam();
    const testsupport::ScopedFormat format(c.format, c.separator, ',');
    EXPECT_EQ(base::dateToText(c.date), QLatin1String(c.text));
    EXPECT_EQ(base::textToDate(QLatin1String(c.text)), c.date);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DateTextTest,
    ::testing::Values(DateCase{"DD/MM/YYYY", '.', QDate(2024, 3, 5), "05.03.2024"},
                      DateCase{"DD/MM/YYYY", '/', QDate(2024, 12, 31), "31/12/2024"},
                      DateCase{"dd/mm/yyyy", '-', QDate(1999, 1, 9), "09-01-1999"},
                      DateCase{"MM/DD/YYYY", '/', QDate(2024, 12, 31), "12/31/2024"},
                      DateCase{"M/D/YY", '/', QDate(2024, 3, 5), "3/5/24"},
                      DateCase{"YYYY/MM/DD", '-', QDate(2024, 2, 29), "2024-02-29"}),
    testsupport::ReadableName());

struct ParseCase {
    const char* format;
    const char* text;
    QDate expected; // invalid when the text must be refused
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.format << " \"" << c.text << '"';
}

class TextToDateTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(TextToDateTest, AcceptsRealDatesAndRefusesTheRest) {
    const ParseCase& c = GetParam();
    const testsupport::ScopedFormat format(c.format, '.', ',');
    QDate parsed;
    EXPECT_EQ(base::tryTextToDate(QLatin1String(c.text), parsed), c.expected.isValid());
    if (c.expected.isValid()) {
        EXPECT_EQ(parsed, c.expected);
        EXPECT_EQ(base::textToDate(QLatin1String(c.text)), c.expected);
    } else {
        EXPECT_THROW(base::textToDate(QLatin1String(c.text)), base::ConversionError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextToDateTest,
    ::testing::Values(ParseCase{"DD/MM/YYYY", "5.3.2024", QDate(2024, 3, 5)},
                      ParseCase{"DD/MM/YYYY", " 05/03/2024 ", QDate(2024, 3, 5)},
                      ParseCase{"DD/MM/YYYY", "1.1.49", QDate(2049, 1, 1)},
                      ParseCase{"DD/MM/YYYY", "1.1.50", QDate(1950, 1, 1)},
                      ParseCase{"DD/MM/YYYY", "29.02.2024", QDate(2024, 2, 29)},
                      ParseCase{"DD/MM/YYYY", "29.02.2023", QDate()},
                      ParseCase{"DD/MM/YYYY", "31.04.2024", QDate()},
                      ParseCase{"DD/MM/YYYY", "00.01.2024", QDate()},
                      ParseCase{"DD/MM/YYYY", "01.13.2024", QDate()},
                      ParseCase{"DD/MM/YYYY", "01.01.0000", QDate()},
                      ParseCase{"DD/MM/YYYY", "ab.cd.efgh", QDate()},
                      ParseCase{"DD/MM/YYYY", "5 mar 2024", QDate()},
                      ParseCase{"DD/MM/YYYY", "1.2", QDate()},
                      ParseCase{"DD/MM/YYYY", "1.2.2024.4", QDate()},
                      ParseCase{"DD/MM/YYYY", "", QDate()},
                      ParseCase{"MM/DD/YYYY", "12/31/2024", QDate(2024, 12, 31)},
                      ParseCase{"MM/DD/YYYY", "31/12/2024", QDate()},
                      ParseCase{"MM/DD/YYYY", "04/31/2024", QDate()}),
    testsupport::ReadableName());

TEST(DateText, InvalidDateGivesEmptyText) {
    EXPECT_EQ(base::dateToText(QDate()), QString());
}

} // namespace
