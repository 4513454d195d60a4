#include "data/qdm_data_module.h"

#include "platform/base/errors.h"

TQDMDataModule* QDMDataModule = nullptr;

namespace {

using db::FieldType;

constexpr auto kProduction = "KRVPROD";
constexpr auto kPrivate = "KRV_PRIV";

void place(db::Table& t, const char* alias, const char* table) {
    t.setDatabaseName(QString::fromLatin1(alias));
    t.setTableName(QString::fromLatin1(table));
}

db::Field* text(db::DataSet& d, const char* name, int size, int displayWidth = 0) {
    db::Field* f = d.addField(QString::fromLatin1(name), FieldType::Text, size);
    if (displayWidth > 0)
        f->setDisplayWidth(displayWidth);
    return f;
}

db::Field* flt(db::DataSet& d, const char* name) {
    return d.addField(QString::fromLatin1(name), FieldType::Float);
}
db::Field* date(db::DataSet& d, const char* name) {
    return d.addField(QString::fromLatin1(name), FieldType::Date);
}

} // namespace

TQDMDataModule::TQDMDataModule(db::Session* session)
    : GhostDB(QString::fromLatin1(kProduction), session) {
    GhostDB.setDriverName(QStringLiteral("STANDARD"));
    for (db::Table* t :
         {&RetetaTable, &CatalogTable, &CatalogTable1, &CatalogTable2, &DocInTable, &ItemInTable,
          &StocTable, &CounterTable, &DocOutTable, &ItemOutTable, &TempTable})
        t->setSession(session);
    for (db::Query* q : {&CalcNecesQuery, &CalcNecesQuery2, &ExtragReteta})
        q->setSession(session);
    defineTables();
    defineQueries();
    attachRules();
}

TQDMDataModule::~TQDMDataModule() {
    // Detail links go before their masters. A closing that reads (a master telling its detail)
    // and finds the database gone (a server that went away) must not end the program here.
    for (db::DataSet* d : dataSets()) {
        try {
            d->close();
        } catch (const base::Error&) {
        }
    }
    if (QDMDataModule == this)
        QDMDataModule = nullptr;
}

QList<db::DataSet*> TQDMDataModule::dataSets() {
    return {&RetetaTable, &CatalogTable,   &CatalogTable1,   &CatalogTable2, &DocInTable,
            &ItemInTable, &StocTable,      &CounterTable,    &DocOutTable,   &ItemOutTable,
            &TempTable,   &CalcNecesQuery, &CalcNecesQuery2, &ExtragReteta};
}

