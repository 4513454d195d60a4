// The demo company: complete, consistent, and showing the cases the production add-on is about
// when the production data module itself reads it.
#include "data/qdm_data_module.h"
#include "host/company_schema.h"
#include "host/demo_company.h"
#include "platform/db/query.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/db/table_name.h"
#include "platform/store/ini_file.h"
#include "settings/production_settings.h"
#include "tests/support/temp_dir.h"

#include <QHash>
#include <QSet>

#include <gtest/gtest.h>

namespace {

using Row = QVariantMap;

class DemoCompany : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host::createDemoCompany(companyDir, {}));
        session.addAlias(QStringLiteral("DEMO"), companyDir);
    }

    QList<Row> rows(const QString& sql) {
        db::Query q;
        q.setSession(&session);
        q.setDatabaseName(QStringLiteral("DEMO"));
        q.setSqlText(sql);
        q.open();
        QList<Row> out;
        for (q.first(); !q.eof(); q.next()) {
            Row r;
            for (int i = 0; i < q.fieldCount(); ++i)
                r.insert(q.field(i)->fieldName(), q.field(i)->value());
            out << r;
        }
        return out;
    }
    QSet<QString> column(const QString& sql) {
        QSet<QString> out;
        for (const Row& r : rows(sql))
            out << r.first().toString();
        return out;
    }
    int count(const QString& table) {
        return rows(QStringLiteral("SELECT COUNT(*) AS N FROM %1").arg(table))
            .at(0)
            .value("N")
            .toInt();
    }

    testsupport::TempDir dir;
    QString companyDir = dir.path() + QStringLiteral("/brutarie");
    db::Session session;
};

} // namespace

TEST_F(DemoCompany, HasEveryTableWithRecords) {
    db::Database database(QStringLiteral("DEMO"), &session);
    QList<db::TableDef> tables = company::hostTables();
    tables << company::addOnRecipeTable();
    for (const db::TableDef& t : tables) {
        ASSERT_TRUE(database.tableExists(t.name)) << t.name.toStdString();
        EXPECT_GT(count(db::storedTableName(t.name)), 0) << t.name.toStdString();
    }
    EXPECT_EQ(column("SELECT Cod_valuta FROM VALUTA"), (QSet<QString>{"RON", "EUR", "USD"}));
    // The counters record gives the next documents numbers that are still free.
    const QList<Row> counters = rows("SELECT NewCounterOut, NewCounterIn FROM COUNTER");
    ASSERT_EQ(counters.size(), 1);
    EXPECT_EQ(counters[0].value("NewCounterOut").toDouble(),
              rows("SELECT MAX(Contor) AS M FROM Doc_out").at(0).value("M").toDouble());
    EXPECT_EQ(counters[0].value("NewCounterIn").toDouble(),
              rows("SELECT MAX(Contor) AS M FROM Doc_in").at(0).value("M").toDouble());
}

TEST_F(DemoCompany, EveryCodeItNamesExists) {
    struct Reference {
        const char* what;
        const char* sql; // codes that have no match
    };
    const Reference references[] = {
        {"group of an article",
         "SELECT C.Cod FROM Catalog C LEFT JOIN Grup G ON G.Cod_grupa = C.Grupa "
         "WHERE G.Cod_grupa IS NULL"},
        {"class of a group",
         "SELECT G.Cod_grupa FROM Grup G LEFT JOIN Materiale M ON M.Cod_material = G.Cod_material "
         "WHERE M.Cod_material IS NULL"},
        {"recipe product", "SELECT R.Cod FROM Reteta R WHERE NOT EXISTS (SELECT 1 FROM Catalog C "
                           "WHERE C.Cod = R.Cod)"},
        {"recipe material under its group",
         "SELECT R.Cod_MatPrim FROM Reteta R WHERE NOT EXISTS "
         "(SELECT 1 FROM Catalog C WHERE C.Cod = R.Cod_MatPrim AND C.Grupa = R.Cod_Grupa)"},
        {"stock article",
         "SELECT S.Cod_articol FROM Stoc S WHERE NOT EXISTS "
         "(SELECT 1 FROM Catalog C WHERE C.Cod = S.Cod_articol AND C.Grupa = S.Cod_grupa)"},
        {"receipt line article",
         "SELECT I.Cod_articol FROM Item_in I WHERE NOT EXISTS "
         "(SELECT 1 FROM Catalog C WHERE C.Cod = I.Cod_articol AND C.Grupa = I.Cod_grupa)"},
        {"receipt of a line", "SELECT I.Cod_articol FROM Item_in I WHERE NOT EXISTS "
                              "(SELECT 1 FROM Doc_in D WHERE D.Contor = I.Contor)"},
        {"output document of a line", "SELECT I.Cod_articol FROM Item_out I WHERE NOT EXISTS "
                                      "(SELECT 1 FROM Doc_out D WHERE D.Contor = I.Contor)"},
        {"currency of an article",
         "SELECT C.Cod FROM Catalog C WHERE C.Moneda IS NOT NULL AND NOT EXISTS "
         "(SELECT 1 FROM Valuta V WHERE V.Cod_valuta = C.Moneda)"},
    };
    for (const Reference& r : references)
        EXPECT_TRUE(column(QString::fromLatin1(r.sql)).isEmpty()) << r.what;
}

