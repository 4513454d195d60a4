// Leaving the batch quantity box: an empty box or exactly "0" is refused with a warning and the
// focus goes back to the box; any other text passes, the field converting it itself.
#include "platform/ui/db_edit.h"
#include "recipe_editor_fixture.h"

using namespace recipetest;

namespace {

struct QuantityCase {
    const char* name;
    const char* typed;
    bool refused;
    QVariant stored; // the product's batch quantity once the products move on (it was 2)
};

void PrintTo(const QuantityCase& c, std::ostream* os) {
    *os << c.name;
}

class BatchQuantity : public RecipeEditorTest,
                      public ::testing::WithParamInterface<QuantityCase> {};

TEST_P(BatchQuantity, IsCheckedOnLeavingTheBox) {
    const QuantityCase& c = GetParam();
    TQDMRetetaForm& form = openEditor();
    selectProduct("P003");
    form.CantRetetaCBox->setFocus(Qt::TabFocusReason);
    settle();
    form.CantRetetaCBox->selectAll();
    press(Qt::Key_Delete);
    type(QString::fromLatin1(c.typed));
    // Leaving it for the recipe lines, with the mouse.
    TDBGridNormal* grid = form.KDMRetetaGrid;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(0, 1)).center());
    settle();
    const QString warning = QStringLiteral(
        "Atentie campul cantitate nu poate fi gol sau 0! Scrieti cantitatea corecta!");
    if (c.refused) {
        EXPECT_EQ(boxTexts(), QStringList{warning});
        EXPECT_EQ(desktop.boxes.at(0).kind, ui::MessageKind::Warning);
        EXPECT_TRUE(form.CantRetetaCBox->hasFocus()) << "the focus went back to the box";
        EXPECT_EQ(form.CantRetetaCBox->text(), "2") << "the product keeps its quantity";
    } else {
        EXPECT_TRUE(desktop.boxes.empty()) << boxTexts().join('|').toStdString();
        EXPECT_FALSE(form.CantRetetaCBox->hasFocus());
    }
    EXPECT_EQ(currentProduct(), "P003");
    form.KDMCatalogGrid->setFocus(Qt::TabFocusReason);
    settle();
    press(Qt::Key_Down); // stores the product as it is
    EXPECT_EQ(stored("CATALOG.DB", "Cod", {"P003"}, "CantReteta"), c.stored);
}

INSTANTIATE_TEST_SUITE_P(Typed, BatchQuantity,
                         ::testing::Values(QuantityCase{"Zero", "0", true, QVariant(2.0)},
                                           QuantityCase{"Empty", "", true, QVariant(2.0)},
                                           QuantityCase{"ZeroWithDecimals", "0,0", false,
                                                        QVariant(0.0)},
                                           QuantityCase{"TwoZeros", "00", false, QVariant(0.0)},
                                           QuantityCase{"AQuantity", "2,5", false, QVariant(2.5)}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
