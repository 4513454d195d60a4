#include "host/company_schema.h"

#include "platform/base/errors.h"
#include "platform/db/database.h"
#include "platform/db/table_name.h"

namespace company {

using db::FieldType;
using db::IndexDef;
using db::TableDef;

namespace {

db::FieldDef text(const char* name, int size) {
    return {QString::fromLatin1(name), FieldType::Text, size};
}
db::FieldDef flt(const char* name) {
    return {QString::fromLatin1(name), FieldType::Float, 0};
}
db::FieldDef date(const char* name) {
    return {QString::fromLatin1(name), FieldType::Date, 0};
}
db::FieldDef boolean(const char* name) {
    return {QString::fromLatin1(name), FieldType::Boolean, 0};
}

IndexDef primary(QStringList fields) {
    return {QString(), std::move(fields), true, true};
}
IndexDef secondary(const char* name, QStringList fields) {
    return {QString::fromLatin1(name), std::move(fields), false, false};
}

} // namespace

QList<TableDef> hostTables() {
    return {
        {"CATALOG.DB",
         {text("Grupa", 8), text("Cod", 30), text("Denumire", 255), text("Descriere", 255),
          text("Unitate_masura", 4), flt("Pret_vinzare"), text("Moneda", 3), flt("Coef_TVA"),
          flt("Coef_accize"), text("Cont_marfa", 20), text("Cont_cheltuieli", 20),
          text("Cont_TVA_Intrari", 20), text("Cont_TVA_Iesiri", 20), text("Cont_accize", 20),
          text("Cont_adaos", 20), text("Cont_venituri", 20), flt("Stock_minim"), flt("CantReteta")},
         {primary({"Grupa", "Cod"}), secondary("Denumire", {"Grupa", "Denumire"}),
          secondary("Descriere", {"Grupa", "Descriere"}), secondary("Cod", {"Cod"})}},
        {"Doc_in.DB",
         {flt("Contor"), date("Data_inregistrarii"), flt("Numar"), text("Tip", 3), date("Data"),
          text("Furnizor", 30), text("Explicatie", 255)},
         {primary({"Contor"})}},
        {"Item_in.DB",
         {flt("Contor"), flt("Contor_secundar"), text("Cod_gestiune", 4), text("Cod_grupa", 8),
          text("Cod_articol", 30), text("Lot", 30), flt("Cantitate"), flt("Pret_achizitie_valuta"),
          text("Valuta", 3), flt("Pret_achizitie_lei"), flt("Pret_echiv_USD"), flt("TVA"),
          text("Cont_marfa", 20), text("Cont_TVA_Intrari", 20), text("Agent", 3), flt("Contor_Com"),
          boolean("Serii"), text("Cod_bare", 60)},
         {primary({"Contor", "Contor_secundar"})}},
        {"Stoc.DB",
         {text("Cod_gestiune", 4), text("Cod_grupa", 8), text("Cod_articol", 30), text("Lot", 30),
          flt("Pret_achizitie"), flt("Cantitate"), text("Agent", 3)},
         // The quantity rides in the (group, article) index so that the stock on hand of a
         // material, asked for on every repaint of the requirement grid, is read from it alone.
         {primary({"Cod_gestiune", "Cod_grupa", "Cod_articol", "Lot", "Pret_achizitie"}),
          secondary("GrupaArticol", {"Cod_grupa", "Cod_articol", "Cantitate"})}},
        {"COUNTER.DB", {flt("NewCounterOut"), flt("NewCounterIn")}, {}},
        {"Doc_out.DB",
         {flt("Contor"), date("Data_inregistrarii"), flt("Numar"), text("Tip", 3), date("Data"),
          text("Client", 30), text("Explicatie", 255), date("Data_scadenta"), text("Agent", 3)},
         {primary({"Contor"})}},
        {"Item_out.DB",
         {flt("Contor"),
          flt("Contor_secundar"),
          text("Cod_gestiune", 4),
          text("Cod_grupa", 8),
          text("Cod_articol", 30),
          flt("Cantitate"),
          flt("Pret_achizitie"),
          flt("Pret_vinzare"),
          flt("Pret_vz_echiv_USD"),
          flt("TVA"),
          text("Cont_marfa", 20),
          text("Cont_cheltuieli", 20),
          text("Cont_TVA_Iesiri", 20),
          text("Cont_accize", 20),
          flt("Acciza"),
          text("Cont_adaos", 20),
          text("Cont_venituri", 20),
          text("Lot", 30),
          text("Agent", 3),
          text("Cod_bare", 60)},
         {primary({"Contor", "Contor_secundar"})}},
        {"Materiale.db",
         {text("Cod_material", 10), text("Denumire", 100), text("CONT_SINT", 20)},
         {primary({"Cod_material"})}},
        {"Grup.DB",
         {text("Cod_material", 10), text("Cod_grupa", 8), text("Denumire", 100),
          text("Cont_sint", 20)},
         {primary({"Cod_grupa"}), secondary("Clasa", {"Cod_material", "Cod_grupa"})}},
        {"VALUTA.DB", {text("Cod_valuta", 3), text("Denumire", 30)}, {primary({"Cod_valuta"})}},
    };
}

TableDef addOnRecipeTable() {
    return {"Reteta.DB",
            {text("Cod", 30), text("Cod_MatPrim", 30), text("Cod_Grupa", 8), flt("Cant_MatPrim")},
            {primary({"Cod", "Cod_MatPrim"})}};
}

TableDef hostTable(const QString& fileName) {
    for (const TableDef& t : hostTables())
        if (db::storedTableName(t.name).compare(db::storedTableName(fileName),
                                                Qt::CaseInsensitive) == 0)
            return t;
    throw base::Error(QStringLiteral("%1 is not a table of the host.").arg(fileName));
}

QStringList createMissingTables(db::Database& database, const QList<TableDef>& tables) {
    QStringList created;
    database.transaction([&] {
        for (const TableDef& t : tables) {
            if (database.tableExists(t.name))
                continue;
            database.createTable(t);
            created << t.name;
        }
    });
    return created;
}

} // namespace company