TEST_F(DemoCompany, ShowsTheProductionCases) {
    // Every product with a recipe states the batch its quantities are for.
    EXPECT_TRUE(column("SELECT DISTINCT R.Cod FROM Reteta R JOIN Catalog C ON C.Cod = R.Cod "
                       "WHERE C.CantReteta IS NULL OR C.CantReteta <= 0")
                    .isEmpty());
    // A semi-finished product has a recipe and goes into another one.
    const QSet<QString> semis =
        column("SELECT DISTINCT R.Cod FROM Reteta R WHERE R.Cod LIKE 'S%' AND EXISTS "
               "(SELECT 1 FROM Reteta R2 WHERE R2.Cod_MatPrim = R.Cod)");
    EXPECT_FALSE(semis.isEmpty());
    // A receipt whose products share materials.
    EXPECT_FALSE(
        column("SELECT DISTINCT I1.Contor FROM Item_in I1 JOIN Item_in I2 ON I2.Contor = I1.Contor "
               "AND I2.Cod_articol <> I1.Cod_articol JOIN Reteta R1 ON R1.Cod = I1.Cod_articol "
               "JOIN Reteta R2 ON R2.Cod = I2.Cod_articol AND R2.Cod_MatPrim = R1.Cod_MatPrim")
            .isEmpty());
    // A receipt of products none of which has a recipe, besides the purchase of raw materials.
    EXPECT_FALSE(
        column("SELECT D.Contor FROM Doc_in D WHERE NOT EXISTS (SELECT 1 FROM Item_in I WHERE "
               "I.Contor = D.Contor AND (I.Cod_articol LIKE 'M%' OR EXISTS (SELECT 1 FROM Reteta R "
               "WHERE R.Cod = I.Cod_articol)))")
            .isEmpty());
    // Raw materials lie in two raw-material warehouses, and one of them in several lots.
    EXPECT_EQ(column("SELECT DISTINCT Cod_gestiune FROM Stoc WHERE Cod_articol LIKE 'M%'"),
              (QSet<QString>{"G01", "G02"}));
    EXPECT_FALSE(
        column("SELECT Cod_articol FROM Stoc WHERE Cod_articol LIKE 'M%' GROUP BY Cod_articol "
               "HAVING COUNT(*) >= 3")
            .isEmpty());
}

