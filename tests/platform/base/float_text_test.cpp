#include "platform/base/errors.h"
#include "platform/base/float_text.h"
#include "tests/platform/base/scoped_format.h"
#include "tests/support/readable_name.h"

#include <gtest/gtest.h>

namespace {

struct FloatCase {
    double value;
    const char* text; // with ',' as the decimal separator
};

void PrintTo(const FloatCase& c, std::ostream* os) {
    *os << c.text;
}

class FormatFloatTest : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FormatFloatTest, GeneralFormatAndBack) {
    const FloatCase& c = GetParam();
    const testsupport::ScopedFormat format("DD/MM/YYYY", '.', ',');
    const QString text = base::formatFloatGeneral(c.value);
    EXPECT_EQ(text, QLatin1String(c.text));
    // Reading the text back gives the value to 15 significant digits.
    EXPECT_NEAR(base::textToFloat(text), c.value, std::abs(c.value) * 1e-14);
}

INSTANTIATE_TEST_SUITE_P(Values, FormatFloatTest,
                         ::testing::Values(FloatCase{0.1 + 0.2, "0,3"}, FloatCase{15, "15"},
                                           FloatCase{1.0 / 3, "0,333333333333333"},
                                           FloatCase{2.0 / 3 * 100, "66,6666666666667"},
                                           FloatCase{1e20, "1E20"}, FloatCase{1.5e20, "1,5E20"},
                                           FloatCase{1.5e-7, "1,5E-7"},
                                           FloatCase{-(0.1 + 0.2), "-0,3"},
                                           FloatCase{-1234.5, "-1234,5"}, FloatCase{0, "0"},
                                           FloatCase{-0.0, "0"}, FloatCase{0.00001, "0,00001"},
                                           FloatCase{123456789012345, "123456789012345"},
                                           FloatCase{1234567890123456, "1,23456789012346E15"},
                                           FloatCase{-2.5e-9, "-2,5E-9"}),
                         testsupport::ReadableName());

TEST(FormatFloat, UsesTheDecimalSeparatorInForce) {
    const testsupport::ScopedFormat format("M/D/YY", '/', '.');
    EXPECT_EQ(base::formatFloatGeneral(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(base::formatFloatGeneral(-1.5e-7), QStringLiteral("-1.5E-7"));
    EXPECT_EQ(base::textToFloat(QStringLiteral("2.5")), 2.5);
    double v = 0;
    EXPECT_FALSE(base::tryTextToFloat(QStringLiteral("2,5"), v));
}

struct ParseCase {
    const char* text;
    bool valid;
    double value;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class TextToFloatTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(TextToFloatTest, AcceptsNumbersWithTheSeparatorInForce) {
    const ParseCase& c = GetParam();
    const testsupport::ScopedFormat format("DD/MM/YYYY", '.', ',');
    double v = -999;
    EXPECT_EQ(base::tryTextToFloat(QString::fromUtf8(c.text), v), c.valid);
    if (c.valid)
        EXPECT_DOUBLE_EQ(v, c.value);
    else
        EXPECT_THROW(base::textToFloat(QString::fromUtf8(c.text)), base::ConversionError);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextToFloatTest,
    ::testing::Values(
        ParseCase{"0,3", true, 0.3}, ParseCase{" 1,5 ", true, 1.5}, ParseCase{"-2,5", true, -2.5},
        ParseCase{"+2", true, 2}, ParseCase{"1,5E3", true, 1500}, ParseCase{"1e-7", true, 1e-7},
        ParseCase{",5", true, 0.5}, ParseCase{"", false, 0}, ParseCase{"1.5", false, 0},
        ParseCase{"1,5,0", false, 0}, ParseCase{"abc", false, 0}, ParseCase{"1e", false, 0},
        ParseCase{"+-1", false, 0}, ParseCase{"--1", false, 0}, ParseCase{"1 000", false, 0},
        ParseCase{"1e400", false, 0}, ParseCase{"inf", false, 0}, ParseCase{"١٢", false, 0}),
    testsupport::ReadableName());

} // namespace
