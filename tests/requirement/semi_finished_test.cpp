// The requirement's descent through semi-finished products with a recipe of their own, switched
// on by the company's settings file (SemiPrinReteta=1). Semi-finished codes begin with S.
#include "requirement/semi_finished.h"
#include "requirement_core_fixture.h"
#include "settings/production_settings.h"

#include <gtest/gtest.h>

namespace {

using requirement::buildRequirement;
using requirement::readRequirementLines;
using requirement::RecipeStructureError;

struct Recipe {
    const char* product;
    const char* group;
    const char* material;
    double quantity;
};

struct DescentCase {
    const char* name;
    QList<Recipe> recipes;
    QStringList expected; // "group code quantity" in the table's order
    QStringList withoutBatch = {};
};

// Receipt: 20 × PF01 (batch 10) and 8 × PF02 (batch 4), so two batches of each. Semi-finished
// S1 (batch 4), S2 (batch 2), S3 (batch 5) of group SEM; S0 has a recipe and no batch quantity;
// S9 has no recipe.
const DescentCase kCases[] = {
    {"TwoLevels",
     {{"PF01", "SEM", "S1", 2},
      {"PF01", "MAT", "M100", 1},
      {"S1", "MAT", "M200", 2},
      {"S1", "MAT", "M300", 1}},
     // S1: 4 kg; by its batch of 4: M200 2, M300 1.
     {"MAT M100 2", "MAT M200 2", "MAT M300 1"}},
    {"ThreeLevels",
     {{"PF01", "SEM", "S1", 2},
      {"S1", "SEM", "S2", 3},
      {"S2", "MAT", "M100", 0.5},
      {"S2", "MAT", "M200", 4}},
     // S1 4 -> S2 3 -> M100 0.75, M200 6.
     {"MAT M100 0.75", "MAT M200 6"}},
    {"SharedBySemiAndTwoProductsAddsUp",
     {{"PF01", "SEM", "S1", 2},
      {"PF02", "SEM", "S1", 1},
      {"PF02", "MAT", "M200", 1},
      {"S1", "MAT", "M200", 2}},
     // S1: 4 + 2 = 6 -> M200 3, with 2 of PF02 directly.
     {"MAT M200 5"}},
    {"SemiReachedByTwoPathsOfDifferentDepth",
     {{"PF01", "SEM", "S1", 2},
      {"PF01", "SEM", "S2", 1},
      {"S1", "SEM", "S2", 1},
      {"S2", "MAT", "M100", 2}},
     // S2: 2 directly and 1 through S1 (4 of S1 by its batch of 4) -> M100 2 + 1.
     {"MAT M100 3"}},
    {"SemiWithoutRecipeStaysALine",
     {{"PF01", "SEM", "S9", 2}, {"PF01", "SEM", "S1", 1}, {"S1", "MAT", "M100", 4}},
     {"MAT M100 2", "SEM S9 4"}},
    {"SemiWithoutBatchQuantityStaysALineAndIsNamed",
     {{"PF01", "SEM", "S0", 2}, {"S0", "MAT", "M100", 1}},
     {"SEM S0 4"},
     {"SEM S0"}},
    {"ProductNotSemiFinishedIsNotDescended",
     {{"PF01", "PF", "PF02", 1}, {"PF02", "MAT", "M100", 1}},
     // PF02's own recipe, from its receipt line, gives the M100.
     {"MAT M100 2", "PF PF02 2"}},
    {"SemiUnderAnotherGroupHasNoBatchThere",
     {{"PF01", "MAT", "S1", 2}, {"S1", "MAT", "M100", 1}},
     {"MAT S1 4"},
     {"MAT S1"}},
};

class SemiFinished : public requirementtest::RequirementFixture {
protected:
    void SetUp() override {
        RequirementFixture::SetUp();
        switchDescent(true);
        company.article("PF", "PF01", "Paine", 10).article("PF", "PF02", "Cozonac", 4);
        company.article("SEM", "S1", "Aluat", 4)
            .article("SEM", "S2", "Umplutura", 2)
            .article("SEM", "S3", "Glazura", 5)
            .article("SEM", "S0", "Crema", 0)
            .article("SEM", "S9", "Sirop");
        for (const char* m : {"M100", "M200", "M300"})
            company.article("MAT", m, m);
        company.receipt(7, 15, "A1", {2024, 3, 12})
            .receiptLine(7, 1, "PF", "PF01", 20)
            .receiptLine(7, 2, "PF", "PF02", 8);
    }
    void TearDown() override {
        RequirementFixture::TearDown();
        SemiPrinReteta = false;
    }

