// One material code held under two groups, each with its own name: the recipe lines and the
// requirement lines name the article of their own group, whichever group the catalog holds
// first.
#include "data_module_fixture.h"

using datatest::DataModuleFixture;

namespace {

struct GroupOrder {
    const char* name;
    bool secondGroupFirst; // AUX M100 goes into the catalog before MAT M100
};

void PrintTo(const GroupOrder& o, std::ostream* os) {
    *os << o.name;
}

class CatalogGroupLookup : public DataModuleFixture,
                           public ::testing::WithParamInterface<GroupOrder> {
protected:
    void SetUp() override {
        DataModuleFixture::SetUp();
        company.article("PF", "PF01", "Pâine").article("PF", "PF02", "Covrig");
        if (GetParam().secondGroupFirst)
            company.article("AUX", "M100", "Făină neagră").article("MAT", "M100", "Făină albă");
        else
            company.article("MAT", "M100", "Făină albă").article("AUX", "M100", "Făină neagră");
        company.article("MAT", "M300", "Sare");
    }

    // "group code name" of the requirement table's lines, in its order.
    QStringList requirementNames() {
        QStringList out;
        for (dm->TempTable.first(); !dm->TempTable.eof(); dm->TempTable.next())
            out << QStringLiteral("%1 %2 %3")
                       .arg(dm->TempTableCod_grupa->asString(),
                            dm->TempTableCod_MatPrim->asString(),
                            dm->TempTableDenumire->asString());
        return out;
    }

    void addRequirementLine(const char* group, const char* code) {
        dm->TempTable.append();
        dm->TempTableCod_grupa->setAsString(group);
        dm->TempTableCod_MatPrim->setAsString(code);
        dm->TempTableCant->setAsFloat(1);
        dm->TempTable.post();
    }
};

TEST_P(CatalogGroupLookup, RecipeLinesNameTheMaterialOfTheirGroup) {
    company.recipe("PF01", "MAT", "M100", 2).recipe("PF02", "AUX", "M100", 1);
    dm->CatalogTable.open();
    dm->CatalogTable2.open();
    dm->RetetaTable.open();
    ASSERT_TRUE(dm->CatalogTable.locate("Cod", {"PF01"}));
    EXPECT_EQ(dm->RetetaTableDenMat_Prim->asString(), "Făină albă");
    ASSERT_TRUE(dm->CatalogTable.locate("Cod", {"PF02"}));
    EXPECT_EQ(dm->RetetaTableDenMat_Prim->asString(), "Făină neagră");
}

TEST_P(CatalogGroupLookup, ARecipeLineTypedInTheEditorNamesTheMaterialOfItsGroup) {
    dm->CatalogTable.open();
    dm->CatalogTable2.open();
    dm->RetetaTable.open();
    ASSERT_TRUE(dm->CatalogTable.locate("Cod", {"PF01"}));
    dm->RetetaTable.append();
    dm->RetetaTableCod_Grupa->setAsString("AUX");
    dm->RetetaTableCod_MatPrim->setAsString("M100");
    EXPECT_EQ(dm->RetetaTableDenMat_Prim->asString(), "Făină neagră") << "while typed";
    dm->RetetaTableCant_MatPrim->setAsFloat(3);
    dm->RetetaTable.post();
    EXPECT_EQ(dm->RetetaTableDenMat_Prim->asString(), "Făină neagră") << "once stored";
    EXPECT_TRUE(warnings.isEmpty());
}

// A line whose code is in the catalog under another group only names nothing.
TEST_P(CatalogGroupLookup, ACodeOnlyUnderAnotherGroupNamesNothing) {
    company.recipe("PF01", "AUX", "M300", 1);
    dm->CatalogTable.open();
    dm->CatalogTable2.open();
    dm->RetetaTable.open();
    ASSERT_TRUE(dm->CatalogTable.locate("Cod", {"PF01"}));
    EXPECT_EQ(dm->RetetaTableCod_MatPrim->asString(), "M300");
    EXPECT_TRUE(dm->RetetaTableDenMat_Prim->isNull())
        << dm->RetetaTableDenMat_Prim->asString().toStdString();
}

TEST_P(CatalogGroupLookup, RequirementLinesNameTheMaterialOfTheirGroup) {
    createRequirementTable();
    dm->CatalogTable1.open();
    dm->TempTable.open();
    addRequirementLine("MAT", "M100");
    addRequirementLine("AUX", "M100");
    addRequirementLine("MAT", "M300");
    EXPECT_EQ(requirementNames(),
              (QStringList{"AUX M100 Făină neagră", "MAT M100 Făină albă", "MAT M300 Sare"}));
}

INSTANTIATE_TEST_SUITE_P(CatalogOrder, CatalogGroupLookup,
                         ::testing::Values(GroupOrder{"LineGroupFirst", false},
                                           GroupOrder{"OtherGroupFirst", true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