TEST_F(DemoCompany, ExactlyOneMaterialIsShortForItsReceipts) {
    // The demo's production settings, put back afterwards.
    struct Settings {
        Settings() : saved{IndGest, IndCod, IndSemi} { IndGest = 'G', IndCod = 'M', IndSemi = 'S'; }
        ~Settings() { IndGest = saved[0], IndCod = saved[1], IndSemi = saved[2]; }
        char saved[3];
    } settings;
    testsupport::TempDir privateDir;
    db::Session moduleSession;
    moduleSession.addAlias(QStringLiteral("KRV_PRIV"), privateDir.path());
    TQDMDataModule dm(&moduleSession);
    dm.GhostDB.params() = {QStringLiteral("PATH=") + companyDir};
    dm.GhostDB.open();
    // Every dataset over the company opens with its declared fields: the demo's tables have
    // the shape the module binds.
    for (db::DataSet* d :
         QList<db::DataSet*>{&dm.RetetaTable, &dm.CatalogTable, &dm.CatalogTable1,
                             &dm.CatalogTable2, &dm.DocInTable, &dm.ItemInTable, &dm.StocTable,
                             &dm.CounterTable, &dm.DocOutTable, &dm.ItemOutTable})
        EXPECT_NO_THROW(d->open()) << d->name().toStdString();

    QHash<QString, double> stock;
    for (const Row& r :
         rows("SELECT Cod_articol, SUM(Cantitate) AS Q FROM Stoc GROUP BY Cod_articol"))
        stock.insert(r.value("Cod_articol").toString(), r.value("Q").toDouble());
    QSet<QString> short_;
    QHash<int, int> requirementRows;
    for (const Row& receipt : rows("SELECT Contor FROM Doc_in")) {
        const int contor = receipt.value("Contor").toInt();
        dm.CalcNecesQuery.close();
        dm.CalcNecesQuery.paramByName(QStringLiteral("Contor")).setAsInteger(contor);
        dm.CalcNecesQuery.open();
        QHash<QString, double> need;
        for (dm.CalcNecesQuery.first(); !dm.CalcNecesQuery.eof(); dm.CalcNecesQuery.next()) {
            need[dm.CalcNecesQuery.fieldByName(QStringLiteral("Cod_MatPrim"))->asString()] +=
                dm.CalcNecesQuery.fieldByName(QStringLiteral("Cant"))->asFloat();
            ++requirementRows[contor];
        }
        for (auto it = need.cbegin(); it != need.cend(); ++it)
            if (it.value() > stock.value(it.key()) + 1e-9)
                short_ << it.key();
    }
    EXPECT_EQ(short_, QSet<QString>{"M016"});
    EXPECT_GT(requirementRows.value(2), 10); // three products, their materials overlapping
    EXPECT_EQ(requirementRows.value(4), 0);  // a product without a recipe
}

TEST_F(DemoCompany, KeepsProductionSettingsAndRomanianText) {
    const QString ini = companyDir + QStringLiteral("/KRVDEF.INI");
    EXPECT_EQ(store::readIniString(ini, "Productie", "IndGest"), "G");
    EXPECT_EQ(store::readIniString(ini, "Productie", "IndCod"), "M");
    EXPECT_EQ(store::readIniString(ini, "Productie", "IndSemi"), "S");
    EXPECT_EQ(column("SELECT Denumire FROM Catalog WHERE Cod = 'M001'"),
              QSet<QString>{"Făină albă tip 650"});
    EXPECT_EQ(column("SELECT Denumire FROM Catalog WHERE Cod = 'M018'"),
              QSet<QString>{"Seminţe de susan"});
    EXPECT_EQ(column("SELECT Furnizor FROM Doc_in WHERE Contor = 1"),
              QSet<QString>{"Moara Dâmboviţa SRL"});
}

TEST_F(DemoCompany, AnExistingCompanyIsLeftAlone) {
    EXPECT_TRUE(host::holdsCompany(companyDir));
    const int articles = count("Catalog");
    const int recipeLines = count("Reteta");
    {
        db::Table catalog;
        catalog.setSession(&session);
        catalog.setDatabaseName(QStringLiteral("DEMO"));
        catalog.setTableName(QStringLiteral("CATALOG.DB"));
        catalog.open();
        catalog.append();
        catalog.fieldByName(QStringLiteral("Grupa"))->setAsString(QStringLiteral("PF"));
        catalog.fieldByName(QStringLiteral("Cod"))->setAsString(QStringLiteral("P099"));
        catalog.post();
    }
    EXPECT_FALSE(host::createDemoCompany(companyDir, {}));
    EXPECT_EQ(count("Catalog"), articles + 1);
    EXPECT_EQ(count("Reteta"), recipeLines);
}

TEST(DemoCompanyTables, TakesTheAddOnsDefinitionsWhenGiven) {
    testsupport::TempDir dir;
    db::TableDef recipe = company::addOnRecipeTable();
    recipe.fields << db::FieldDef{QStringLiteral("Observatii"), db::FieldType::Text, 40};
    const db::TableDef extra{
        QStringLiteral("Extra.DB"), {{QStringLiteral("Cod"), db::FieldType::Text, 10}}, {}};
    ASSERT_TRUE(host::createDemoCompany(dir.path(), {recipe, extra}));

    db::Session session;
    session.addAlias(QStringLiteral("DEMO"), dir.path());
    db::Database database(QStringLiteral("DEMO"), &session);
    EXPECT_TRUE(database.tableExists(QStringLiteral("Extra.DB")));
    EXPECT_EQ(database.tableStructure(QStringLiteral("Reteta.DB")).fields.size(), 5);
}
