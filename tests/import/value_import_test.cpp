// One value of each kind through the import: what the company holds afterwards, or the refusal
// that names the record and the field (and then no company is left).
#include "tests/import/import_fixture.h"
#include "tests/support/readable_name.h"

#include <cmath>
#include <cstring>

namespace pxtest {
namespace {

using paradox::FieldCode;

struct ValueCase {
    const char* name;
    const char* table;   // the company's table the file is for
    Column column;       // the column under test; the table's key columns are added
    QVariant value;      // as the writer takes it
    QVariant expected;   // what the company holds; unused when refused
    const char* refusal; // part of the refusal, or nullptr when the value is taken
};

void PrintTo(const ValueCase& c, std::ostream* os) {
    *os << c.name;
}

QVariant days(qint64 n) {
    return QVariant(n);
}

// Doubles compare by their bits: 0.1 must come back as the same 0.1.
bool sameValue(const QVariant& a, const QVariant& b) {
    if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double) {
        const double x = a.toDouble(), y = b.toDouble();
        return std::memcmp(&x, &y, sizeof x) == 0;
    }
    return a == b && a.isNull() == b.isNull();
}

class ValueImport : public ImportTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ValueImport, IsTakenWithoutLossOrRefused) {
    const ValueCase& c = GetParam();
    const QString table = QString::fromLatin1(c.table);
    // Doc_in.DB keyed by Contor, Item_in.DB by Contor and Contor_secundar.
    QList<Column> columns{{"Contor", FieldCode::Number, 8}};
    Row row{7.0};
    if (table == QLatin1String("Item_in.DB")) {
        columns << Column{"Contor_secundar", FieldCode::Number, 8};
        row << 1.0;
    }
    columns << c.column;
    row << c.value;
    writeTable(file(table), columns, {row});
    const paradox::ImportOutcome outcome = run();
    const QString field = QString::fromLatin1(c.column.name);
    if (c.refusal) {
        EXPECT_FALSE(outcome.written);
        EXPECT_FALSE(companyLeft());
        EXPECT_TRUE(anyContains(outcome.refused,
                                QStringLiteral("%1, înregistrarea 1: câmpul %2").arg(table, field)))
            << joined(outcome.refused);
        EXPECT_TRUE(anyContains(outcome.refused, QString::fromUtf8(c.refusal)))
            << joined(outcome.refused);
        return;
    }
    ASSERT_TRUE(outcome.written) << joined(outcome.refused);
    const QList<QVariantList> stored = rows(table, {QStringLiteral("Contor"), field});
    ASSERT_EQ(stored.size(), 1);
    EXPECT_TRUE(sameValue(stored[0][1], c.expected))
        << "stored " << stored[0][1].toString().toStdString() << " (" << stored[0][1].typeName()
        << "), expected " << c.expected.toString().toStdString();
    EXPECT_EQ(stored[0][0], QVariant(7.0));
}

const QVariant kEmpty;

INSTANTIATE_TEST_SUITE_P(
    Texts, ValueImport,
    ::testing::Values(
        ValueCase{"SmallRomanianLetters",
                  "Doc_in.DB",
                  {"Explicatie", FieldCode::Alpha, 255},
                  QStringLiteral("ă â î ş ţ"),
                  QStringLiteral("ă â î ş ţ"),
                  nullptr},
        ValueCase{"CapitalRomanianLetters",
                  "Doc_in.DB",
                  {"Explicatie", FieldCode::Alpha, 255},
                  QStringLiteral("Ă Â Î Ş Ţ"),
                  QStringLiteral("Ă Â Î Ş Ţ"),
                  nullptr},
        ValueCase{
            "EmptyText", "Doc_in.DB", {"Furnizor", FieldCode::Alpha, 30}, kEmpty, kEmpty, nullptr},
        ValueCase{"BlankTextBecomesEmpty",
                  "Doc_in.DB",
                  {"Furnizor", FieldCode::Alpha, 30},
                  QStringLiteral("     "),
                  kEmpty,
                  nullptr},
        ValueCase{"InnerAndTrailingBlanksKept",
                  "Doc_in.DB",
                  {"Furnizor", FieldCode::Alpha, 30},
                  QStringLiteral("Moara  Mare "),
                  QStringLiteral("Moara  Mare "),
                  nullptr},
        ValueCase{"TextAsWideAsTheField",
                  "Doc_in.DB",
                  {"Tip", FieldCode::Alpha, 3},
                  QStringLiteral("NIR"),
                  QStringLiteral("NIR"),
                  nullptr},
        ValueCase{"FileFieldWiderThanTheCompanysButValueFits",
                  "Doc_in.DB",
                  {"Tip", FieldCode::Alpha, 10},
                  QStringLiteral("BPF"),
                  QStringLiteral("BPF"),
                  nullptr},
        ValueCase{"TextOneWiderThanTheField",
                  "Doc_in.DB",
                  {"Tip", FieldCode::Alpha, 4},
                  QStringLiteral("NIRX"),
                  kEmpty,
                  "textul «NIRX» are 4 caractere, câmpul primește cel mult 3"},
        ValueCase{"ByteWithoutACharacter",
                  "Doc_in.DB",
                  {"Furnizor", FieldCode::Alpha, 30},
                  QByteArray("Moar\x81"),
                  kEmpty,
                  "octetul 0x81"},
        ValueCase{"NumberInATextField",
                  "Doc_in.DB",
                  {"Furnizor", FieldCode::Number, 8},
                  12.0,
                  kEmpty,
                  "are o valoare de tipul număr, câmpul firmei este text(30)"}),
    testsupport::ReadableName());

