#include "db_fixture.h"

#include "platform/db/batch_move.h"
#include "platform/db/drivers/postgres/dialect.h"
#include "platform/db/drivers/sqlite/dialect.h"
#include "platform/db/query.h"
#include "platform/db/row_insert.h"
#include "platform/db/table_name.h"

using namespace db;
using dbtest::DbFixture;
using Kind = base::DatabaseError::Kind;

namespace {

class Queries : public DbFixture {
protected:
    testsupport::TempDir privateDir;
    std::unique_ptr<Database> priv;

    void SetUp() override {
        DbFixture::SetUp();
        session.addAlias("PRIVAT", privateDir.path());
        priv = std::make_unique<Database>("PRIVAT", &session);
        database->createTable({"Item_in.DB",
                               {{"Contor", FieldType::Float},
                                {"Cod_grupa", FieldType::Text, 8},
                                {"Cod_articol", FieldType::Text, 30},
                                {"Cantitate", FieldType::Float}},
                               {}});
        database->createTable({"Reteta.DB",
                               {{"Cod", FieldType::Text, 30},
                                {"Cod_MatPrim", FieldType::Text, 30},
                                {"Cod_Grupa", FieldType::Text, 8},
                                {"Cant_MatPrim", FieldType::Float}},
                               {{QString(), {"Cod", "Cod_MatPrim"}, true, true}}});
        auto items = table("Item_in");
        items->open();
        for (auto [contor, cod, cant] :
             {std::tuple{7.0, "PF01", 10.0}, {7.0, "PF02", 4.0}, {8.0, "PF01", 1.0}}) {
            items->append();
            items->fieldByName("Contor")->setAsFloat(contor);
            items->fieldByName("Cod_articol")->setAsString(cod);
            items->fieldByName("Cantitate")->setAsFloat(cant);
            items->post();
        }
        auto recipes = table("Reteta");
        recipes->open();
        for (auto [cod, mat, grupa, cant] : {std::tuple{"PF01", "M1", "MAT", 2.0},
                                             {"PF01", "M2", "MAT", 1.0},
                                             {"PF02", "M1", "MAT", 0.5},
                                             {"PF02", "M1X", "AUX", 3.0}}) {
            recipes->append();
            recipes->fieldByName("Cod")->setAsString(cod);
            recipes->fieldByName("Cod_MatPrim")->setAsString(mat);
            recipes->fieldByName("Cod_Grupa")->setAsString(grupa);
            recipes->fieldByName("Cant_MatPrim")->setAsFloat(cant);
            recipes->post();
        }
    }

