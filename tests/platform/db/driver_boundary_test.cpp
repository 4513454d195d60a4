// What the server driver does to the engine's statements and aliases, and moving a company's
// tables between two databases (on the server run: between the server and a directory).
#include "db_fixture.h"

#include "platform/db/connection.h"
#include "platform/db/database_copy.h"
#include "platform/db/drivers/postgres/connection.h"
#include "platform/db/drivers/postgres/query_language.h"

#include <QDir>
#include <QFile>

using namespace db;
using dbtest::DbFixture;
using Kind = base::DatabaseError::Kind;

namespace {

struct Translation {
    const char* name;
    const char* engine;
    const char* server;
    int parameters;
};

class ServerDialect : public ::testing::TestWithParam<Translation> {};

TEST_P(ServerDialect, TranslatesTheEnginesStatement) {
    const QueryText t = postgres::translateQuery(QString::fromUtf8(GetParam().engine));
    EXPECT_EQ(t.text, QString::fromUtf8(GetParam().server));
    EXPECT_EQ(t.parameterCount, GetParam().parameters);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, ServerDialect,
    ::testing::Values(
        Translation{"PositionalParameters", "SELECT a FROM t WHERE b = ? AND c > ?",
                    "SELECT a FROM t WHERE b = $1 AND c > $2", 2},
        Translation{"NumberedParameters", "SELECT 1 WHERE a = ?2 OR b = ?1",
                    "SELECT 1 WHERE a = $2 OR b = $1", 2},
        Translation{"NamedParametersRepeated", "WHERE a = :Cod OR b = :Cod AND c = :Grupa",
                    "WHERE a = $1 OR b = $1 AND c = $2", 2},
        Translation{"SchemaPrefixDroppedAndNamesFolded", "SELECT \"Cod\" FROM main.\"Stoc\"",
                    "SELECT \"cod\" FROM \"stoc\"", 0},
        Translation{"QuotesInsideLiteralsLeftAlone", "SELECT 'main.\"X\" ? :y' FROM t",
                    "SELECT 'main.\"X\" ? :y' FROM t", 0},
        Translation{"DoubledQuoteInLiteral", "SELECT 'it''s ?' , ?", "SELECT 'it''s ?' , $1", 1},
        Translation{"CastsAreNotParameters", "SELECT a::text FROM t", "SELECT a::text FROM t", 0},
        Translation{"CommentsKept", "SELECT 1 -- what ? means\n, ?",
                    "SELECT 1 -- what ? means\n, $1", 1}),
    [](const ::testing::TestParamInfo<Translation>& info) { return std::string(info.param.name); });

TEST(ServerDialectNames, ResultColumnsGetTheirSpellingBack) {
    const QueryText t = postgres::translateQuery(
        "SELECT D1.Cod_Grupa, SUM(Cant) AS Cant FROM \"Temp\" GROUP BY D1.Cod_Grupa");
    EXPECT_EQ(t.spelling.value("cod_grupa"), "Cod_Grupa");
    EXPECT_EQ(t.spelling.value("cant"), "Cant");
}

struct LocationCase {
    const char* name;
    const char* alias;
    bool valid;
    const char* connection;
    const char* schema;
};

class ServerAlias : public ::testing::TestWithParam<LocationCase> {};

TEST_P(ServerAlias, IsReadIntoConnectionAndSchema) {
    const postgres::ServerLocation l =
        postgres::parseServerLocation(QString::fromUtf8(GetParam().alias));
    EXPECT_EQ(l.valid, GetParam().valid) << l.problem.toStdString();
    if (l.valid) {
        EXPECT_EQ(l.connection, QString::fromUtf8(GetParam().connection));
        EXPECT_EQ(l.schema, QString::fromUtf8(GetParam().schema));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Aliases, ServerAlias,
    ::testing::Values(
        LocationCase{"KeywordsAndSchema",
                     "postgres:host=srv port=5433 dbname=lumbra schema=brutarie", true,
                     "host=srv port=5433 dbname=lumbra", "brutarie"},
        LocationCase{"ServiceWithSchemaFirst", "postgres:schema=Firma1 service=lumbra", true,
                     "service=lumbra", "firma1"},
        LocationCase{"NoSchemaIsPublic", "postgres:service=lumbra", true, "service=lumbra",
                     "public"},
        LocationCase{"SchemaWithQuotesRefused", "postgres:service=lumbra schema=a\"b", false, "",
                     ""},
        LocationCase{"SchemaNamedTwiceRefused", "postgres:host=x schema=a schema=b", false, "", ""},
        LocationCase{"ADirectoryIsNoServer", "/home/ana/firma", false, "", ""}),
    [](const ::testing::TestParamInfo<LocationCase>& info) {
        return std::string(info.param.name);
    });

TEST(ServerLocationFile, ADirectoryNamesItsServerInItsFile) {
    testsupport::TempDir dir;
    EXPECT_TRUE(serverLocationOf(dir.path()).isEmpty());
    QFile f(dir.path() + "/server.location");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# the company's tables\npostgres:service=lumbra schema=brutarie\n");
    f.close();
    EXPECT_EQ(serverLocationOf(dir.path()), "postgres:service=lumbra schema=brutarie");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("/not/a/server\n");
    f.close();
    EXPECT_THROW(serverLocationOf(dir.path()), base::DatabaseError);
}

TEST(PrivateAlias, IsRefusedOnAServer) {
    Session s;
    s.addAlias("KRV_PRIV", "postgres:host=127.0.0.1 port=1 schema=privat");
    Database priv("KRV_PRIV", &s);
    try {
        priv.open();
        ADD_FAILURE() << "the private alias opened on a server";
    } catch (const base::DatabaseError& e) {
        EXPECT_TRUE(e.message().contains("KRV_PRIV")) << e.message().toStdString();
    }
    EXPECT_FALSE(priv.isConnected());
}

TEST(ServerConnection, AnUnreachableServerIsNamed) {
    try {
        postgres::Connection c("postgres:host=127.0.0.1 port=1 connect_timeout=2 schema=x");
        ADD_FAILURE() << "connected to nothing";
    } catch (const base::DatabaseError& e) {
        EXPECT_EQ(e.kind(), Kind::NotConnected);
        EXPECT_TRUE(e.message().contains("127.0.0.1")) << e.message().toStdString();
    }
}

// Moving tables: every table with its indexes and records in order of entry; the counts are
// checked; a target holding tables is refused and left as it was.
class DatabaseCopy : public DbFixture {};

TEST_F(DatabaseCopy, MovesEveryTableAndBackWithItsIndexesAndRecords) {
    createStock();
    database->createTable(
        {"COUNTER.DB", {{"NewCounterOut", FieldType::Float}, {"Data", FieldType::Date}}, {}});
    {
        auto s = table("Stoc");
        s->open();
        addStock(*s, "01", "MAT", "M2", "", 0.1, 3);
        addStock(*s, "01", "MAT", "M1", "L1", 1.0 / 3.0, 0);
        addStock(*s, "02", "MAT", "Ş1", "", 2, -1.5e-7);
        auto c = table("COUNTER");
        c->open();
        c->append();
        c->fieldByName("NewCounterOut")->setAsFloat(41);
        c->fieldByName("Data")->setAsDate(QDate(2024, 2, 29));
        c->post();
    }
    const QString elsewhere = dir.sub("altundeva");
    Session other;
    other.addAlias("ALT", elsewhere);
    Database target("ALT", &other);
    const QList<CopiedTable> copied = copyDatabase(*database, target);
    ASSERT_EQ(copied.size(), 2);
    EXPECT_EQ(target.tableStructure("Stoc").indexes.size(), 2);
    EXPECT_EQ(target.tableStructure("Stoc").fields.size(), 6);

    // And back into a third, empty place of the run's driver.
    testsupport::TempDir third;
    const QString back = testsupport::companyLocation(third.path());
    Session again;
    again.addAlias("INAPOI", back);
    Database returned("INAPOI", &again);
    copyDatabase(target, returned);
    Table s("S");
    s.setSession(&again);
    s.setDatabaseName("INAPOI");
    s.setTableName("Stoc");
    s.open();
    EXPECT_EQ(column(s, "Cod_articol"), (QStringList{"M1", "M2", "Ş1"}));
    ASSERT_TRUE(s.findKey({"01", "MAT", "M1", "L1", 1.0 / 3.0}));
    EXPECT_EQ(s.fieldByName("Pret_achizitie")->asFloat(), 1.0 / 3.0) << "floats come back exactly";
    ASSERT_TRUE(s.findKey({"02", "MAT", "Ş1", QString(), 2.0}));
    EXPECT_TRUE(s.fieldByName("Lot")->isNull()) << "an empty text stays empty";
    EXPECT_EQ(s.fieldByName("Cantitate")->asFloat(), -1.5e-7);
    Table c("C");
    c.setSession(&again);
    c.setDatabaseName("INAPOI");
    c.setTableName("COUNTER");
    c.open();
    EXPECT_EQ(c.fieldByName("Data")->asDate(), QDate(2024, 2, 29));
}

TEST_F(DatabaseCopy, ATargetHoldingTablesIsRefusedAndKept) {
    createStock();
    const QString elsewhere = dir.sub("ocupat");
    Session other;
    other.addAlias("ALT", elsewhere);
    Database target("ALT", &other);
    target.createTable({"Altceva", {{"A", FieldType::Text, 4}}, {}});
    EXPECT_THROW(copyDatabase(*database, target), base::DatabaseError);
    EXPECT_EQ(target.tableNames(), QStringList{"Altceva"});
}

} // namespace
