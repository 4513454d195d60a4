// Statements kept from one search to the next: a table re-created with another structure, through
// the same connection or another one, is read with its new columns, and a table walked and
// changed with its statements kept gives the same rows as a fresh one. The statement counts show
// that repeating a search prepares nothing again.
#include "db_fixture.h"

#include "platform/db/connection.h"

#include <functional>

using namespace db;
using dbtest::DbFixture;

namespace {

// "Pret.DB": a price by code, stored first as text and then, re-created, as a number.
TableDef priceTable(FieldType valueType) {
    return {QStringLiteral("Pret.DB"),
            {{QStringLiteral("Cod"), FieldType::Text, 10},
             {QStringLiteral("Valoare"), valueType, valueType == FieldType::Text ? 20 : 0}},
            {{QString(), {"Cod"}, true, true}}};
}

struct Recreation {
    const char* name;
    bool otherConnection; // the table is re-created by another user
};
void PrintTo(const Recreation& r, std::ostream* os) {
    *os << r.name;
}

class StatementReuse : public DbFixture, public ::testing::WithParamInterface<Recreation> {
protected:
    void fill(Database& d, const QList<QPair<QString, QVariant>>& rows) {
        Table t(QStringLiteral("Fill"));
        t.setSession(&session);
        t.setDatabaseName(d.databaseName());
        t.setTableName(QStringLiteral("Pret.DB"));
        t.open();
        for (const auto& [code, value] : rows) {
            t.append();
            t.fieldByName("Cod")->setAsString(code);
            t.fieldByName("Valoare")->setValue(value);
            t.post();
        }
    }
};

TEST_P(StatementReuse, ATableReCreatedBetweenTwoSearchesGivesItsNewRows) {
    database->createTable(priceTable(FieldType::Text));
    fill(*database, {{"A", "unu"}, {"B", "doi"}});
    {
        auto t = table("Pret.DB");
        t->open();
        ASSERT_TRUE(t->findKey({"B"}));
        EXPECT_EQ(t->fieldByName("Valoare")->asString(), "doi");
    }

    // The same structure by name, the value now a number, the records new.
    db::Session otherSession;
    otherSession.addAlias(QStringLiteral("TESTDB"), location);
    db::Database other(QStringLiteral("TESTDB"), &otherSession);
    Database& changer = GetParam().otherConnection ? other : *database;
    changer.deleteTable("Pret.DB");
    changer.createTable(priceTable(FieldType::Float));
    {
        Table t(QStringLiteral("Fill"));
        t.setSession(GetParam().otherConnection ? &otherSession : &session);
        t.setDatabaseName(QStringLiteral("TESTDB"));
        t.setTableName(QStringLiteral("Pret.DB"));
        t.open();
        for (const auto& [code, value] :
             {qMakePair(QStringLiteral("B"), 2.5), qMakePair(QStringLiteral("C"), 7.0)}) {
            t.append();
            t.fieldByName("Cod")->setAsString(code);
            t.fieldByName("Valoare")->setAsFloat(value);
            t.post();
        }
    }

    auto t = table("Pret.DB");
    t->open();
    ASSERT_EQ(t->fieldByName("Valoare")->dataType(), FieldType::Float);
    ASSERT_TRUE(t->findKey({"B"}));
    EXPECT_EQ(t->fieldByName("Valoare")->asFloat(), 2.5);
    EXPECT_FALSE(t->findKey({"A"})) << "a record of the old table";
    t->findNearest({"BB"});
    EXPECT_EQ(t->fieldByName("Cod")->asString(), "C");
    EXPECT_EQ(column(*t, "Cod"), (QStringList{"B", "C"}));
}

INSTANTIATE_TEST_SUITE_P(Engine, StatementReuse,
                         ::testing::Values(Recreation{"SameConnection", false},
                                           Recreation{"AnotherConnection", true}),
                         [](const auto& info) { return std::string(info.param.name); });

class StatementCounts : public DbFixture {};

// The catalogue's statements (whether a table exists, its structure) are kept across changes of
// structure, which are exactly when they are read: a table re-created with another field type is
// read with it, and nothing is prepared again to read it.
TEST_F(StatementCounts, TheCatalogueIsReadAfterAChangeOfStructureWithoutPreparingItAgain) {
    if (testsupport::onServer())
        GTEST_SKIP() << "a server keeps its statements its own way";
    database->createTable(priceTable(FieldType::Text));
    database->tableStructure("Pret.DB"); // with its index: every catalogue statement is made
    database->deleteTable("Pret.DB");
    Connection& c = database->connection();
    for (FieldType type : {FieldType::Float, FieldType::Text, FieldType::Float}) {
        database->createTable(priceTable(type));
        const auto before = c.statementCounts();
        EXPECT_TRUE(database->tableExists("Pret.DB"));
        EXPECT_EQ(database->tableStructure("Pret.DB").fields[1].type, type);
        EXPECT_EQ(c.statementCounts().prepared, before.prepared);
        database->deleteTable("Pret.DB");
    }
}

// Repeated searches, changes and deletes prepare nothing after the first round, a post reads
// nothing back, and a delete reads the record that takes its place with one statement.
TEST_F(StatementCounts, KeptStatementsAreNotPreparedAgainAndADeleteReadsOneRecord) {
    createStock();
    auto t = table("Stoc.DB");
    t->open();
    for (int i = 0; i < 40; ++i)
        addStock(*t, "G1", "MAT", "M001", "L1", i, 4);
    Connection& c = database->connection();
    auto round = [&](int i) {
        ASSERT_TRUE(t->findKey({"G1", "MAT", "M001", "L1", double(i)}));
        t->edit();
        t->fieldByName("Cantitate")->setAsFloat(3);
        t->post();
        ASSERT_TRUE(t->locate("Cod_articol;Pret_achizitie", {"M001", double(i)}));
        EXPECT_EQ(t->fieldByName("Pret_achizitie")->asFloat(), i);
        t->findNearest({"G1", "MAT", "M001", "L1", i + 0.5});
        EXPECT_EQ(t->fieldByName("Pret_achizitie")->asFloat(), i + 1);
    };
    round(0);
    const auto before = c.statementCounts();
    for (int i = 1; i < 10; ++i)
        round(i);
    EXPECT_EQ(c.statementCounts().prepared, before.prepared);

    // A post writes where the record still holds what was read and does not read it back: the
    // transaction's begin and commit and the update.
    ASSERT_TRUE(t->findKey({"G1", "MAT", "M001", "L1", 30.0}));
    t->edit();
    t->fieldByName("Cantitate")->setAsFloat(2.5);
    const auto beforePost = c.statementCounts();
    t->post();
    EXPECT_EQ(c.statementCounts().executed - beforePost.executed, 3u);
    EXPECT_EQ(t->fieldByName("Cantitate")->asFloat(), 2.5);

    ASSERT_TRUE(t->findKey({"G1", "MAT", "M001", "L1", 20.0}));
    const auto beforeDelete = c.statementCounts();
    t->remove();
    EXPECT_EQ(t->fieldByName("Pret_achizitie")->asFloat(), 21);
    // The transaction's begin and commit, the delete where the record still holds what was read
    // and one read of the record that follows.
    EXPECT_EQ(c.statementCounts().executed - beforeDelete.executed, 4u);
    t->next();
    EXPECT_EQ(t->fieldByName("Pret_achizitie")->asFloat(), 22);
    t->last();
    t->remove();
    EXPECT_EQ(t->fieldByName("Pret_achizitie")->asFloat(), 38) << "the one before the last";
    EXPECT_EQ(t->recordCount(), 38);
}

} // namespace
