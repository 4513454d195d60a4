// What each field type takes and what it refuses, at the edges: empty and blank input, numbers
// at the limits of a whole number, dates that do not exist, logical words, and the readers of
// a value as another type (halves, empty values).
#include "db_fixture.h"

#include "platform/base/format_settings.h"

#include <cmath>
#include <limits>

using namespace db;
using dbtest::DbFixture;

namespace {

// The Romanian conventions, whatever the machine's locale: day.month.year, "," decimal.
class RomanianFormats {
public:
    RomanianFormats() : m_saved(base::formatSettings()) {
        base::FormatSettings fs;
        fs.shortDateFormat = QStringLiteral("DD/MM/YYYY");
        fs.dateSeparator = QLatin1Char('.');
        fs.decimalSeparator = QLatin1Char(',');
        fs.thousandSeparator = QLatin1Char('.');
        base::setFormatSettings(fs);
    }
    ~RomanianFormats() { base::setFormatSettings(m_saved); }

private:
    base::FormatSettings m_saved;
};

struct Conversion {
    const char* name;
    FieldType type;
    QVariant input;
    QVariant expected; // null: the field becomes empty
    bool refused;
};
void PrintTo(const Conversion& c, std::ostream* os) {
    *os << c.name;
}

class FieldConversion : public ::testing::TestWithParam<Conversion> {
protected:
    RomanianFormats formats;
};

TEST_P(FieldConversion, TakesWhatTheTypeHoldsAndRefusesTheRest) {
    const Conversion& c = GetParam();
    Table t(QStringLiteral("T"));
    Field* f = t.addField(QStringLiteral("F"), c.type, 10);
    if (c.refused) {
        EXPECT_THROW(f->convert(c.input), base::ConversionError);
        return;
    }
    const QVariant got = f->convert(c.input);
    if (c.expected.isNull()) {
        EXPECT_TRUE(got.isNull()) << got.toString().toStdString();
    } else {
        EXPECT_EQ(got, c.expected) << got.toString().toStdString();
    }
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Engine, FieldConversion,
    ::testing::Values(
        Conversion{"TextFromNumber", FieldType::Text, 1.5, QString("1,5"), false},
        Conversion{"TextFromDate", FieldType::Text, QDate(2024, 3, 1), QString("01.03.2024"),
                   false},
        Conversion{"TextEmptyIsNull", FieldType::Text, QString(""), QVariant(), false},
        Conversion{"TextCommaBelowBecomesCedilla", FieldType::Text, QString("șț"), QString("şţ"),
                   false},
        Conversion{"TextEuroSignIsInTheCodePage", FieldType::Text, QString("5 €"), QString("5 €"),
                   false},
        Conversion{"TextOutsideTheCodePage", FieldType::Text, QString("中"), QVariant(), true},
        Conversion{"NumberFromText", FieldType::Float, QString("1,5"), 1.5, false},
        Conversion{"NumberWithBlanksAround", FieldType::Float, QString(" 2 "), 2.0, false},
        Conversion{"NumberWithExponent", FieldType::Float, QString("1,5E3"), 1500.0, false},
        Conversion{"NumberFromEmptyText", FieldType::Float, QString(""), QVariant(), false},
        Conversion{"NumberFromBlankText", FieldType::Float, QString("   "), QVariant(), false},
        Conversion{"NumberFromWords", FieldType::Float, QString("doi"), QVariant(), true},
        Conversion{"NumberNotANumber", FieldType::Float, kNaN, QVariant(), true},
        Conversion{"NumberInfinite", FieldType::Float, kInf, QVariant(), true},
        Conversion{"NumberFromADate", FieldType::Float, QDate(2024, 3, 1), QVariant(), true},
        Conversion{"WholeNumberAtItsMaximum", FieldType::Integer, QString("2147483647"), 2147483647,
                   false},
        Conversion{"WholeNumberAtItsNegativeLimit", FieldType::Integer, -2147483647.0, -2147483647,
                   false},
        Conversion{"WholeNumberOnePast", FieldType::Integer, 2147483648.0, QVariant(), true},
        Conversion{"WholeNumberOnePastBelow", FieldType::Integer, -2147483649.0, QVariant(), true},
        Conversion{"WholeNumberWrittenWithDecimals", FieldType::Integer, QString("3,0"), 3, false},
        Conversion{"WholeNumberWithAFraction", FieldType::Integer, QString("3,5"), QVariant(),
                   true},
        Conversion{"DateFromText", FieldType::Date, QString("29.02.2024"), QDate(2024, 2, 29),
                   false},
        Conversion{"DateNotInALeapYear", FieldType::Date, QString("29.02.2023"), QVariant(), true},
        Conversion{"DateThirtyFirstOfApril", FieldType::Date, QString("31.04.2024"), QVariant(),
                   true},
        Conversion{"DateFromDateAndTime", FieldType::Date,
                   QDateTime(QDate(2024, 3, 1), QTime(23, 59)), QDate(2024, 3, 1), false},
        Conversion{"DateInvalid", FieldType::Date, QDate(2024, 2, 30), QVariant(), true},
        Conversion{"DateFromBlankText", FieldType::Date, QString("  "), QVariant(), false},
        Conversion{"LogicalFromDa", FieldType::Boolean, QString("da"), true, false},
        Conversion{"LogicalFromNuInCapitals", FieldType::Boolean, QString(" NU "), false, false},
        Conversion{"LogicalFromOne", FieldType::Boolean, QString("1"), true, false},
        Conversion{"LogicalFromZero", FieldType::Boolean, QString("0"), false, false},
        Conversion{"LogicalFromTrue", FieldType::Boolean, QString("True"), true, false},
        Conversion{"LogicalFromFalse", FieldType::Boolean, QString("false"), false, false},
        Conversion{"LogicalFromEmpty", FieldType::Boolean, QString(""), QVariant(), false},
        Conversion{"LogicalFromOtherWords", FieldType::Boolean, QString("poate"), QVariant(), true},
        Conversion{"LogicalFromAValue", FieldType::Boolean, true, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- a value read as another type ----

struct Reading {
    const char* name;
    const char* field;
    QVariant stored; // null: left empty
    const char* asString;
    double asFloat;
    int asInteger;
    QDate asDate;
    bool asBoolean;
};
void PrintTo(const Reading& r, std::ostream* os) {
    *os << r.name;
}

class FieldReading : public DbFixture, public ::testing::WithParamInterface<Reading> {
protected:
    RomanianFormats formats;
};

TEST_P(FieldReading, ReadsTheStoredValueAsEveryType) {
    const Reading& r = GetParam();
    database->createTable({QStringLiteral("Val.DB"),
                           {{QStringLiteral("T"), FieldType::Text, 12},
                            {QStringLiteral("F"), FieldType::Float},
                            {QStringLiteral("I"), FieldType::Integer},
                            {QStringLiteral("D"), FieldType::Date},
                            {QStringLiteral("B"), FieldType::Boolean}},
                           {}});
    auto t = table("Val.DB");
    t->open();
    t->append();
    t->fieldByName(r.field)->setValue(r.stored);
    t->fieldByName("I")->setAsInteger(0); // a record is never all empty
    if (QString::fromLatin1(r.field) == QLatin1String("I"))
        t->fieldByName("I")->setValue(r.stored);
    t->post();
    t->close();
    t->open();
    const Field* f = t->fieldByName(r.field);
    EXPECT_EQ(f->asString(), QString::fromUtf8(r.asString));
    if (std::isnan(r.asFloat)) {
        EXPECT_THROW(f->asFloat(), base::ConversionError) << "a text that is no number";
        EXPECT_THROW(f->asInteger(), base::ConversionError);
    } else {
        EXPECT_DOUBLE_EQ(f->asFloat(), r.asFloat);
        EXPECT_EQ(f->asInteger(), r.asInteger);
    }
    const bool textNotADate = QString::fromLatin1(r.field) == QLatin1String("T") &&
                              !r.stored.isNull() && !r.asDate.isValid();
    if (textNotADate) {
        EXPECT_THROW(f->asDate(), base::ConversionError) << "a text that is no date";
    } else {
        EXPECT_EQ(f->asDate(), r.asDate);
    }
    if (QString::fromLatin1(r.field) != QLatin1String("T")) {
        EXPECT_EQ(f->asBoolean(), r.asBoolean);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Engine, FieldReading,
    ::testing::Values(
        Reading{"TextHoldingANumber", "T", QString("1,6"), "1,6", 1.6, 2, QDate(), false},
        Reading{"TextHoldingANegativeNumber", "T", QString("-2,6"), "-2,6", -2.6, -3, QDate(),
                false},
        Reading{"TextHoldingADate", "T", QString("01.03.2024"), "01.03.2024", kNaN, 0,
                QDate(2024, 3, 1), false},
        Reading{"EmptyText", "T", QVariant(), "", 0, 0, QDate(), false},
        Reading{"NumberWithAFraction", "F", 2.4, "2,4", 2.4, 2, QDate(), true},
        Reading{"NegativeNumberWithAFraction", "F", -0.6, "-0,6", -0.6, -1, QDate(), true},
        Reading{"Zero", "F", 0.0, "0", 0, 0, QDate(), false},
        Reading{"EmptyNumber", "F", QVariant(), "", 0, 0, QDate(), false},
        Reading{"WholeNumberAtItsMaximum", "I", 2147483647, "2147483647", 2147483647.0, 2147483647,
                QDate(), true},
        Reading{"Date", "D", QDate(2024, 12, 31), "31.12.2024", 0, 0, QDate(2024, 12, 31), false},
        Reading{"EmptyDate", "D", QVariant(), "", 0, 0, QDate(), false},
        Reading{"True", "B", true, "True", 1, 1, QDate(), true},
        Reading{"False", "B", false, "False", 0, 0, QDate(), false},
        Reading{"EmptyLogical", "B", QVariant(), "", 0, 0, QDate(), false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
