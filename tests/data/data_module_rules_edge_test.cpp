// The production rules at their edges: every combination the filters decide on, every required
// field of a line left out in turn, every way a raw-material code can miss the catalog, and the
// stock figures of a requirement line against stock that nearly matches it.
#include "data_module_fixture.h"

#include <optional>

using datatest::DataModuleFixture;

namespace {

// ---- the stock rule ----

struct StockCase {
    const char* name;
    const char* gestiune;
    const char* articol;
    bool accepted;
};
void PrintTo(const StockCase& c, std::ostream* os) {
    *os << c.name;
}

class StockRule : public DataModuleFixture, public ::testing::WithParamInterface<StockCase> {};

TEST_P(StockRule, AcceptsAMaterialInAMaterialsWarehouseOrASemiFinishedProductAnywhere) {
    const StockCase& c = GetParam();
    company.stock(c.gestiune, "GRP", c.articol, "", 1, 1);
    dm->StocTable.open();
    ASSERT_EQ(dm->StocTable.recordCount(), 1);
    dm->StocTable.setFiltered(true);
    EXPECT_EQ(dm->StocTable.recordCount(), c.accepted ? 1 : 0);
    EXPECT_EQ(dm->StocTable.isEmpty(), !c.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, StockRule,
    ::testing::Values(StockCase{"MaterialInMaterialsWarehouse", "G1", "M100", true},
                      StockCase{"SingleLettersBoth", "G", "M", true},
                      StockCase{"SemiInMaterialsWarehouse", "G1", "S12", true},
                      StockCase{"SemiInAnyWarehouse", "X1", "S12", true},
                      StockCase{"SemiInAWarehouseWithoutCode", "", "S12", true},
                      StockCase{"OtherArticleInMaterialsWarehouse", "G1", "PF01", false},
                      StockCase{"MaterialInOtherWarehouse", "X1", "M100", false},
                      StockCase{"MaterialInAWarehouseWithoutCode", "", "M100", false},
                      StockCase{"ArticleWithoutCode", "G1", "", false},
                      StockCase{"LowerCaseWarehouseLetter", "g1", "M100", false},
                      StockCase{"LowerCaseMaterialLetter", "G1", "m100", false},
                      StockCase{"LetterNotFirst", "1G", "XM", false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the catalog filters ----

struct CatalogCase {
    const char* name;
    const char* cod;
    bool product;  // shown in the recipe editor's product list
    bool material; // shown in the raw-material views
};
void PrintTo(const CatalogCase& c, std::ostream* os) {
    *os << c.name;
}

class CatalogFilter : public DataModuleFixture,
                      public ::testing::WithParamInterface<CatalogCase> {};

TEST_P(CatalogFilter, SplitsProductsFromMaterialsByTheCodesFirstCharacter) {
    const CatalogCase& c = GetParam();
    company.article("GRP", c.cod);
    for (db::Table* t : {&dm->CatalogTable, &dm->CatalogTable1, &dm->CatalogTable2})
        t->open();
    EXPECT_EQ(dm->CatalogTable.recordCount(), c.product ? 1 : 0);
    EXPECT_EQ(dm->CatalogTable1.recordCount(), c.material ? 1 : 0);
    EXPECT_EQ(dm->CatalogTable2.recordCount(), c.material ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CatalogFilter,
    ::testing::Values(CatalogCase{"FinishedProduct", "PF01", true, false},
                      CatalogCase{"Material", "M100", false, true},
                      CatalogCase{"MaterialOfOneLetter", "M", false, true},
                      CatalogCase{"SemiFinished", "S12", true, true},
                      CatalogCase{"SemiFinishedOfOneLetter", "S", true, true},
                      CatalogCase{"EmptyCode", "", true, false},
                      CatalogCase{"LowerCaseMaterialLetter", "m100", true, false},
                      CatalogCase{"LeadingBlank", " M100", true, false},
                      CatalogCase{"MaterialLetterNotFirst", "XM1", true, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- completeness of a line ----

enum class Line { Recipe, Requirement };

struct Completeness {
    const char* name;
    Line line;
    const char* leftOut; // nullptr: every field given
    double quantity;
    bool stored;
};
void PrintTo(const Completeness& c, std::ostream* os) {
    *os << c.name;
}

class LineCompleteness : public DataModuleFixture,
                         public ::testing::WithParamInterface<Completeness> {
protected:
    void SetUp() override {
        DataModuleFixture::SetUp();
        company.article("PF", "PF01").article("MAT", "M100");
        createRequirementTable();
    }
};

TEST_P(LineCompleteness, RefusesALineWithARequiredFieldLeftOutAndKeepsItInInsert) {
    const Completeness& c = GetParam();
    const bool recipe = c.line == Line::Recipe;
    db::Table& t = recipe ? dm->RetetaTable : dm->TempTable;
    db::Field* group = recipe ? dm->RetetaTableCod_Grupa : dm->TempTableCod_grupa;
    db::Field* code = recipe ? dm->RetetaTableCod_MatPrim : dm->TempTableCod_MatPrim;
    db::Field* quantity = recipe ? dm->RetetaTableCant_MatPrim : dm->TempTableCant;
    dm->CatalogTable.open();
    dm->CatalogTable1.open();
    dm->CatalogTable2.open();
    if (recipe) {
        ASSERT_TRUE(dm->CatalogTable.locate("Cod", {"PF01"}));
    }
    t.open();
    t.append();
    auto leftOut = [&](db::Field* f) {
        return c.leftOut &&
               f->fieldName().compare(QLatin1String(c.leftOut), Qt::CaseInsensitive) == 0;
    };
    if (!leftOut(group))
        group->setAsString("MAT");
    if (!leftOut(code))
        code->setAsString("M100");
    if (!leftOut(quantity))
        quantity->setAsFloat(c.quantity);
    if (c.stored) {
        t.post();
        EXPECT_TRUE(warnings.isEmpty());
        EXPECT_EQ(t.recordCount(), 1);
        return;
    }
    EXPECT_THROW(t.post(), base::Abort);
    EXPECT_EQ(warnings, QStringList{"Completati toate datele articolului!"})
        << "one message, then silence";
    EXPECT_EQ(t.state(), db::DataSetState::Insert) << "the line stays in insert";
    if (!leftOut(code)) {
        EXPECT_EQ(code->asString(), "M100") << "what was typed is kept";
    }
    t.cancel();
    EXPECT_EQ(t.recordCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LineCompleteness,
    ::testing::Values(
        Completeness{"RecipeComplete", Line::Recipe, nullptr, 2, true},
        Completeness{"RecipeZeroQuantity", Line::Recipe, nullptr, 0, true},
        Completeness{"RecipeWithoutCode", Line::Recipe, "Cod_MatPrim", 2, false},
        Completeness{"RecipeWithoutQuantity", Line::Recipe, "Cant_MatPrim", 2, false},
        Completeness{"RecipeWithoutGroup", Line::Recipe, "Cod_Grupa", 2, false},
        Completeness{"RequirementComplete", Line::Requirement, nullptr, 2, true},
        Completeness{"RequirementZeroQuantity", Line::Requirement, nullptr, 0, true},
        Completeness{"RequirementWithoutCode", Line::Requirement, "Cod_MatPrim", 2, false},
        Completeness{"RequirementWithoutQuantity", Line::Requirement, "Cant", 2, false},
        Completeness{"RequirementWithoutGroup", Line::Requirement, "Cod_grupa", 2, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Without a window to show it, a refusal still refuses.
TEST_F(LineCompleteness, RulesRefuseEvenWithNoWarningToShow) {
    dm->showWarning = nullptr;
    dm->TempTable.open();
    dm->TempTable.append();
    dm->TempTableCant->setAsFloat(1);
    EXPECT_THROW(dm->TempTable.post(), base::Abort);
    dm->TempTable.cancel();
    dm->CatalogTable1.open();
    dm->TempTable.append();
    dm->TempTableCod_grupa->setAsString("MAT");
    EXPECT_THROW(dm->TempTableCod_MatPrim->setAsString("X1"), base::Abort);
    EXPECT_TRUE(dm->TempTableCod_MatPrim->isNull());
    dm->TempTable.cancel();
    dm->CatalogTable.open();
    dm->CatalogTable2.open();
    dm->CatalogTable.first();
    dm->RetetaTable.open();
    dm->RetetaTable.append();
    dm->RetetaTableCod_Grupa->setAsString("MAT");
    EXPECT_THROW(dm->RetetaTableCod_MatPrim->setAsString("X1"), base::Abort);
    EXPECT_THROW(dm->RetetaTable.post(), base::Abort);
}

// ---- the raw-material code of a line ----

struct CodeCase {
    const char* name;
    Line line;
    const char* group;
    const char* code;
    bool accepted;
};
void PrintTo(const CodeCase& c, std::ostream* os) {
    *os << c.name;
}

class MaterialCode : public DataModuleFixture, public ::testing::WithParamInterface<CodeCase> {
protected:
    void SetUp() override {
        DataModuleFixture::SetUp();
        company.article("PF", "PF01")
            .article("MAT", "M")
            .article("MAT", "M100")
            .article("MAT", "m100")
            .article("AUX", "M200")
            .article("SEM", "S12")
            .article("MAT", "X100");
        createRequirementTable();
    }
};

TEST_P(MaterialCode, IsAcceptedOnlyForAMaterialHeldUnderTheLinesGroup) {
    const CodeCase& c = GetParam();
    const bool recipe = c.line == Line::Recipe;
    db::Table& t = recipe ? dm->RetetaTable : dm->TempTable;
    db::Field* group = recipe ? dm->RetetaTableCod_Grupa : dm->TempTableCod_grupa;
    db::Field* code = recipe ? dm->RetetaTableCod_MatPrim : dm->TempTableCod_MatPrim;
    dm->CatalogTable.open();
    dm->CatalogTable1.open();
    dm->CatalogTable2.open();
    ASSERT_TRUE(dm->CatalogTable.locate("Cod", {"PF01"}));
    t.open();
    t.append();
    // A code accepted earlier, which a refused one must leave in place.
    group->setAsString("MAT");
    code->setAsString("M");
    group->setAsString(c.group);
    if (c.accepted) {
        code->setAsString(c.code);
        EXPECT_EQ(code->asString(), QString::fromLatin1(c.code));
        EXPECT_TRUE(warnings.isEmpty());
        return;
    }
    EXPECT_THROW(code->setAsString(c.code), base::Abort);
    EXPECT_EQ(code->asString(), "M") << "a refused code keeps the previous one";
    const QString shown = recipe ? QStringLiteral("%1  %2").arg(QString::fromLatin1(c.group),
                                                                QString::fromLatin1(c.code))
                                 : QString::fromLatin1(c.code);
    const QString message =
        recipe ? QStringLiteral("Articolul <%1>  nu este de tip materie prima ! Apasati CTRL-ENTER "
                                "pentru a selecta din catalog!!")
               : QStringLiteral("Articolul <%1> nu este de tip materie prima ! Apasati CTRL-ENTER "
                                "pentru a selecta din stocul existent!!");
    EXPECT_EQ(warnings, QStringList{message.arg(shown)});
}

#define BOTH(name, group, code, accepted)                                                          \
    CodeCase{"Recipe" name, Line::Recipe, group, code, accepted}, CodeCase {                       \
        "Requirement" name, Line::Requirement, group, code, accepted                               \
    }
INSTANTIATE_TEST_SUITE_P(
    Rules, MaterialCode,
    ::testing::Values(BOTH("MaterialInItsGroup", "MAT", "M100", true),
                      BOTH("MaterialOfOneLetter", "MAT", "M", true),
                      BOTH("SemiFinishedInItsGroup", "SEM", "S12", true),
                      BOTH("EmptyCodeIsNotChecked", "MAT", "", true),
                      BOTH("EmptyGroupIsNotChecked", "", "X1", true),
                      BOTH("MaterialUnderAnotherGroup", "MAT", "M200", false),
                      BOTH("ProductCode", "PF", "PF01", false),
                      BOTH("WrongLetterThoughInTheCatalog", "MAT", "X100", false),
                      BOTH("LowerCaseLetterThoughInTheCatalog", "MAT", "m100", false),
                      BOTH("MaterialNotInTheCatalog", "MAT", "M999", false),
                      BOTH("PrefixOfAStoredCode", "MAT", "M10", false),
                      BOTH("StoredCodeAsAPrefix", "MAT", "M1000", false),
                      BOTH("PrefixOfTheGroup", "MA", "M100", false),
                      BOTH("GroupBeforeTheFirst", "AAA", "M100", false),
                      BOTH("GroupAfterTheLast", "ZZZ", "M100", false)),
    [](const auto& info) { return std::string(info.param.name); });
#undef BOTH

// ---- stock on hand of a requirement line ----

struct StockFigure {
    const char* name;
    const char* group;
    const char* code;
    std::optional<double> cant;
    double exist;
    double fin;
};
void PrintTo(const StockFigure& c, std::ostream* os) {
    *os << c.name;
}

class RequirementStock : public DataModuleFixture,
                         public ::testing::WithParamInterface<StockFigure> {
protected:
    void SetUp() override {
        DataModuleFixture::SetUp();
        // M100 of MAT: 4 + 3 + 2.5 in two warehouses, one lot after records of other
        // materials; stock of near matches that must never count.
        company.stock("G1", "MAT", "M100", "L1", 1, 4)
            .stock("G1", "MAT", "M1000", "L1", 1, 1000)
            .stock("G1", "MAT", "M10", "L1", 1, 100)
            .stock("G1", "MAT", "m100", "L1", 1, 50)
            .stock("G1", "AUX", "M100", "L1", 1, 20)
            .stock("G1", "MA", "M100", "L1", 1, 30)
            .stock("G2", "MAT", "M100", "L2", 1, 3)
            .stock("G1", "MAT", "M200", "L1", 1, 7)
            .stock("X9", "MAT", "M100", "L3", 2, 2.5)
            .stock("G1", "", "M300", "L1", 1, 6)
            .stock("G1", "MAT", "M400", "L1", 1, 0.1)
            .stock("G1", "MAT", "M400", "L2", 1, 0.2);
        createRequirementTable();
    }
};

TEST_P(RequirementStock, AddsEveryRecordOfTheGroupAndCodeExactlyAndRoundsToHundredths) {
    const StockFigure& c = GetParam();
    dm->TempTable.open();
    dm->TempTable.append();
    // The code before the group: a code typed on a line without a group is not looked up in
    // the catalog, which these cases leave empty.
    dm->TempTableCod_MatPrim->setAsString(c.code);
    dm->TempTableCod_grupa->setAsString(c.group);
    if (c.cant)
        dm->TempTableCant->setAsFloat(*c.cant);
    EXPECT_DOUBLE_EQ(dm->TempTableStocExist->asFloat(), c.exist) << "while the line is typed";
    EXPECT_DOUBLE_EQ(dm->TempTableStocFin->asFloat(), c.fin);
    if (c.cant) {
        dm->TempTable.post();
        dm->TempTable.close();
        dm->TempTable.open();
        EXPECT_DOUBLE_EQ(dm->TempTableStocExist->asFloat(), c.exist) << "read back";
        EXPECT_DOUBLE_EQ(dm->TempTableStocFin->asFloat(), c.fin);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RequirementStock,
    ::testing::Values(StockFigure{"ThreeRecordsTwoWarehouses", "MAT", "M100", 10.0, 9.5, -0.5},
                      StockFigure{"MoreThanRequired", "MAT", "M100", 2.0, 9.5, 7.5},
                      StockFigure{"EmptyQuantityCountsAsZero", "MAT", "M100", std::nullopt, 9.5,
                                  9.5},
                      StockFigure{"NoStockAtAll", "MAT", "M999", 1.5, 0, -1.5},
                      StockFigure{"CodeBetweenTwoStockedCodes", "MAT", "M150", 1.0, 0, -1.0},
                      StockFigure{"CodeBeforeTheFirst", "MAT", "A1", 1.0, 0, -1.0},
                      StockFigure{"CodeAfterTheLast", "MAT", "Z9", 1.0, 0, -1.0},
                      StockFigure{"GroupWithoutCode", "", "M300", 1.0, 6, 5},
                      StockFigure{"EmptyGroupDoesNotMatchOthers", "", "M100", 0.0, 0, 0},
                      StockFigure{"FractionsAddUp", "MAT", "M400", 0.0, 0.3, 0.3},
                      StockFigure{"HalfAHundredthDownToEven", "MAT", "M999", 0.125, 0, -0.12},
                      StockFigure{"HalfAHundredthUpToEven", "MAT", "M999", 0.375, 0, -0.38},
                      StockFigure{"PositiveHalfToEven", "MAT", "M200", 6.875, 7, 0.12}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

// ---- the handlers that serve windows ----

class WindowHandlers : public DataModuleFixture {};

// The requirement sheet and the recipe editor hear their sources through the module; a handler
// set late is heard from then on, and none set is no fault.
TEST_F(WindowHandlers, HearTheirOwnSourceOnly) {
    company.article("PF", "PF01").article("PF", "PF02");
    createRequirementTable();
    dm->TempTable.open();
    dm->CatalogTable.open();
    dm->TempTable.append(); // nobody listens yet
    dm->TempTable.cancel();
    QStringList heard;
    dm->TempSourceStateChange = [&](db::DataSource& s) { heard << s.name() + " state"; };
    dm->TempSourceDataChange = [&](db::DataSource& s, db::Field* f) {
        heard << s.name() + " " + (f ? f->fieldName() : QStringLiteral("record"));
    };
    dm->CatalogSourceDataChange = [&](db::DataSource& s, db::Field*) {
        heard << s.name() + " moved";
    };
    dm->TempTable.append();
    EXPECT_TRUE(heard.contains("TempSource state")) << heard.join(", ").toStdString();
    heard.clear();
    dm->TempTableCod_MatPrim->setAsString("M1");
    EXPECT_TRUE(heard.contains("TempSource Cod_MatPrim")) << heard.join(", ").toStdString();
    EXPECT_FALSE(heard.contains("CatalogSource moved"));
    dm->TempTable.cancel();
    heard.clear();
    dm->CatalogTable.next();
    EXPECT_EQ(heard, QStringList{"CatalogSource moved"});
    // The datasets close after this test's list is gone.
    dm->TempSourceStateChange = nullptr;
    dm->TempSourceDataChange = nullptr;
    dm->CatalogSourceDataChange = nullptr;
}

// The module-wide instance is cleared when the module it names goes, and only then.
TEST_F(WindowHandlers, TheSharedInstanceIsClearedWithItsModule) {
    auto other = std::make_unique<TQDMDataModule>(&session);
    QDMDataModule = dm.get();
    other.reset();
    EXPECT_EQ(QDMDataModule, dm.get());
    dm.reset();
    EXPECT_EQ(QDMDataModule, nullptr);
}
