#include "data_module_fixture.h"

using datatest::DataModuleFixture;

namespace {

class DataModuleRules : public DataModuleFixture {
protected:
    void catalog() {
        company.article("PF", "PF01")
            .article("SEM", "S12")
            .article("MAT", "M100")
            .article("AUX", "M200")
            .article("MAT", "M");
    }
};

TEST_F(DataModuleRules, CatalogViewsSplitProductsFromMaterials) {
    catalog();
    for (db::Table* t : {&dm->CatalogTable, &dm->CatalogTable1, &dm->CatalogTable2})
        t->open();
    auto sorted = [this](db::DataSet& d) {
        QStringList l = column(d, "Cod");
        l.sort();
        return l;
    };
    EXPECT_EQ(sorted(dm->CatalogTable), (QStringList{"PF01", "S12"}));
    EXPECT_EQ(sorted(dm->CatalogTable1), (QStringList{"M", "M100", "M200", "S12"}))
        << "a lone M begins with M";
    EXPECT_EQ(sorted(dm->CatalogTable2), (QStringList{"M", "M100", "M200", "S12"}));
    IndCod = 'm';
    dm->CatalogTable1.refresh();
    EXPECT_EQ(sorted(dm->CatalogTable1), QStringList{"S12"})
        << "the characters are compared as typed";
}

TEST_F(DataModuleRules, StockRuleNeedsWarehouseAndMaterialOrASemiFinishedProduct) {
    company.stock("G1", "MAT", "M100", "", 1, 1)
        .stock("X1", "MAT", "M100", "", 1, 1)
        .stock("X1", "SEM", "S12", "", 1, 1)
        .stock("G1", "PF", "PF01", "", 1, 1);
    dm->StocTable.open();
    EXPECT_EQ(dm->StocTable.recordCount(), 4) << "stock is read unfiltered";
    dm->StocTable.setFiltered(true);
    EXPECT_EQ(column(dm->StocTable, "Cod_gestiune"), (QStringList{"G1", "X1"}));
}

TEST_F(DataModuleRules, RecipeLineChecks) {
    catalog();
    dm->CatalogTable2.open();
    dm->CatalogTable.open();
    dm->RetetaTable.open();
    dm->CatalogTable.locate("Cod", {"PF01"});

    dm->RetetaTable.append();
    dm->RetetaTableCod_MatPrim->setAsString("M100"); // no group yet: the code is not checked
    dm->RetetaTableCant_MatPrim->setAsFloat(2);
    EXPECT_THROW(dm->RetetaTable.post(), base::Abort);
    EXPECT_EQ(warnings, QStringList{"Completati toate datele articolului!"});
    EXPECT_EQ(dm->RetetaTable.state(), db::DataSetState::Insert);

    warnings.clear();
    dm->RetetaTableCod_Grupa->setAsString("MAT");
    EXPECT_THROW(dm->RetetaTableCod_MatPrim->setAsString("M200"), base::Abort)
        << "M200 is held only under AUX";
    EXPECT_EQ(
        warnings,
        QStringList{
            "Articolul <MAT  M200>  nu este de tip materie prima ! Apasati CTRL-ENTER pentru a "
            "selecta din catalog!!"});
    EXPECT_EQ(dm->RetetaTableCod_MatPrim->asString(), "M100") << "a refused code keeps the old one";
    EXPECT_THROW(dm->RetetaTableCod_MatPrim->setAsString("PF01"), base::Abort);
    dm->RetetaTableCod_MatPrim->setAsString("M");
    dm->RetetaTable.post();
    EXPECT_EQ(dm->RetetaTable.recordCount(), 1);
}

TEST_F(DataModuleRules, RequirementLineChecks) {
    catalog();
    createRequirementTable();
    dm->CatalogTable1.open();
    dm->TempTable.open();
    dm->TempTable.append();
    dm->TempTableCod_grupa->setAsString("MAT");
    EXPECT_THROW(dm->TempTableCod_MatPrim->setAsString("X1"), base::Abort);
    EXPECT_EQ(warnings.value(0),
              "Articolul <X1> nu este de tip materie prima ! Apasati CTRL-ENTER pentru a selecta "
              "din stocul existent!!");
    dm->TempTableCod_grupa->clear();
    dm->TempTableCod_MatPrim->setAsString("X1"); // with an empty group the code passes

    struct Case {
        const char* code;
        bool withQuantity;
        bool stored;
    };
    for (const Case& c :
         {Case{"", true, false}, Case{"M100", false, false}, Case{"M100", true, true}}) {
        warnings.clear();
        dm->TempTableCod_MatPrim->setAsString(c.code);
        if (c.withQuantity)
            dm->TempTableCant->setAsFloat(5);
        else
            dm->TempTableCant->clear();
        if (c.stored) {
            dm->TempTable.post();
            EXPECT_TRUE(warnings.isEmpty());
        } else {
            EXPECT_THROW(dm->TempTable.post(), base::Abort) << c.code;
            EXPECT_EQ(warnings, QStringList{"Completati toate datele articolului!"});
        }
    }
}

TEST_F(DataModuleRules, StockOnHandAndAfterConsumption) {
    company.stock("G1", "MAT", "M100", "L1", 1, 4)
        .stock("G2", "MAT", "M100", "L2", 1, 3)
        .stock("G2", "MAT", "M100", "L3", 2, 2.5)
        .stock("G1", "AUX", "M100", "L1", 1, 100)
        .stock("G1", "MAT", "m100", "L1", 1, 50);
    for (const char* code : {"M100", "M999", "M998", "M997"})
        company.article("MAT", code);
    createRequirementTable();
    dm->CatalogTable1.open();
    dm->TempTable.open();
    struct Case {
        const char* grupa;
        const char* cod;
        double cant;
        double exist, fin;
    };
    for (const Case& c :
         {Case{"MAT", "M100", 10, 9.5, -0.5}, Case{"MAT", "M999", 1.005, 0, -1.0},
          Case{"MAT", "M998", 0.125, 0, -0.12}, Case{"MAT", "M997", 0.135, 0, -0.14}}) {
        dm->TempTable.append();
        dm->TempTableCod_grupa->setAsString(c.grupa);
        dm->TempTableCod_MatPrim->setAsString(c.cod);
        dm->TempTableCant->setAsFloat(c.cant);
        dm->TempTable.post();
        EXPECT_DOUBLE_EQ(dm->TempTableStocExist->asFloat(), c.exist) << c.cod;
        EXPECT_DOUBLE_EQ(dm->TempTableStocFin->asFloat(), c.fin) << c.cod;
    }
}

} // namespace