void TQDMDataModule::defineTables() {
    place(RetetaTable, kProduction, "Reteta.DB");
    RetetaTable.setIndexFieldNames(QStringLiteral("Cod"));
    RetetaTable.setMasterSource(&CatalogSource);
    RetetaTable.setMasterFields(QStringLiteral("Cod"));
    RetetaTableCod_Grupa = text(RetetaTable, "Cod_Grupa", 8);
    RetetaTableCod = text(RetetaTable, "Cod", 30);
    RetetaTableCod->setVisible(false);
    RetetaTableCod_MatPrim = text(RetetaTable, "Cod_MatPrim", 30, 30);
    RetetaTableCant_MatPrim = flt(RetetaTable, "Cant_MatPrim");
    // The material's name is looked up by its group and code together: one code may name
    // different articles in different groups.
    RetetaTableDenMat_Prim = RetetaTable.addLookupField(
        QStringLiteral("DenMat_Prim"), 255, &CatalogTable2, QStringLiteral("Cod_Grupa;Cod_MatPrim"),
        QStringLiteral("Grupa;Cod"), QStringLiteral("Denumire"));

    place(CatalogTable, kProduction, "CATALOG.DB");
    text(CatalogTable, "Grupa", 8);
    text(CatalogTable, "Cod", 30, 30);
    text(CatalogTable, "Denumire", 255);
    CatalogTableCantReteta = flt(CatalogTable, "CantReteta");

    place(CatalogTable1, kProduction, "CATALOG.DB");
    CatalogTable1.setReadOnly(true);
    text(CatalogTable1, "Grupa", 8);
    text(CatalogTable1, "Cont_TVA_Iesiri", 20);
    text(CatalogTable1, "Cont_marfa", 20);
    text(CatalogTable1, "Denumire", 255, 255);
    text(CatalogTable1, "Cod", 30, 30);
    text(CatalogTable1, "Unitate_masura", 4);
    text(CatalogTable1, "Moneda", 3);
    text(CatalogTable1, "Cont_cheltuieli", 20);
    text(CatalogTable1, "Cont_accize", 20);
    text(CatalogTable1, "Cont_adaos", 20);
    text(CatalogTable1, "Cont_venituri", 20);

    place(CatalogTable2, kProduction, "Catalog.DB");
    CatalogTable2.setReadOnly(true);
    text(CatalogTable2, "Grupa", 8);
    text(CatalogTable2, "Cod", 30);
    text(CatalogTable2, "Denumire", 255);

    place(DocInTable, kProduction, "Doc_in.DB");
    flt(DocInTable, "Contor");
    date(DocInTable, "Data_inregistrarii");
    flt(DocInTable, "Numar");
    text(DocInTable, "Tip", 3);
    date(DocInTable, "Data");
    text(DocInTable, "Furnizor", 30);
    text(DocInTable, "Explicatie", 255);

    place(ItemInTable, kProduction, "Item_in.DB");
    ItemInTable.setIndexFieldNames(QStringLiteral("Contor"));
    ItemInTable.setMasterSource(&DocInSource);
    ItemInTable.setMasterFields(QStringLiteral("Contor"));
    flt(ItemInTable, "Contor");
    flt(ItemInTable, "Contor_secundar");
    text(ItemInTable, "Cod_gestiune", 4);
    text(ItemInTable, "Cod_grupa", 8);
    text(ItemInTable, "Cod_articol", 30);
    text(ItemInTable, "Lot", 30);
    flt(ItemInTable, "Cantitate");
    flt(ItemInTable, "Pret_achizitie_valuta");
    text(ItemInTable, "Valuta", 3);
    flt(ItemInTable, "Pret_achizitie_lei");
    flt(ItemInTable, "Pret_echiv_USD");
    flt(ItemInTable, "TVA");
    text(ItemInTable, "Cont_marfa", 20);
    text(ItemInTable, "Cont_TVA_Intrari", 20);
    text(ItemInTable, "Agent", 3);
    flt(ItemInTable, "Contor_Com");
    ItemInTable.addField(QStringLiteral("Serii"), FieldType::Boolean);
    text(ItemInTable, "Cod_bare", 60);

    place(StocTable, kProduction, "Stoc.DB");
    flt(StocTable, "Cantitate");
    text(StocTable, "Cod_articol", 30, 30);
    text(StocTable, "Cod_grupa", 8);
    text(StocTable, "Cod_gestiune", 4, 4);
    flt(StocTable, "Pret_achizitie");
    text(StocTable, "Lot", 30);
    text(StocTable, "Agent", 3);

    place(CounterTable, kProduction, "COUNTER.DB");
    CounterTableNewCounterOut = flt(CounterTable, "NewCounterOut");

    place(DocOutTable, kProduction, "Doc_out.DB");
    flt(DocOutTable, "Contor");
    date(DocOutTable, "Data_inregistrarii");
    flt(DocOutTable, "Numar");
    text(DocOutTable, "Tip", 3);
    date(DocOutTable, "Data");
    text(DocOutTable, "Client", 30);
    text(DocOutTable, "Explicatie", 255);
    date(DocOutTable, "Data_scadenta");
    text(DocOutTable, "Agent", 3);

    place(ItemOutTable, kProduction, "Item_out.DB");
    flt(ItemOutTable, "Contor");
    flt(ItemOutTable, "Contor_secundar");
    text(ItemOutTable, "Cod_gestiune", 4);
    text(ItemOutTable, "Cod_grupa", 8);
    text(ItemOutTable, "Cod_articol", 30);
    flt(ItemOutTable, "Cantitate");
    flt(ItemOutTable, "Pret_achizitie");
    flt(ItemOutTable, "Pret_vinzare");
    flt(ItemOutTable, "Pret_vz_echiv_USD");
    flt(ItemOutTable, "TVA");
    text(ItemOutTable, "Cont_marfa", 20);
    text(ItemOutTable, "Cont_cheltuieli", 20);
    text(ItemOutTable, "Cont_TVA_Iesiri", 20);
    text(ItemOutTable, "Cont_accize", 20);
    flt(ItemOutTable, "Acciza");
    text(ItemOutTable, "Cont_adaos", 20);
    text(ItemOutTable, "Cont_venituri", 20);
    text(ItemOutTable, "Lot", 30);
    text(ItemOutTable, "Agent", 3);
    text(ItemOutTable, "Cod_bare", 60);

    // The requirement table is a batch copy of the aggregation query: its stored fields carry
    // the query's column names and types.
    place(TempTable, kPrivate, "temp.DB");
    TempTableCod_grupa = text(TempTable, "Cod_grupa", 8);
    TempTableCod_MatPrim = text(TempTable, "Cod_MatPrim", 30, 30);
    // By group and code together, as the recipe lines' names.
    TempTableDenumire = TempTable.addLookupField(
        QStringLiteral("Denumire"), 255, &CatalogTable1, QStringLiteral("Cod_grupa;Cod_MatPrim"),
        QStringLiteral("Grupa;Cod"), QStringLiteral("Denumire"));
    TempTableCant = flt(TempTable, "Cant");
    TempTableStocExist =
        TempTable.addCalculatedField(QStringLiteral("StocExist"), FieldType::Float);
    TempTableStocFin = TempTable.addCalculatedField(QStringLiteral("StocFin"), FieldType::Float);
    TempTableCantReteta =
        TempTable.addCalculatedField(QStringLiteral("CantReteta"), FieldType::Float);
}

