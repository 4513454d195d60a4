// The incremental search over the recipe editor's products: typed with the products grid
// focused, matched on the group code, shown in the label, emptied by any other move.
#include "platform/ui/combo_box.h"
#include "platform/ui/db_edit.h"
#include "platform/ui/label.h"
#include "recipe_editor_fixture.h"

using namespace recipetest;

namespace {

// Keys as typed: letters, digits and space as they are (a lower-case letter without Shift),
// '<' Backspace, '#' followed by a digit the numeric keypad's digit, '-' the minus key.
struct SearchCase {
    const char* name;
    const char* start; // the product current before typing
    const char* keys;
    const char* product; // current afterwards
    const char* shown;   // the label afterwards
};

void PrintTo(const SearchCase& c, std::ostream* os) {
    *os << c.name;
}

class ProductSearch : public RecipeEditorTest, public ::testing::WithParamInterface<SearchCase> {
protected:
    static void typeKeys(const QString& keys) {
        for (int i = 0; i < keys.size(); ++i) {
            const QChar c = keys.at(i);
            QWidget* focus = QApplication::focusWidget();
            if (c == QLatin1Char('<'))
                QTest::keyClick(focus, Qt::Key_Backspace);
            else if (c == QLatin1Char('#'))
                QTest::keyClick(focus, Qt::Key(Qt::Key_0 + keys.at(++i).digitValue()),
                                Qt::KeypadModifier);
            else
                QTest::keyClick(focus, c.toLatin1());
        }
    }
};

TEST_P(ProductSearch, MovesByGroupCode) {
    const SearchCase& c = GetParam();
    TQDMRetetaForm& form = openEditor();
    selectProduct(QString::fromLatin1(c.start));
    ResetProductSearch();
    typeKeys(QString::fromLatin1(c.keys));
    EXPECT_EQ(currentProduct(), QString::fromLatin1(c.product));
    EXPECT_EQ(form.Cautlbl->text(), QString::fromLatin1(c.shown));
    EXPECT_EQ(ProductSearchText, QString::fromLatin1(c.shown));
    EXPECT_TRUE(form.KDMCatalogGrid->hasFocus());
    EXPECT_TRUE(desktop.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ProductSearch,
    ::testing::Values(SearchCase{"TwoLetters", "P001", "AB", "P002", "AB"},
                      SearchCase{"LowerCaseAsCapitals", "P001", "ab", "P002", "AB"},
                      SearchCase{"FirstGroupAfterTheText", "P001", "AD", "P005", "AD"},
                      SearchCase{"MainKeyboardDigits", "P001", "B1", "P005", "B1"},
                      SearchCase{"BackspaceSearchesAgain", "P001", "AC<", "P001", "A"},
                      SearchCase{"BackspaceOnOneCharacter", "P003", "B<", "P001", ""},
                      SearchCase{"BackspaceOnNothing", "P005", "<", "P001", ""},
                      SearchCase{"KeypadDigitsDoNotSearch", "P003", "#1#2", "P003", ""},
                      SearchCase{"OtherKeysDoNotSearch", "P003", "-", "P003", ""},
                      SearchCase{"SpaceSearches", "P005", " ", "P001", " "},
                      SearchCase{"SemiFinishedProducts", "P001", "S", "S12", "S"}),
    [](const auto& info) { return std::string(info.param.name); });

class SearchText : public RecipeEditorTest {};

TEST_F(SearchText, AnArrowKeyEmptiesTheShownSearch) {
    TQDMRetetaForm& form = openEditor();
    type("AB");
    ASSERT_EQ(currentProduct(), "P002");
    ASSERT_EQ(form.Cautlbl->text(), "AB");
    press(Qt::Key_Down);
    EXPECT_EQ(currentProduct(), "P003");
    EXPECT_EQ(form.Cautlbl->text(), "");
    EXPECT_EQ(ProductSearchText, "");
    // The next key starts a new search.
    type("B");
    EXPECT_EQ(currentProduct(), "P005");
    EXPECT_EQ(form.Cautlbl->text(), "B");
}

TEST_F(SearchText, AClickOnAnotherProductEmptiesIt) {
    TQDMRetetaForm& form = openEditor();
    type("AC");
    ASSERT_EQ(currentProduct(), "P004");
    TDBGridNormal* grid = form.KDMCatalogGrid;
    const int up = grid->row() - 1;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(up, 1)).center());
    settle();
    EXPECT_EQ(currentProduct(), "P003");
    EXPECT_EQ(form.Cautlbl->text(), "");
}

TEST_F(SearchText, TypingABatchQuantityNeverMovesTheProducts) {
    TQDMRetetaForm& form = openEditor();
    type("AB");
    ASSERT_EQ(currentProduct(), "P002");
    form.CantRetetaCBox->setFocus(Qt::TabFocusReason);
    settle();
    form.CantRetetaCBox->selectAll();
    type("12 ");
    press(Qt::Key_Backspace);
    EXPECT_EQ(currentProduct(), "P002");
    EXPECT_EQ(form.CantRetetaCBox->text(), "12");
    // Leaving the box writes the quantity into the product it was typed for; the next move
    // stores it there.
    form.KDMCatalogGrid->setFocus(Qt::TabFocusReason);
    settle();
    press(Qt::Key_Down);
    EXPECT_EQ(currentProduct(), "P003");
    EXPECT_EQ(stored("CATALOG.DB", "Cod", {"P002"}, "CantReteta"), QVariant(12.0));
    EXPECT_EQ(stored("CATALOG.DB", "Cod", {"P003"}, "CantReteta"), QVariant(2.0));
}

TEST_F(SearchText, ChoosingTheOrderByNameSortsAndEmptiesTheSearch) {
    TQDMRetetaForm& form = openEditor();
    type("AB");
    form.OrderCombo->setFocus(Qt::TabFocusReason);
    settle();
    press(Qt::Key_Down);
    EXPECT_EQ(form.OrderCombo->text(), "Grupa;Denumire");
    EXPECT_EQ(dm().CatalogTable.indexFieldNames(), "Grupa;Denumire");
    EXPECT_TRUE(form.KDMCatalogGrid->hasFocus());
    EXPECT_EQ(form.Cautlbl->text(), "");
    // The search still goes by group: the first product of AB by name is "Cozonac".
    type("AB");
    EXPECT_EQ(currentProduct(), "P003");
    press(Qt::Key_Down);
    EXPECT_EQ(currentProduct(), "P002");
}

} // namespace
