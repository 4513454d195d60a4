// Each driver's spelling of what the table asks of the engine, side by side; and a statement
// written in the server's own terms tells its number of parameters.
#include "platform/db/drivers/postgres/dialect.h"
#include "platform/db/drivers/postgres/query_language.h"
#include "platform/db/drivers/sqlite/dialect.h"

#include <functional>
#include <gtest/gtest.h>

using namespace db;

namespace {

struct Spelling {
    const char* name;
    std::function<QString(const Dialect&)> spell;
    const char* sqlite;
    const char* server;
};
void PrintTo(const Spelling& s, std::ostream* os) {
    *os << s.name;
}

class DialectSpelling : public ::testing::TestWithParam<Spelling> {};

TEST_P(DialectSpelling, IsTheDriversOwn) {
    const Spelling& s = GetParam();
    EXPECT_EQ(s.spell(sqlite::Dialect::instance()), QString::fromUtf8(s.sqlite));
    EXPECT_EQ(s.spell(postgres::Dialect::instance()), QString::fromUtf8(s.server));
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, DialectSpelling,
    ::testing::Values(
        // A table called "temp" is the company's table, never SQLite's temporary schema.
        Spelling{"TableNamedTemp", [](const Dialect& d) { return d.table("temp"); },
                 "main.\"temp\"", "\"temp\""},
        Spelling{"TableNameKeepsItsCaseWhereTheEngineDoes",
                 [](const Dialect& d) { return d.table("Stoc"); }, "main.\"Stoc\"", "\"stoc\""},
        Spelling{"QuoteInsideAName", [](const Dialect& d) { return d.identifier("a\"b"); },
                 "\"a\"\"b\"", "\"a\"\"b\""},
        Spelling{"RecordIdentity", [](const Dialect& d) { return d.rowId(); }, "rowid", "rowid"},
        Spelling{"ParametersNumbered", [](const Dialect& d) { return d.parameter(12); }, "?12",
                 "$12"},
        Spelling{"TypedParameterInAListOfValues",
                 [](const Dialect& d) { return d.typedParameter(3, FieldType::Float); }, "?3",
                 "CAST($3 AS double precision)"},
        Spelling{"TextColumnComparesByteByByte",
                 [](const Dialect& d) {
                     return d.columnType({"Cod", FieldType::Text, 30});
                 },
                 "TEXT(30)", "varchar(30) COLLATE \"C\""},
        Spelling{"DateColumn",
                 [](const Dialect& d) {
                     return d.columnType({"Data", FieldType::Date, 0});
                 },
                 "DATE", "date"},
        Spelling{"TotalIsZeroOverNoRecords", [](const Dialect& d) { return d.total("x"); },
                 "TOTAL(x)", "coalesce(sum(x), 0)"},
        Spelling{"AscendingEmptyFirst",
                 [](const Dialect& d) { return d.orderTerm("c", false, true); }, "c",
                 "c NULLS FIRST"},
        Spelling{"DescendingEmptyLast",
                 [](const Dialect& d) { return d.orderTerm("c", true, true); }, "c DESC",
                 "c DESC NULLS LAST"},
        Spelling{"OrderWithoutWalkingTheIndex",
                 [](const Dialect& d) { return d.orderTerm("c", false, false); }, "+c",
                 "c NULLS FIRST"},
        Spelling{"RowLock", [](const Dialect& d) { return d.lockRows(); }, "", " FOR UPDATE"},
        Spelling{
            "EachListsRecordsByItsOwnSearch",
            [](const Dialect& d) { return d.eachListsRecords("(?1)", "s", "t.a = k.column1"); },
            "(VALUES (?1)) AS k JOIN s AS t ON t.a = k.column1",
            "(VALUES (?1)) AS k CROSS JOIN LATERAL (SELECT * FROM s AS t WHERE t.a = "
            "k.column1 OFFSET 0) AS t"},
        Spelling{"InsertAnswersItsIdentity", [](const Dialect& d) { return d.returningRowId(); },
                 "", " RETURNING rowid"},
        Spelling{"EmptyValuesCompareEqual",
                 [](const Dialect& d) { return d.sameValue("c", d.parameter(1)); }, "c IS ?1",
                 "c IS NOT DISTINCT FROM $1"},
        Spelling{"QueryTableFileNames",
                 [](const Dialect& d) {
                     return d.query("SELECT \"Cod\" FROM \"Temp.Db\" WHERE a = :Cod").text;
                 },
                 "SELECT \"Cod\" FROM main.\"Temp\" WHERE a = :Cod",
                 "SELECT \"cod\" FROM \"temp\" WHERE a = $1"}),
    [](const auto& info) { return std::string(info.param.name); });

struct Counted {
    const char* name;
    const char* sql;
    int parameters;
};
void PrintTo(const Counted& c, std::ostream* os) {
    *os << c.name;
}

class ServerParameters : public ::testing::TestWithParam<Counted> {};

TEST_P(ServerParameters, AreCountedInTheServersOwnText) {
    EXPECT_EQ(postgres::countParameters(QString::fromUtf8(GetParam().sql)), GetParam().parameters);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, ServerParameters,
    ::testing::Values(Counted{"None", "SELECT 1", 0},
                      Counted{"HighestNumberCounts", "SELECT $2, $10, $1", 10},
                      Counted{"InsideLiteralsNot", "SELECT '$5' FROM t WHERE a = $1", 1},
                      Counted{"InsideQuotedNamesNot", "SELECT \"a$3\" FROM t WHERE b = $2", 2},
                      Counted{"DollarInANameNot", "SELECT x FROM lumbra$3 WHERE a = $1", 1}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