void TQDMDataModule::defineQueries() {
    CalcNecesQuery.setDatabaseName(QString::fromLatin1(kProduction));
    // The catalog is joined on the receipt line's group as well as on the code: an article
    // code held under two groups would otherwise count its recipe twice.
    CalcNecesQuery.setSql({
        QStringLiteral("SELECT  D1.Cod_Grupa,D1.Cod_MatPrim, (D.Cantitate * D1.Cant_MatPrim / "
                       "D2.CantReteta) AS Cant"),
        QStringLiteral("FROM Item_in D, Reteta D1, Catalog D2"),
        QStringLiteral("WHERE d.Contor=:Contor"),
        QStringLiteral(" AND (D1.Cod = D.Cod_articol)"),
        QStringLiteral(" AND (D1.Cod = D2.Cod)"),
        QStringLiteral(" AND (D2.Grupa = D.Cod_grupa)"),
    });
    CalcNecesQuery.paramByName(QStringLiteral("Contor")).setDataType(FieldType::Integer);

    CalcNecesQuery2.setDatabaseName(QString::fromLatin1(kPrivate));
    CalcNecesQuery2.setSql({
        QStringLiteral("SELECT DISTINCT  Cod_Grupa,Cod_MatPrim,SUM(Cant) as Cant"),
        QStringLiteral("FROM \"Temp.Db\""),
        QStringLiteral("GROUP BY Cod_Grupa,Cod_MatPrim"),
        QStringLiteral("ORDER BY Cod_MatPrim"),
    });

    ExtragReteta.setDatabaseName(QString::fromLatin1(kProduction));
    ExtragReteta.setSql({
        QStringLiteral("SELECT DISTINCT Cod, Cod_MatPrim, Cod_Grupa, Cant_MatPrim"),
        QStringLiteral("FROM \"Reteta.DB\" "),
        QStringLiteral("WHERE"),
        QStringLiteral("(Cod = :From)"),
        QStringLiteral("ORDER BY Cod, Cod_MatPrim, Cod_Grupa, Cant_MatPrim"),
    });
    text(ExtragReteta, "Cod", 30);
    text(ExtragReteta, "Cod_MatPrim", 30);
    text(ExtragReteta, "Cod_Grupa", 8);
    flt(ExtragReteta, "Cant_MatPrim");

    TempBatchMove.setMode(db::BatchMove::Mode::Copy);
}

void TQDMDataModule::attachRules() {
    CatalogTable.onFilterRecord = [this](db::DataSet& d, bool& a) {
        CatalogTableFilterRecord(d, a);
    };
    CatalogTable.setFiltered(true);
    CatalogTable1.onFilterRecord = [this](db::DataSet& d, bool& a) {
        CatalogTable1FilterRecord(d, a);
    };
    CatalogTable1.setFiltered(true);
    CatalogTable2.onFilterRecord = [this](db::DataSet& d, bool& a) {
        CatalogTable2FilterRecord(d, a);
    };
    CatalogTable2.setFiltered(true);
    // The stock rule is attached, but stock is read unfiltered.
    StocTable.onFilterRecord = [this](db::DataSet& d, bool& a) { StocTableFilterRecord(d, a); };
    RetetaTable.beforePost = [this](db::DataSet& d) { RetetaTableBeforePost(d); };
    RetetaTableCod_MatPrim->onValidate = [this](db::Field& f) {
        RetetaTableCod_MatPrimValidate(f);
    };
    TempTable.beforePost = [this](db::DataSet& d) { TempTableBeforePost(d); };
    TempTableCod_MatPrim->onValidate = [this](db::Field& f) { TempTableCod_MatPrimValidate(f); };
    TempTable.onCalcFields = [this](db::DataSet& d) { TempTableCalcFields(d); };
    TempSource.onStateChange = [this](db::DataSource& s) {
        if (TempSourceStateChange)
            TempSourceStateChange(s);
    };
    TempSource.onDataChange = [this](db::DataSource& s, db::Field* f) {
        if (TempSourceDataChange)
            TempSourceDataChange(s, f);
    };
    CatalogSource.onDataChange = [this](db::DataSource& s, db::Field* f) {
        if (CatalogSourceDataChange)
            CatalogSourceDataChange(s, f);
    };
}
