// The recipe editor's material names when one material code is held under two groups: each
// line shows the name of its own group's article, whichever group the catalog holds first.
#include "platform/db/connection.h"
#include "recipe_editor_fixture.h"

using namespace recipetest;

namespace {

class CatalogGroupNames : public RecipeEditorTest, public ::testing::WithParamInterface<bool> {
protected:
    void buildCompany() override {
        RecipeEditorTest::buildCompany();
        testsupport::CompanyBuilder company(companyDir);
        // M100 is also an article of group AUX, here before or after the MAT one in entry order.
        if (GetParam()) {
            company.database().connection().exec(
                QStringLiteral("DELETE FROM Catalog WHERE Grupa = 'MAT' AND Cod = 'M100'"));
            company.article("AUX", "M100", "Faina neagra").article("MAT", "M100", "Faina");
        } else {
            company.article("AUX", "M100", "Faina neagra");
        }
        company.article("AA", "P006", "Paine de secara", 4).recipe("P006", "AUX", "M100", 3);
    }
};

TEST_P(CatalogGroupNames, EachLineShowsTheNameOfItsGroup) {
    TQDMRetetaForm& form = openEditor();
    selectProduct(QStringLiteral("P001"));
    settle();
    ASSERT_EQ(lines().first(), "MAT M100 5");
    dm().RetetaTable.first();
    settle();
    EXPECT_EQ(form.KDMRetetaGrid->cellText(form.KDMRetetaGrid->row(), 3), "Faina");

    selectProduct(QStringLiteral("P006"));
    settle();
    ASSERT_EQ(lines(), QStringList{"AUX M100 3"});
    dm().RetetaTable.first();
    settle();
    EXPECT_EQ(form.KDMRetetaGrid->cellText(form.KDMRetetaGrid->row(), 3), "Faina neagra");
}

INSTANTIATE_TEST_SUITE_P(CatalogOrder, CatalogGroupNames, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "OtherGroupFirst" : "LineGroupFirst");
});

} // namespace
