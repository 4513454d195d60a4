// The column types the SQLite driver reads back from a stored table: every spelling it knows, a
// width given or left out, and declarations it does not know; and the server's catalogue names.
#include "platform/db/drivers/postgres/dialect.h"
#include "platform/db/drivers/sqlite/dialect.h"
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

class DeclaredType : public ::testing::TestWithParam<Declared> {};

TEST_P(DeclaredType, IsReadBackAsTheFieldTypeItWasWrittenFor) {
    const Declared& d = GetParam();
    const db::ColumnType read = sqlite::parseColumnType(QString::fromLatin1(d.declared));
    ASSERT_EQ(read.known, d.known);
    if (!d.known)
        return;
    EXPECT_EQ(read.type, d.type);
    EXPECT_EQ(read.size, d.size);
    // What the driver writes for that field is read back as the same field.
    const db::ColumnType again = sqlite::parseColumnType(
        sqlite::Dialect::instance().columnType({QStringLiteral("F"), read.type, read.size}));
    ASSERT_TRUE(again.known);
    EXPECT_EQ(again.type, read.type);
    EXPECT_EQ(again.size, read.size);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, DeclaredType,
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
    EXPECT_EQ(sqlite::Dialect::instance().columnType({QStringLiteral("F"), FieldType::Text, 0}),
              QStringLiteral("TEXT(%1)").arg(kDefaultTextWidth))
        << "a text without a width takes the default one";
    EXPECT_EQ(postgres::Dialect::instance().columnType({QStringLiteral("F"), FieldType::Text, 0}),
              QStringLiteral("varchar(%1) COLLATE \"C\"").arg(kDefaultTextWidth));
}

class CatalogueType : public ::testing::TestWithParam<Declared> {};

TEST_P(CatalogueType, IsReadAsTheFieldTypeTheServerStoresItFor) {
    const Declared& d = GetParam();
    const db::ColumnType read = postgres::parseColumnType(QString::fromLatin1(d.declared));
    ASSERT_EQ(read.known, d.known);
    if (!d.known)
        return;
    EXPECT_EQ(read.type, d.type);
    EXPECT_EQ(read.size, d.size);
}

INSTANTIATE_TEST_SUITE_P(
    Server, CatalogueType,
    ::testing::Values(Declared{"Varchar", "character varying(30)", true, FieldType::Text, 30},
                      Declared{"VarcharWithoutWidth", "character varying", true, FieldType::Text,
                               255},
                      Declared{"Text", "text", true, FieldType::Text, 255},
                      Declared{"Double", "double precision", true, FieldType::Float, 0},
                      Declared{"Real", "real", true, FieldType::Float, 0},
                      Declared{"Date", "date", true, FieldType::Date, 0},
                      Declared{"Boolean", "boolean", true, FieldType::Boolean, 0},
                      Declared{"Integer", "integer", true, FieldType::Integer, 0},
                      Declared{"Bigint", "bigint", true, FieldType::Integer, 0},
                      Declared{"Numeric", "numeric(10,2)", false, FieldType::Text, 0},
                      Declared{"Bytea", "bytea", false, FieldType::Text, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
