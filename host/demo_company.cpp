// The demo company's records. Everything a person sees in the demo is written out here, table
// by table, in the order the tables are listed in the host's schema.
#include "host/demo_company.h"

#include "host/company_schema.h"
#include "platform/base/errors.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/db/table_name.h"
#include "platform/store/ini_file.h"

#include <QDate>
#include <QDir>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace host {

namespace {

using Rows = QList<QVariantList>;

const QString kAlias = QStringLiteral("LUMBRA_DEMO");

QDate day(int d) {
    return QDate(2025, 3, d);
}

// The records, one per line, as tables.
// clang-format off

// ---- article classes (Materiale.db) and groups (Grup.DB) ----

const QStringList kClassColumns = {"Cod_material", "Denumire", "CONT_SINT"};
const Rows kClasses = {
    {"301", "Materii prime",  "301"},
    {"341", "Semifabricate",  "341"},
    {"345", "Produse finite", "345"},
    {"381", "Ambalaje",       "381"},
};

const QStringList kGroupColumns = {"Cod_material", "Cod_grupa", "Denumire", "Cont_sint"};
const Rows kGroups = {
    {"301", "MPF", "Făinuri şi cereale",           "301"},
    {"301", "MPA", "Alte materii prime",           "301"},
    {"341", "SF",  "Semifabricate de panificaţie", "341"},
    {"345", "PF",  "Pâine şi covrigi",             "345"},
    {"345", "PFP", "Produse de patiserie",         "345"},
    {"381", "AMB", "Ambalaje",                     "381"},
};

// ---- currencies (VALUTA.DB) ----

const QStringList kCurrencyColumns = {"Cod_valuta", "Denumire"};
const Rows kCurrencies = {
    {"RON", "Leu românesc"},
    {"EUR", "Euro"},
    {"USD", "Dolar american"},
};

// ---- the article catalog (CATALOG.DB) ----
// Raw materials and packaging begin with M, semi-finished products with S, finished products
// with P. CantReteta is the batch quantity a recipe is stated for; empty without a recipe.

const QStringList kCatalogColumns = {"Grupa", "Cod", "Denumire", "Unitate_masura", "Pret_vinzare", "Moneda",
                                     "Coef_TVA", "Cont_marfa", "Cont_cheltuieli", "Cont_TVA_Intrari",
                                     "Cont_TVA_Iesiri", "Cont_venituri", "CantReteta"};
const QVariant kNone;
const Rows kCatalog = {
    {"MPF", "M001", "Făină albă tip 650",                "kg",  0.0,   "RON", 9.0,  "301", "601", "4426", "4427", "",    kNone},
    {"MPF", "M002", "Făină integrală",                   "kg",  0.0,   "RON", 9.0,  "301", "601", "4426", "4427", "",    kNone},
    {"MPA", "M010", "Drojdie proaspătă",                 "kg",  0.0,   "RON", 9.0,  "301", "601", "4426", "4427", "",    kNone},
    {"MPA", "M011", "Sare iodată",                       "kg",  0.0,   "RON", 9.0,  "301", "601", "4426", "4427", "",    kNone},
    {"MPA", "M012", "Zahăr tos",                         "kg",  0.0,   "RON", 9.0,  "301", "601", "4426", "4427", "",    kNone},
    {"MPA", "M013", "Ulei de floarea-soarelui",          "l",   0.0,   "RON", 9.0,  "301", "601", "4426", "4427", "",    kNone},
    {"MPA", "M014", "Ouă de găină",                      "buc", 0.0,   "RON", 9.0,  "301", "601", "4426", "4427", "",    kNone},
    {"MPA", "M015", "Lapte integral",                    "l",   0.0,   "RON", 9.0,  "301", "601", "4426", "4427", "",    kNone},
    {"MPA", "M016", "Unt 82%",                           "kg",  0.0,   "RON", 9.0,  "301", "601", "4426", "4427", "",    kNone},
    {"MPA", "M017", "Miez de nucă",                      "kg",  0.0,   "RON", 9.0,  "301", "601", "4426", "4427", "",    kNone},
    {"MPA", "M018", "Seminţe de susan",                  "kg",  0.0,   "RON", 9.0,  "301", "601", "4426", "4427", "",    kNone},
    {"MPA", "M019", "Cacao pudră",                       "kg",  0.0,   "RON", 9.0,  "301", "601", "4426", "4427", "",    kNone},
    {"AMB", "M050", "Pungă de hârtie pentru pâine",      "buc", 0.0,   "RON", 19.0, "381", "608", "4426", "4427", "",    kNone},
    {"AMB", "M051", "Pungă transparentă pentru cozonac", "buc", 0.0,   "RON", 19.0, "381", "608", "4426", "4427", "",    kNone},
    {"SF",  "S001", "Aluat dospit de bază",              "kg",  0.0,   "RON", 9.0,  "341", "711", "4426", "4427", "",    10.0},
    {"SF",  "S002", "Umplutură de nucă şi cacao",        "kg",  0.0,   "RON", 9.0,  "341", "711", "4426", "4427", "",    5.0},
    {"PF",  "P001", "Pâine albă 500 g",                  "buc", 2.50,  "RON", 9.0,  "345", "711", "4426", "4427", "701", 100.0},
    {"PF",  "P002", "Pâine integrală cu susan 400 g",    "buc", 3.20,  "RON", 9.0,  "345", "711", "4426", "4427", "701", 50.0},
    {"PF",  "P004", "Covrigi cu susan",                  "buc", 0.80,  "RON", 9.0,  "345", "711", "4426", "4427", "701", 100.0},
    {"PFP", "P003", "Cozonac cu nucă 1 kg",              "buc", 24.00, "RON", 9.0,  "345", "711", "4426", "4427", "701", 10.0},
    // Made by the pastry shop without a recipe in the system.
    {"PFP", "P010", "Brioşe cu ciocolată",               "buc", 3.50,  "RON", 9.0,  "345", "711", "4426", "4427", "701", kNone},
};

// ---- recipes (Reteta.DB): product, material, material group, quantity per batch ----
// The semi-finished S001 goes into the pretzels, S002 into the sweet bread; the white bread,
// the wholemeal bread and the sweet bread share flour, yeast and salt.

const QStringList kRecipeColumns = {"Cod", "Cod_MatPrim", "Cod_Grupa", "Cant_MatPrim"};
const Rows kRecipes = {
    // 10 kg of basic dough
    {"S001", "M001", "MPF", 6.5},
    {"S001", "M010", "MPA", 0.15},
    {"S001", "M011", "MPA", 0.12},
    {"S001", "M013", "MPA", 0.2},
    // 5 kg of walnut and cocoa filling
    {"S002", "M012", "MPA", 1.5},
    {"S002", "M015", "MPA", 0.7},
    {"S002", "M017", "MPA", 2.5},
    {"S002", "M019", "MPA", 0.3},
    // 100 loaves of white bread
    {"P001", "M001", "MPF", 30.0},
    {"P001", "M010", "MPA", 0.6},
    {"P001", "M011", "MPA", 0.5},
    {"P001", "M013", "MPA", 0.8},
    {"P001", "M050", "AMB", 100.0},
    // 50 loaves of wholemeal bread
    {"P002", "M001", "MPF", 2.0},
    {"P002", "M002", "MPF", 12.0},
    {"P002", "M010", "MPA", 0.3},
    {"P002", "M011", "MPA", 0.25},
    {"P002", "M018", "MPA", 0.5},
    {"P002", "M050", "AMB", 50.0},
    // 10 sweet breads
    {"P003", "M001", "MPF", 5.0},
    {"P003", "M010", "MPA", 0.2},
    {"P003", "M012", "MPA", 1.0},
    {"P003", "M014", "MPA", 20.0},
    {"P003", "M015", "MPA", 1.5},
    {"P003", "M016", "MPA", 0.5},
    {"P003", "M051", "AMB", 10.0},
    {"P003", "S002", "SF",  3.0},
    // 100 pretzels
    {"P004", "M011", "MPA", 0.1},
    {"P004", "M018", "MPA", 0.4},
    {"P004", "S001", "SF",  8.0},
};

// ---- stock (Stoc.DB) ----
// G01 raw-material depot, G02 packaging and auxiliary store, PF1 finished-goods depot. Butter
// (M016) is short: the sweet breads of receipt 3 need 1 kg.

const QStringList kStockColumns = {"Cod_gestiune", "Cod_grupa", "Cod_articol", "Lot", "Pret_achizitie", "Cantitate"};
const Rows kStock = {
    {"G01", "MPF", "M001", "L250301", 2.10,  400.0},
    {"G01", "MPF", "M001", "L250310", 2.25,  250.0},
    {"G02", "MPF", "M001", "L250305", 2.30,  120.0},
    {"G01", "MPF", "M002", "L250310", 3.40,  80.0},
    {"G01", "MPA", "M010", "L250311", 14.50, 6.0},
    {"G01", "MPA", "M011", "L250201", 1.20,  50.0},
    {"G01", "MPA", "M012", "L250220", 4.10,  60.0},
    {"G02", "MPA", "M012", "L250306", 4.25,  25.0},
    {"G01", "MPA", "M013", "L250302", 8.90,  30.0},
    {"G01", "MPA", "M014", "L250312", 0.85,  300.0},
    {"G01", "MPA", "M015", "L250312", 5.60,  20.0},
    {"G01", "MPA", "M016", "L250308", 38.00, 0.3},
    {"G01", "MPA", "M017", "L250215", 42.00, 8.0},
    {"G01", "MPA", "M018", "L250225", 18.00, 3.0},
    {"G02", "MPA", "M018", "L250307", 18.50, 2.0},
    {"G01", "MPA", "M019", "L250211", 26.00, 2.0},
    {"G02", "AMB", "M050", "L250105", 0.12,  2000.0},
    {"G02", "AMB", "M051", "L250105", 0.45,  150.0},
    {"G01", "SF",  "S001", "P250312", 2.80,  40.0},
    {"G01", "SF",  "S002", "P250312", 16.50, 10.0},
    {"PF1", "PF",  "P001", "P250311", 1.35,  80.0},
    {"PF1", "PFP", "P010", "P250311", 2.10,  30.0},
};

// ---- goods receipts (Doc_in.DB, Item_in.DB) ----

const QStringList kReceiptColumns = {"Contor", "Data_inregistrarii", "Numar", "Tip", "Data", "Furnizor", "Explicatie"};
const Rows kReceipts = {
    {1.0, day(10), 5521.0, "NIR", day(10), "Moara Dâmboviţa SRL", "Făină pentru luna martie"},
    {2.0, day(13), 101.0,  "BPF", day(13), "Secţia panificaţie",  "Predare producţie, schimbul I"},
    {3.0, day(14), 102.0,  "BPF", day(14), "Secţia patiserie",    "Cozonaci şi pâine albă"},
    {4.0, day(14), 103.0,  "BPF", day(14), "Secţia patiserie",    "Brioşe (produs fără reţetă)"},
};

const QStringList kReceiptLineColumns = {"Contor", "Contor_secundar", "Cod_gestiune", "Cod_grupa", "Cod_articol", "Lot",
                                         "Cantitate", "Pret_achizitie_valuta", "Valuta", "Pret_achizitie_lei",
                                         "Pret_echiv_USD", "TVA", "Cont_marfa", "Cont_TVA_Intrari", "Serii"};
// A line's VAT is its value times the article's VAT rate; the dollar price at 4.60 lei.
QVariantList receiptLine(double contor, double line, const char* gestiune, const char* grupa, const char* cod,
                         const char* lot, double cantitate, double pret, double coefTva, const char* contMarfa) {
    return {contor, line, gestiune, grupa, cod, lot, cantitate, pret, "RON", pret,
            std::round(pret / 4.60 * 100) / 100, std::round(cantitate * pret * coefTva) / 100, contMarfa, "4426",
            false};
}
const Rows kReceiptLines = {
    receiptLine(1, 1, "G01", "MPF", "M002", "L250310", 80,  3.40,  9, "301"),
    receiptLine(1, 2, "G01", "MPF", "M001", "L250310", 250, 2.25,  9, "301"),
    // White bread, wholemeal bread and pretzels: flour, yeast, salt, sesame and bags are shared.
    receiptLine(2, 1, "PF1", "PF",  "P001", "P250313", 200, 1.35,  9, "345"),
    receiptLine(2, 2, "PF1", "PF",  "P002", "P250313", 100, 1.80,  9, "345"),
    receiptLine(2, 3, "PF1", "PF",  "P004", "P250313", 300, 0.45,  9, "345"),
    receiptLine(3, 1, "PF1", "PFP", "P003", "P250314", 20,  14.50, 9, "345"),
    receiptLine(3, 2, "PF1", "PF",  "P001", "P250314", 50,  1.35,  9, "345"),
    receiptLine(4, 1, "PF1", "PFP", "P010", "P250314", 60,  2.10,  9, "345"),
};

// ---- output documents (Doc_out.DB, Item_out.DB) and counters (COUNTER.DB) ----

const QStringList kOutputColumns = {"Contor", "Data_inregistrarii", "Numar", "Tip", "Data", "Client", "Explicatie",
                                    "Data_scadenta", "Agent"};
const Rows kOutputs = {
    {1.0, day(12), 2301.0, "FAC", day(12), "Alimentara Centru SRL", "Livrare pâine", day(26), "AP"},
};

const QStringList kOutputLineColumns = {"Contor", "Contor_secundar", "Cod_gestiune", "Cod_grupa", "Cod_articol",
                                        "Cantitate", "Pret_achizitie", "Pret_vinzare", "TVA", "Cont_marfa",
                                        "Cont_TVA_Iesiri", "Cont_venituri", "Lot", "Agent"};
const Rows kOutputLines = {
    {1.0, 1.0, "PF1", "PF", "P001", 120.0, 1.35, 2.50, 27.0, "345", "4427", "701", "P250311", "AP"},
};

const QStringList kCounterColumns = {"NewCounterOut", "NewCounterIn"};
const Rows kCounters = {
    {1.0, 4.0},
};

// ---- production settings (KRVDEF.INI, section Productie) ----

const QList<QPair<QString, QString>> kProductionSettings = {
    {"IndGest", "G"},
    {"IndCod",  "M"},
    {"IndSemi", "S"},
};

// clang-format on

void fill(db::Session& session, const QString& tableName, const QStringList& columns,
          const Rows& rows) {
    db::Table table(tableName);
    table.setSession(&session);
    table.setDatabaseName(kAlias);
    table.setTableName(tableName);
    table.open();
    for (const QVariantList& row : rows) {
        Q_ASSERT(row.size() == columns.size());
        table.append();
        for (int i = 0; i < columns.size(); ++i)
            table.fieldByName(columns[i])->setValue(row[i]);
        table.post();
    }
    table.close();
}

bool isRecipeTable(const db::TableDef& def) {
    return db::storedTableName(def.name).compare(QStringLiteral("Reteta"), Qt::CaseInsensitive) ==
           0;
}

} // namespace