    std::unique_ptr<Query> query(const QString& alias, const QStringList& lines) {
        auto q = std::make_unique<Query>("Q");
        q->setSession(&session);
        q->setDatabaseName(alias);
        q->setSql(lines);
        return q;
    }
};

TEST_F(Queries, NamedParametersAndColumnTypes) {
    auto q = query("TESTDB",
                   {"SELECT  D1.Cod_Grupa,D1.Cod_MatPrim, (D.Cantitate * D1.Cant_MatPrim) AS Cant",
                    "FROM Item_in D, Reteta D1", "WHERE d.Contor=:Contor",
                    " AND (D1.Cod = D.Cod_articol)"});
    ASSERT_EQ(q->params().size(), 1);
    EXPECT_EQ(dbtest::errorKind([&] { q->open(); }), Kind::General)
        << "a parameter without a value is refused";
    q->paramByName("Contor").setAsInteger(7);
    q->open();
    EXPECT_EQ(q->recordCount(), 4);
    EXPECT_EQ(q->fieldByName("Cod_Grupa")->dataType(), FieldType::Text);
    EXPECT_EQ(q->fieldByName("Cod_Grupa")->size(), 8);
    EXPECT_EQ(q->fieldByName("Cod_MatPrim")->size(), 30);
    EXPECT_EQ(q->fieldByName("Cant")->dataType(), FieldType::Float);
    EXPECT_EQ(dbtest::errorKind([&] { q->edit(); }), Kind::InvalidState);
    q->last();
    EXPECT_FALSE(q->eof() && q->isEmpty());
}

TEST_F(Queries, BatchCopyAggregateAndPrimaryIndexOnThePrivateTable) {
    auto calc = query(
        "TESTDB",
        {"SELECT  D1.Cod_Grupa,D1.Cod_MatPrim, (D.Cantitate * D1.Cant_MatPrim) AS Cant",
         "FROM Item_in D, Reteta D1", "WHERE d.Contor=:Contor", " AND (D1.Cod = D.Cod_articol)"});
    calc->paramByName("Contor").setAsInteger(7);
    auto temp = table("temp.DB");
    temp->setDatabaseName("PRIVAT");
    BatchMove move;
    move.setSource(calc.get());
    move.setDestination(temp.get());
    move.execute();
    EXPECT_EQ(move.movedCount(), 4);
    const TableDef copied = priv->tableStructure("Temp.Db");
    ASSERT_EQ(copied.fields.size(), 3);
    EXPECT_EQ(copied.fields[0].size, 8);
    EXPECT_EQ(copied.fields[2].type, FieldType::Float);

    auto sum = query("PRIVAT", {"SELECT DISTINCT  Cod_Grupa,Cod_MatPrim,SUM(Cant) as Cant",
                                "FROM \"Temp.Db\"", "GROUP BY Cod_Grupa,Cod_MatPrim",
                                "ORDER BY Cod_MatPrim"});
    sum->open();
    EXPECT_EQ(column(*sum, "Cod_MatPrim"), (QStringList{"M1", "M1X", "M2"}));
    sum->first();
    EXPECT_DOUBLE_EQ(sum->fieldByName("Cant")->asFloat(), 22); // 10 × 2 + 4 × 0.5
    move.setSource(sum.get());
    move.execute(); // replaces the first copy
    temp->addIndex("Cod_MatPrim", "Cod_grupa;Cod_MatPrim", true);
    temp->open();
    EXPECT_EQ(column(*temp, "Cod_MatPrim"), (QStringList{"M1X", "M1", "M2"}))
        << "read in key order: group, then code";
    temp->append();
    temp->fieldByName("Cod_grupa")->setAsString("MAT");
    temp->fieldByName("Cod_MatPrim")->setAsString("M2");
    EXPECT_EQ(dbtest::errorKind([&] { temp->post(); }), Kind::KeyViolation);
    temp->cancel();
    EXPECT_EQ(dbtest::errorKind([&] { temp->deleteTable(); }), Kind::InvalidState)
        << "only a closed table is deleted";
    temp->close();
    temp->deleteTable();
    EXPECT_FALSE(temp->exists());
}

// A copy reads its source a batch at a time and writes a few rows a statement (fewer for a wide
// table): every record the filter lets through arrives whole and in order, whatever the count
// against the batch, and the source keeps its place.
TEST_F(Queries, BatchCopyOfAWideFilteredTableTakesEveryRecordAndLeavesTheSourceInPlace) {
    TableDef wide{"Lat.DB", {{"Nr", FieldType::Float}, {"Den", FieldType::Text, 20}}, {}};
    for (int i = 1; i <= 38; ++i)
        wide.fields << FieldDef{QStringLiteral("V%1").arg(i), FieldType::Float};
    wide.indexes = {{QString(), {"Nr"}, true, true}};
    database->createTable(wide);
    const int count = 2100; // two whole batches and a rest
    database->transaction([&] {
        insertRows(*database, wide.name, wide.fields, count, [](qsizetype row, qsizetype field) {
            if (field == 1)
                return QVariant(row % 7 == 0 ? QStringLiteral("Țiglă %1").arg(row) : QString());
            return QVariant(double(row + 1) * (field == 0 ? 1 : field));
        });
    });

    auto source = table("Lat.DB");
    source->open();
    for (const bool filtered : {false, true}) {
        SCOPED_TRACE(filtered ? "filtered" : "whole");
        source->onFilterRecord = [](DataSet& d, bool& accept) {
            accept = int(d.fieldByName("Nr")->asFloat()) % 3 != 0;
        };
        source->setFiltered(filtered);
        source->first();
        for (int i = 0; i < 4; ++i)
            source->next();
        const double here = source->fieldByName("Nr")->asFloat();

        auto copy = table("Copie.DB");
        BatchMove move;
        move.setSource(source.get());
        move.setDestination(copy.get());
        move.execute();
        const int expected = filtered ? count - count / 3 : count;
        EXPECT_EQ(move.movedCount(), expected);
        EXPECT_EQ(source->fieldByName("Nr")->asFloat(), here) << "the source keeps its record";
        EXPECT_EQ(source->state(), DataSetState::Browse);

        copy->open(); // without an index, in the order written
        EXPECT_EQ(copy->recordCount(), expected);
        int seen = 0;
        double previous = 0;
        for (copy->first(); !copy->eof(); copy->next(), ++seen) {
            const double nr = copy->fieldByName("Nr")->asFloat();
            ASSERT_GT(nr, previous);
            previous = nr;
            if (filtered) {
                ASSERT_NE(int(nr) % 3, 0) << nr;
            }
            const int row = int(nr) - 1;
            ASSERT_EQ(copy->fieldByName("Den")->asString(),
                      row % 7 == 0 ? QStringLiteral("Țiglă %1").arg(row) : QString())
                << nr;
            ASSERT_EQ(copy->fieldByName("V38")->asFloat(), nr * 39) << nr; // the 40th field
        }
        EXPECT_EQ(seen, expected);
        copy->close();
    }
}

TEST_F(Queries, PrimaryIndexOverDuplicatesIsAKeyViolation) {
    auto items = table("Item_in");
    EXPECT_EQ(dbtest::errorKind([&] { items->addIndex("", "Contor", true); }), Kind::KeyViolation);
    EXPECT_EQ(database->tableStructure("Item_in").indexes.size(), 0);
}

TEST(TableNames, QuotedFileNamesAreTranslated) {
    EXPECT_EQ(storedTableName("CATALOG.DB"), "CATALOG");
    EXPECT_EQ(storedTableName("Catalog"), "Catalog");
    EXPECT_EQ(translateTableFileNames("SELECT * FROM \"Temp.Db\" WHERE x = 'a.db'",
                                      sqlite::Dialect::instance()),
              "SELECT * FROM main.\"Temp\" WHERE x = 'a.db'");
    EXPECT_EQ(translateTableFileNames("SELECT * FROM \"Temp.Db\" JOIN \"Stoc.DB\" ON 1",
                                      postgres::Dialect::instance()),
              "SELECT * FROM \"temp\" JOIN \"stoc\" ON 1");
    EXPECT_EQ(parameterNames("SELECT ':x' FROM t WHERE a=:Contor AND b = :From OR c=:contor"),
              (QStringList{"Contor", "From"}));
}

} // namespace
