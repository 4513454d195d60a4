// The column types the engine reads back from a stored table: every spelling it knows, a width
// given or left out, and declarations it does not know.
#include "platform/db/field_type.h"

#include <gtest/gtest.h>

using namespace db;

namespace {

struct Declared {
    const char* name;
    const char* declared;
    bool known;
    FieldType type;
    int size;
};
void PrintTo(const Declared& d, std::ostream* os) {
    *os << d.name;
}

class ColumnType : public ::testing::TestWithParam<Declared> {};

TEST_P(ColumnType, IsReadBackAsTheFieldTypeItWasWrittenFor) {
    const Declared& d = GetParam();
    FieldType type = FieldType::Boolean;
    int size = -1;
    ASSERT_EQ(parseSqlColumnType(QString::fromLatin1(d.declared), type, size), d.known);
    if (!d.known)
        return;
    EXPECT_EQ(type, d.type);
    EXPECT_EQ(size, d.size);
    // What the engine writes for that field is read back as the same field.
    FieldType again = FieldType::Boolean;
    int againSize = -1;
    ASSERT_TRUE(
        parseSqlColumnType(sqlColumnType({QStringLiteral("F"), type, size}), again, againSize));
    EXPECT_EQ(again, type);
    EXPECT_EQ(againSize, size);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, ColumnType,
    ::testing::Values(Declared{"TextWithWidth", "TEXT(30)", true, FieldType::Text, 30},
                      Declared{"TextWithBlanks", " text ( 8 ) ", true, FieldType::Text, 8},
                      Declared{"TextWithoutWidth", "TEXT", true, FieldType::Text,
                               kDefaultTextWidth},
                      Declared{"Varchar", "VARCHAR(12)", true, FieldType::Text, 12},
                      Declared{"Char", "char(1)", true, FieldType::Text, 1},
                      Declared{"Float", "FLOAT", true, FieldType::Float, 0},
                      Declared{"Real", "REAL", true, FieldType::Float, 0},
                      Declared{"Double", "Double", true, FieldType::Float, 0},
                      Declared{"Date", "DATE", true, FieldType::Date, 0},
                      Declared{"Boolean", "BOOLEAN", true, FieldType::Boolean, 0},
                      Declared{"Bool", "bool", true, FieldType::Boolean, 0},
                      Declared{"Integer", "INTEGER", true, FieldType::Integer, 0},
                      Declared{"Int", "INT", true, FieldType::Integer, 0},
                      Declared{"UnknownType", "BLOB", false, FieldType::Text, 0},
                      Declared{"NoType", "", false, FieldType::Text, 0},
                      Declared{"UnclosedWidth", "TEXT(8", false, FieldType::Text, 0},
                      Declared{"TwoWords", "DOUBLE PRECISION", false, FieldType::Text, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColumnTypeNames, EveryTypeHasItsName) {
    EXPECT_EQ(fieldTypeName(FieldType::Text), "text");
    EXPECT_EQ(fieldTypeName(FieldType::Float), "float");
    EXPECT_EQ(fieldTypeName(FieldType::Date), "date");
    EXPECT_EQ(fieldTypeName(FieldType::Boolean), "boolean");
    EXPECT_EQ(fieldTypeName(FieldType::Integer), "integer");
    EXPECT_EQ(sqlColumnType({QStringLiteral("F"), FieldType::Text, 0}),
              QStringLiteral("TEXT(%1)").arg(kDefaultTextWidth))
        << "a text without a width takes the default one";
}

} // namespace
