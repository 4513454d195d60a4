// Managing tables at the edges: every refused request to create, delete or index a table, or to
// change a table while it is open, says why and leaves the database as it was; a query that
// changes rows reports how many.
#include "db_fixture.h"

#include "platform/db/batch_move.h"
#include "platform/db/query.h"

#include <functional>

using namespace db;
using dbtest::DbFixture;
using Kind = base::DatabaseError::Kind;

namespace {

struct Refusal {
    const char* name;
    std::function<void(Database&, Table&)> request; // the table is "Stoc.DB", closed
    Kind kind;
};
void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class TableManagement : public DbFixture, public ::testing::WithParamInterface<Refusal> {};

TEST_P(TableManagement, RefusesAndLeavesTheDatabaseAsItWas) {
    const Refusal& r = GetParam();
    createStock();
    auto t = table("Stoc.DB");
    t->open();
    addStock(*t, "G1", "MAT", "M100", "L1", 1, 4);
    t->close();
    const QStringList tables = database->tableNames();
    const TableDef before = database->tableStructure("Stoc.DB");
    EXPECT_EQ(dbtest::errorKind([&] { r.request(*database, *t); }), r.kind);
    EXPECT_EQ(database->tableNames(), tables);
    const TableDef after = database->tableStructure("Stoc.DB");
    EXPECT_EQ(after.fields.size(), before.fields.size());
    EXPECT_EQ(after.indexes.size(), before.indexes.size());
    auto reader = table("Stoc.DB");
    reader->open();
    EXPECT_EQ(reader->recordCount(), 1) << "the records are kept";
}

INSTANTIATE_TEST_SUITE_P(
    Engine, TableManagement,
    ::testing::Values(
        Refusal{"CreateATableThatExists",
                [](Database& d, Table&) {
                    d.createTable({"stoc", {{"Cod", FieldType::Text, 4}}, {}});
                },
                Kind::General},
        Refusal{"CreateATableWithoutFields",
                [](Database& d, Table&) {
                    d.createTable({"Gol.DB", {}, {}});
                },
                Kind::General},
        Refusal{"DeleteATableThatDoesNotExist",
                [](Database& d, Table&) { d.deleteTable("Nimic.DB"); }, Kind::TableNotFound},
        Refusal{"IndexATableThatDoesNotExist",
                [](Database& d, Table&) {
                    d.addIndex("Nimic.DB", {"I", {"Cod"}, false, false});
                },
                Kind::TableNotFound},
        Refusal{"IndexWithoutFields",
                [](Database& d, Table&) {
                    d.addIndex("Stoc.DB", {"I", {}, false, false});
                },
                Kind::General},
        Refusal{"IndexAnUnknownField",
                [](Database& d, Table&) {
                    d.addIndex("Stoc.DB", {"I", {"Cod_grupa", "Nimic"}, false, false});
                },
                Kind::FieldMismatch},
        Refusal{"ASecondPrimaryIndex",
                [](Database& d, Table&) {
                    d.addIndex("Stoc.DB", {QString(), {"Lot"}, true, true});
                },
                Kind::General},
        Refusal{"ASecondaryIndexWithoutAName",
                [](Database& d, Table&) {
                    d.addIndex("Stoc.DB", {QString(), {"Lot"}, false, false});
                },
                Kind::General},
        Refusal{"AnIndexNameTakenAlready",
                [](Database& d, Table&) {
                    d.addIndex("Stoc.DB", {"GrupaArticol", {"Lot"}, false, false});
                },
                Kind::General},
        Refusal{"OrderByFieldsNoIndexBeginsWith",
                [](Database&, Table& t) {
                    t.setIndexFieldNames("Cod_articol");
                    t.open();
                },
                Kind::General},
        Refusal{"OrderByMoreFieldsThanTheIndexHas",
                [](Database&, Table& t) {
                    t.setIndexFieldNames("Cod_grupa;Cod_articol;Lot");
                    t.open();
                },
                Kind::General},
        Refusal{"RenameTheOpenTable",
                [](Database&, Table& t) {
                    t.open();
                    t.setTableName("Alta.DB");
                },
                Kind::InvalidState},
        Refusal{"DeleteTheOpenTable",
                [](Database&, Table& t) {
                    t.open();
                    t.deleteTable();
                },
                Kind::InvalidState},
        Refusal{"IndexTheOpenTable",
                [](Database&, Table& t) {
                    t.open();
                    t.addIndex("Lot", "Lot", false);
                },
                Kind::InvalidState},
        Refusal{"MakeTheOpenTableReadOnly",
                [](Database&, Table& t) {
                    t.open();
                    t.setReadOnly(true);
                },
                Kind::InvalidState},
        Refusal{"MoveTheOpenTableToAnotherDatabase",
                [](Database&, Table& t) {
                    t.open();
                    t.setDatabaseName("ALTA");
                },
                Kind::InvalidState},
        Refusal{"AddAFieldToTheOpenTable",
                [](Database&, Table& t) {
                    t.open();
                    t.addField("Nou", FieldType::Text, 4);
                },
                Kind::InvalidState},
        Refusal{"ABatchMoveWithoutASource",
                [](Database&, Table& t) {
                    BatchMove move;
                    move.setDestination(&t);
                    move.execute();
                },
                Kind::General},
        Refusal{"RenameTheConnectedDatabase",
                [](Database& d, Table&) { d.setDatabaseName("ALTA"); }, Kind::InvalidState}),
    [](const auto& info) { return std::string(info.param.name); });

class QueryEdges : public DbFixture {};

TEST_F(QueryEdges, AStatementThatChangesRowsSaysHowManyAndAnUnknownParameterIsRefused) {
    createStock();
    auto t = table("Stoc.DB");
    t->open();
    for (const char* lot : {"L1", "L2", "L3"})
        addStock(*t, "G1", "MAT", "M100", lot, 1, 4);
    Query q("Q");
    q.setSession(&session);
    q.setDatabaseName("TESTDB");
    q.setSql({"UPDATE \"Stoc.DB\" SET Cantitate = 0", "WHERE Lot > :Lot"});
    q.paramByName("lot").setValue(QStringLiteral("L1"));
    EXPECT_EQ(q.execSql(), 2);
    q.paramByName("Lot").setValue(QStringLiteral("L3"));
    EXPECT_EQ(q.execSql(), 0) << "no row is after the last";
    EXPECT_THROW(q.paramByName("Nimic"), base::DatabaseError);
    t->refresh();
    EXPECT_EQ(t->sum("Cantitate", "Cod_articol", {"M100"}), 4.0);

    // A query's records cannot be changed.
    Query read("R");
    read.setSession(&session);
    read.setDatabaseName("TESTDB");
    read.setSqlText("SELECT Lot FROM \"Stoc.DB\" ORDER BY Lot");
    read.open();
    EXPECT_EQ(dbtest::errorKind([&] { read.edit(); }), Kind::InvalidState);
    EXPECT_EQ(dbtest::errorKind([&] { read.setDatabaseName("ALTA"); }), Kind::InvalidState);
    EXPECT_EQ(column(read, "Lot"), (QStringList{"L1", "L2", "L3"}));
}

} // namespace