INSTANTIATE_TEST_SUITE_P(
    Numbers, ValueImport,
    ::testing::Values(
        ValueCase{
            "OneTenthBitForBit", "Doc_in.DB", {"Numar", FieldCode::Number, 8}, 0.1, 0.1, nullptr},
        ValueCase{"TinyNumberBitForBit",
                  "Doc_in.DB",
                  {"Numar", FieldCode::Number, 8},
                  1e-300,
                  1e-300,
                  nullptr},
        ValueCase{
            "NegativeNumber", "Doc_in.DB", {"Numar", FieldCode::Number, 8}, -2.5, -2.5, nullptr},
        ValueCase{"LargestNumber",
                  "Doc_in.DB",
                  {"Numar", FieldCode::Number, 8},
                  1.7976931348623157e308,
                  1.7976931348623157e308,
                  nullptr},
        ValueCase{"Zero", "Doc_in.DB", {"Numar", FieldCode::Number, 8}, 0.0, 0.0, nullptr},
        ValueCase{
            "EmptyNumber", "Doc_in.DB", {"Numar", FieldCode::Number, 8}, kEmpty, kEmpty, nullptr},
        ValueCase{"Money",
                  "Item_in.DB",
                  {"Pret_achizitie_lei", FieldCode::Currency, 8},
                  1234.56,
                  1234.56,
                  nullptr},
        ValueCase{
            "ShortWholeNumber", "Doc_in.DB", {"Numar", FieldCode::Short, 2}, -7, -7.0, nullptr},
        ValueCase{"LongWholeNumber",
                  "Doc_in.DB",
                  {"Numar", FieldCode::Long, 4},
                  2147483647,
                  2147483647.0,
                  nullptr},
        ValueCase{"AutoIncrement",
                  "Doc_in.DB",
                  {"Numar", FieldCode::AutoIncrement, 4},
                  42,
                  42.0,
                  nullptr},
        ValueCase{"TextInANumberField",
                  "Doc_in.DB",
                  {"Numar", FieldCode::Alpha, 10},
                  QStringLiteral("12,5"),
                  kEmpty,
                  "are o valoare de tipul text, câmpul firmei este număr"}),
    testsupport::ReadableName());

INSTANTIATE_TEST_SUITE_P(
    DatesAndLogicals, ValueImport,
    ::testing::Values(
        ValueCase{"FirstDayOfTheCalendar",
                  "Doc_in.DB",
                  {"Data", FieldCode::Date, 4},
                  QDate(1, 1, 1),
                  QDate(1, 1, 1),
                  nullptr},
        ValueCase{"LastDayOfTheCalendar",
                  "Doc_in.DB",
                  {"Data", FieldCode::Date, 4},
                  QDate(9999, 12, 31),
                  QDate(9999, 12, 31),
                  nullptr},
        ValueCase{"LeapDay",
                  "Doc_in.DB",
                  {"Data_inregistrarii", FieldCode::Date, 4},
                  QDate(2024, 2, 29),
                  QDate(2024, 2, 29),
                  nullptr},
        ValueCase{"EmptyDate", "Doc_in.DB", {"Data", FieldCode::Date, 4}, kEmpty, kEmpty, nullptr},
        ValueCase{"DayAfterTheCalendar",
                  "Doc_in.DB",
                  {"Data", FieldCode::Date, 4},
                  days(3652060),
                  kEmpty,
                  "este în afara calendarului"},
        ValueCase{"DayBeforeTheCalendar",
                  "Doc_in.DB",
                  {"Data", FieldCode::Date, 4},
                  days(-3),
                  kEmpty,
                  "data (ziua -3 de la 01.01.0001) este în afara calendarului"},
        ValueCase{"TimestampInADateField",
                  "Doc_in.DB",
                  {"Data", FieldCode::Timestamp, 8},
                  QByteArray("\x42\xcc\x00\x00\x00\x00\x00\x00", 8),
                  kEmpty,
                  "are o valoare de tipul dată și oră, câmpul firmei este dată"},
        ValueCase{"True", "Item_in.DB", {"Serii", FieldCode::Logical, 1}, true, true, nullptr},
        ValueCase{"False", "Item_in.DB", {"Serii", FieldCode::Logical, 1}, false, false, nullptr},
        ValueCase{"EmptyLogical",
                  "Item_in.DB",
                  {"Serii", FieldCode::Logical, 1},
                  kEmpty,
                  kEmpty,
                  nullptr},
        ValueCase{"NumberInALogicalField",
                  "Item_in.DB",
                  {"Serii", FieldCode::Number, 8},
                  1.0,
                  kEmpty,
                  "câmpul firmei este logic"}),
    testsupport::ReadableName());

} // namespace
} // namespace pxtest