bool holdsCompany(const QString& directory) {
    if (!QDir(directory).exists())
        return false;
    db::Session session;
    session.addAlias(kAlias, directory);
    db::Database database(kAlias, &session);
    if (!database.tableExists(QStringLiteral("CATALOG.DB")))
        return false;
    db::Table catalog(QStringLiteral("Catalog"));
    catalog.setSession(&session);
    catalog.setDatabaseName(kAlias);
    catalog.setTableName(QStringLiteral("CATALOG.DB"));
    catalog.open();
    return !catalog.isEmpty();
}

bool createDemoCompany(const QString& directory, const QList<db::TableDef>& addOnTables) {
    if (holdsCompany(directory))
        return false;
    if (!QDir().mkpath(directory))
        throw base::Error(QStringLiteral("Nu pot crea directorul %1.").arg(directory));

    db::Session session;
    session.addAlias(kAlias, directory);
    db::Database database(kAlias, &session);
    QList<db::TableDef> tables = company::hostTables() + addOnTables;
    if (std::none_of(addOnTables.begin(), addOnTables.end(), isRecipeTable))
        tables << company::addOnRecipeTable();
    company::createMissingTables(database, tables);

    // The settings first: a company whose records are all there always has them.
    const QString settingsFile = QDir(directory).absoluteFilePath(QStringLiteral("KRVDEF.INI"));
    for (const auto& [key, value] : kProductionSettings)
        store::writeIniString(settingsFile, QStringLiteral("Productie"), key, value);

    database.transaction([&] {
        fill(session, QStringLiteral("Materiale.db"), kClassColumns, kClasses);
        fill(session, QStringLiteral("Grup.DB"), kGroupColumns, kGroups);
        fill(session, QStringLiteral("VALUTA.DB"), kCurrencyColumns, kCurrencies);
        fill(session, QStringLiteral("CATALOG.DB"), kCatalogColumns, kCatalog);
        fill(session, QStringLiteral("Reteta.DB"), kRecipeColumns, kRecipes);
        fill(session, QStringLiteral("Stoc.DB"), kStockColumns, kStock);
        fill(session, QStringLiteral("Doc_in.DB"), kReceiptColumns, kReceipts);
        fill(session, QStringLiteral("Item_in.DB"), kReceiptLineColumns, kReceiptLines);
        fill(session, QStringLiteral("Doc_out.DB"), kOutputColumns, kOutputs);
        fill(session, QStringLiteral("Item_out.DB"), kOutputLineColumns, kOutputLines);
        fill(session, QStringLiteral("COUNTER.DB"), kCounterColumns, kCounters);
    });

    return true;
}

} // namespace host
