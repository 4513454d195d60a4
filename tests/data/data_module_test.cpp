#include "data_module_fixture.h"

using datatest::DataModuleFixture;

namespace {

class ProductionTables : public DataModuleFixture {};

TEST_F(ProductionTables, EveryDatasetOpensOnTheHostsTables) {
    createRequirementTable();
    for (db::DataSet* d : dm->dataSets()) {
        if (d == &dm->CalcNecesQuery)
            dm->CalcNecesQuery.paramByName("Contor").setAsInteger(1);
        if (d == &dm->ExtragReteta)
            dm->ExtragReteta.paramByName("From").setAsString("PF01");
        EXPECT_NO_THROW(d->open()) << d->name().toStdString();
    }
    dm->GhostDB.close();
    for (db::DataSet* d : dm->dataSets()) {
        if (d != &dm->TempTable && d != &dm->CalcNecesQuery2) {
            EXPECT_FALSE(d->isActive())
                << "closing the connection closes " << d->name().toStdString();
        }
    }
}

TEST_F(ProductionTables, RecipeLinesFollowTheCurrentProduct) {
    company.article("PF", "PF01", "Paine")
        .article("PF", "PF02", "Cozonac")
        .article("MAT", "M100", "Faina");
    company.recipe("PF01", "MAT", "M100", 2).recipe("PF02", "MAT", "M200", 1);
    dm->CatalogTable.setIndexFieldNames("Grupa;Cod");
    dm->CatalogTable.open();
    dm->CatalogTable2.open();
    dm->RetetaTable.open();
    ASSERT_TRUE(dm->CatalogTable.locate("Cod", {"PF01"}));
    EXPECT_EQ(column(dm->RetetaTable, "Cod_MatPrim"), QStringList{"M100"});
    EXPECT_EQ(dm->RetetaTableDenMat_Prim->asString(), "Faina");
    dm->RetetaTable.append();
    EXPECT_EQ(dm->RetetaTableCod->asString(), "PF01") << "a new line takes the product's code";
    dm->RetetaTableCod_Grupa->setAsString("MAT");
    dm->RetetaTableCod_MatPrim->setAsString("M100");
    EXPECT_THROW(dm->CatalogTable.locate("Cod", {"PF02"}), base::Abort)
        << "the line has no quantity";
    EXPECT_EQ(dm->CatalogTable.fieldByName("Cod")->asString(), "PF01")
        << "the product stays while its line is refused";
    dm->RetetaTable.cancel();
    dm->CatalogTable.locate("Cod", {"PF02"});
    EXPECT_EQ(column(dm->RetetaTable, "Cod_MatPrim"), QStringList{"M200"});
    EXPECT_TRUE(dm->RetetaTableDenMat_Prim->isNull()) << "M200 is not in the catalog";
}

TEST_F(ProductionTables, LookupsStayEmptyOutsideTheRawMaterialViews) {
    company.article("PF", "PF01", "Paine")
        .article("MAT", "M100", "Faina")
        .article("SEM", "S12", "Aluat");
    createRequirementTable();
    dm->CatalogTable1.open();
    dm->TempTable.open();
    // The code goes in before its group, so that the material check lets the product through.
    const std::pair<const char*, const char*> lines[] = {
        {"MAT", "M100"}, {"SEM", "S12"}, {"PF", "PF01"}};
    for (const auto& [group, code] : lines) {
        dm->TempTable.append();
        dm->TempTableCod_MatPrim->setAsString(code);
        dm->TempTableCod_grupa->setAsString(group);
        dm->TempTableCant->setAsFloat(1);
        dm->TempTable.post();
    }
    dm->TempTable.first();
    EXPECT_EQ(column(dm->TempTable, "Denumire"), (QStringList{"Faina", "", "Aluat"}));
}

TEST_F(ProductionTables, RequirementQueryJoinsTheCatalogOnGroupAndCode) {
    company.article("PF", "PF01", "Paine", 10).article("ALT", "PF01", "Paine (alta grupa)", 10);
    company.article("PF", "PF02", "Cozonac", 0).article("PF", "PF03", "Covrig");
    company.recipe("PF01", "MAT", "M100", 2)
        .recipe("PF02", "MAT", "M100", 1)
        .recipe("PF03", "MAT", "M100", 1);
    company.receipt(7, 15, "A1", {2024, 3, 12})
        .receiptLine(7, 1, "PF", "PF01", 20)
        .receiptLine(7, 2, "PF", "PF02", 5)
        .receiptLine(7, 3, "PF", "PF03", 5);
    dm->CalcNecesQuery.paramByName("Contor").setAsInteger(7);
    dm->CalcNecesQuery.open();
    QStringList rows;
    for (dm->CalcNecesQuery.first(); !dm->CalcNecesQuery.eof(); dm->CalcNecesQuery.next())
        rows << dm->CalcNecesQuery.fieldByName("Cant")->asString();
    rows.sort();
    // PF01: 20 × 2 / 10 counted once although its code is in two groups; PF02 and PF03 have
    // no usable batch quantity (0 and empty), so their quantity is empty.
    EXPECT_EQ(rows, (QStringList{"", "", "4"}));
}

TEST_F(ProductionTables, AggregationGivesOneRowPerGroupAndMaterial) {
    createRequirementTable();
    db::Table temp("T");
    temp.setSession(&session);
    temp.setDatabaseName("KRV_PRIV");
    temp.setTableName("temp.DB");
    temp.open();
    for (auto [grupa, cod, cant] :
         {std::tuple{"MAT", "M100", 2.0}, {"AUX", "M100", 1.0}, {"MAT", "M200", 3.0}}) {
        temp.append();
        temp.fieldByName("Cod_Grupa")->setAsString(grupa);
        temp.fieldByName("Cod_MatPrim")->setAsString(cod);
        temp.fieldByName("Cant")->setAsFloat(cant);
        temp.post();
    }
    temp.close();
    dm->CalcNecesQuery2.open();
    EXPECT_EQ(dm->CalcNecesQuery2.recordCount(), 3);
    EXPECT_EQ(column(dm->CalcNecesQuery2, "Cod_MatPrim"), (QStringList{"M100", "M100", "M200"}));
}

} // namespace