    void switchDescent(bool on) {
        ASSERT_TRUE(testsupport::writeProductionSettings(
            companyDir, QByteArray(testsupport::kProductionSettings) +
                            (on ? "SemiPrinReteta=1\r\n" : "SemiPrinReteta=0\r\n")));
    }
    void addRecipes(const QList<Recipe>& recipes) {
        for (const Recipe& r : recipes)
            company.recipe(r.product, r.group, r.material, r.quantity);
    }
    QStringList lines() {
        QStringList out;
        for (const auto& l : readRequirementLines(*dm))
            out << QStringLiteral("%1 %2 %3").arg(l.group, l.code).arg(l.quantity);
        return out;
    }
    // The message of the refusal of building receipt 7; empty when it was built.
    QString refusal() {
        try {
            buildRequirement(*dm, 7);
        } catch (const RecipeStructureError& e) {
            return e.message();
        }
        return QString();
    }
};

class SemiFinishedDescent : public SemiFinished,
                            public ::testing::WithParamInterface<DescentCase> {};

TEST_P(SemiFinishedDescent, Lines) {
    addRecipes(GetParam().recipes);
    const auto report = buildRequirement(*dm, 7);
    EXPECT_EQ(lines(), GetParam().expected);
    EXPECT_EQ(report.semiFinishedWithoutBatchQuantity, GetParam().withoutBatch);
}

INSTANTIATE_TEST_SUITE_P(Cases, SemiFinishedDescent, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SemiFinished, SwitchedOffTheSheetStopsAtTheSemiFinished) {
    addRecipes({{"PF01", "SEM", "S1", 2}, {"PF01", "MAT", "M100", 1}, {"S1", "MAT", "M200", 2}});
    for (const QByteArray& file :
         {QByteArray(testsupport::kProductionSettings) + "SemiPrinReteta=0\r\n",
          QByteArray(testsupport::kProductionSettings)}) {
        ASSERT_TRUE(testsupport::writeProductionSettings(companyDir, file));
        buildRequirement(*dm, 7);
        EXPECT_FALSE(SemiPrinReteta) << file.toStdString();
        EXPECT_EQ(lines(), (QStringList{"MAT M100 2", "SEM S1 4"})) << file.toStdString();
        requirement::closeRequirement(*dm);
    }
}

TEST_F(SemiFinished, CycleIsRefusedWithTheChainNamed) {
    addRecipes({{"PF01", "SEM", "S1", 2},
                {"S1", "SEM", "S2", 1},
                {"S2", "SEM", "S3", 1},
                {"S3", "SEM", "S2", 1},
                {"S2", "MAT", "M100", 1}});
    EXPECT_EQ(refusal(), "Rețetele semifabricatelor se cuprind una pe alta: S2 -> S3 -> S2. "
                         "Necesarul nu a fost calculat.");
}

TEST_F(SemiFinished, SemiFinishedInItsOwnRecipeIsACycle) {
    addRecipes({{"PF02", "SEM", "S1", 1}, {"S1", "SEM", "S1", 1}});
    EXPECT_EQ(refusal(), "Rețetele semifabricatelor se cuprind una pe alta: S1 -> S1. Necesarul "
                         "nu a fost calculat.");
}

// PF01 -> L01 -> ... -> Ln -> M100, every batch 1: the product's recipe and n more levels.
class SemiFinishedDepth : public SemiFinished {
protected:
    void chain(int semiFinished) {
        for (int i = 1; i <= semiFinished; ++i)
            company.article("SEM", name(i), name(i), 1);
        company.recipe("PF01", "SEM", name(1), 1);
        for (int i = 1; i < semiFinished; ++i)
            company.recipe(name(i), "SEM", name(i + 1), 1);
        company.recipe(name(semiFinished), "MAT", "M100", 3);
    }
    static QString name(int i) { return QStringLiteral("SL%1").arg(i, 2, 10, QLatin1Char('0')); }
};

TEST_F(SemiFinishedDepth, SixteenLevelsAreDescended) {
    chain(requirement::kMaxRecipeLevels - 1);
    EXPECT_EQ(refusal(), QString());
    EXPECT_EQ(lines(), QStringList{"MAT M100 6"});
}

TEST_F(SemiFinishedDepth, SeventeenLevelsAreRefused) {
    chain(requirement::kMaxRecipeLevels);
    const QString message = refusal();
    EXPECT_TRUE(message.startsWith("Rețetele semifabricatelor au mai mult de 16 niveluri: SL01 "
                                   "-> SL02 -> "))
        << message.toStdString();
    EXPECT_TRUE(message.contains("SL15 -> SL16.")) << message.toStdString();
}

} // namespace
