// Picking a recipe line's material from the catalog window with Ctrl+Enter or a double click,
// the window answered with real keys (Enter accepts the current article, Escape cancels).
#include "catalog/cat_lookup_form.h"
#include "platform/ui/form.h"
#include "recipe_editor_fixture.h"

#include <QTimer>

using namespace recipetest;

namespace {

class CatalogPick : public RecipeEditorTest {
protected:
    struct Shown {
        bool shown = false;
        QString group;
        QString article;
    };

    // Answers the catalog window with keys once it is shown modally; records where it opened.
    // A window the keys leave open is cancelled after a while, so that a failed test ends.
    void answerCatalogWith(QList<Qt::Key> keys) {
        shown = Shown{};
        QTimer::singleShot(0, [this, keys] {
            TCatLookupForm* form = CatLookupForm;
            if (!form || QApplication::activeModalWidget() != form)
                return;
            shown = Shown{true, form->currentGroupCode(), form->currentArticleCode()};
            form->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(form));
            settle();
            QTimer::singleShot(3000, form, [form] { form->setModalResult(ui::mrCancel); });
            for (Qt::Key key : keys) {
                QWidget* focus = QApplication::focusWidget();
                QTest::keyClick(focus ? focus : form, key);
            }
        });
    }

    // Puts the recipe grid's cell editor on a column of the current line.
    void focusColumn(TQDMRetetaForm& form, int column) {
        form.KDMRetetaGrid->setFocus(Qt::TabFocusReason);
        settle();
        form.KDMRetetaGrid->setSelectedIndex(column);
        settle();
    }

    // Ctrl+Enter where the focus is; answers what the window's key-press handler left of it.
    char16_t ctrlEnter(TQDMRetetaForm& form) {
        char16_t seen = 0xFFFF;
        auto handler = form.KDMRetetaGrid->onKeyPress;
        form.KDMRetetaGrid->onKeyPress = [&](char16_t& key) {
            handler(key);
            seen = key;
        };
        press(Qt::Key_Return, Qt::ControlModifier);
        settle();
        // The main window comes back to the front once the catalog window is gone.
        if (!QApplication::focusWidget()) {
            mainWindow->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(mainWindow.get()));
        }
        form.KDMRetetaGrid->onKeyPress = handler;
        return seen;
    }

    Shown shown;
};

struct PickCase {
    const char* name;
    int column;
    bool doubleClick;
    bool opensCatalog;
};

void PrintTo(const PickCase& c, std::ostream* os) {
    *os << c.name;
}

class CatalogPickColumns : public CatalogPick, public ::testing::WithParamInterface<PickCase> {};

TEST_P(CatalogPickColumns, OpensTheCatalogOnTheLinesMaterialExceptOnTheQuantity) {
    const PickCase& c = GetParam();
    TQDMRetetaForm& form = openEditor();
    selectProduct("P002");
    focusColumn(form, c.column);
    answerCatalogWith({Qt::Key_Escape});
    if (c.doubleClick) {
        TDBGridNormal* grid = form.KDMRetetaGrid;
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                           grid->visualRect(grid->model()->index(grid->row(), c.column)).center());
        settle();
    } else {
        EXPECT_EQ(ctrlEnter(form), c.opensCatalog ? 0 : 10)
            << "swallowed where it opens the catalog, passed on to the grid elsewhere";
    }
    settle();
    EXPECT_EQ(shown.shown, c.opensCatalog);
    if (c.opensCatalog) {
        EXPECT_EQ(shown.group, "MAT") << "on the line's group and material";
        EXPECT_EQ(shown.article, "M100");
    }
    // Cancelled, or never asked: the line is as it was.
    EXPECT_EQ(dm().RetetaTable.state(), db::DataSetState::Browse);
    EXPECT_EQ(lines(), (QStringList{"MAT M100 3", "MAT M200 1", "SEMI S12 2"}));
    EXPECT_TRUE(desktop.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Column, CatalogPickColumns,
                         ::testing::Values(PickCase{"GroupCtrlEnter", 0, false, true},
                                           PickCase{"MaterialCtrlEnter", 1, false, true},
                                           PickCase{"QuantityCtrlEnter", 2, false, false},
                                           PickCase{"NameCtrlEnter", 3, false, true},
                                           PickCase{"MaterialDoubleClick", 1, true, true},
                                           PickCase{"QuantityDoubleClick", 2, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CatalogPick, OnAnEmptyRecipeAnAcceptedChoiceStartsALine) {
    TQDMRetetaForm& form = openEditor();
    selectProduct("P004");
    focusColumn(form, 1);
    answerCatalogWith({Qt::Key_Return});
    ctrlEnter(form);
    ASSERT_TRUE(shown.shown);
    EXPECT_EQ(shown.group, "MAT") << "the first class's first group";
    EXPECT_EQ(dm().RetetaTable.state(), db::DataSetState::Insert);
    EXPECT_EQ(dm().RetetaTableCod_Grupa->asString(), "MAT");
    EXPECT_EQ(dm().RetetaTableCod_MatPrim->asString(), "M100");
    EXPECT_EQ(dm().RetetaTableCod->asString(), "P004") << "through the detail link";
    EXPECT_EQ(storedRecipeLines("P004"), 0) << "not posted by the choice";
    // The quantity, then the line is posted by the usual means.
    form.KDMRetetaGrid->setSelectedIndex(2);
    type("3");
    press(Qt::Key_Down);
    EXPECT_EQ(storedRecipeLines("P004"), 1);
    EXPECT_EQ(stored("Reteta.DB", "Cod;Cod_MatPrim", {"P004", "M100"}, "Cant_MatPrim"),
              QVariant(3.0));
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(CatalogPick, AChoiceReplacesTextTypedIntoTheCell) {
    TQDMRetetaForm& form = openEditor();
    selectProduct("P004");
    form.KDMRetetaGrid->setFocus(Qt::TabFocusReason);
    settle();
    press(Qt::Key_Insert);
    type("MAT");
    press(Qt::Key_Tab);
    type("X1"); // not a raw material; still in the cell
    answerCatalogWith({Qt::Key_Return});
    ctrlEnter(form);
    ASSERT_TRUE(shown.shown);
    EXPECT_EQ(shown.group, "MAT");
    EXPECT_EQ(form.KDMRetetaGrid->cellText(form.KDMRetetaGrid->row(), 1), "M100");
    press(Qt::Key_Tab);
    type("2");
    press(Qt::Key_Down);
    EXPECT_TRUE(desktop.boxes.empty()) << "the typed X1 was not checked or stored";
    EXPECT_EQ(stored("Reteta.DB", "Cod;Cod_MatPrim", {"P004", "M100"}, "Cant_MatPrim"),
              QVariant(2.0));
}

TEST_F(CatalogPick, AChosenArticleThatIsNoRawMaterialLeavesTheLineAsItWas) {
    testsupport::CompanyBuilder(companyDir).article("MAT", "X1", "Apa"); // last of its group
    TQDMRetetaForm& form = openEditor();
    selectProduct("P002");
    focusColumn(form, 1);
    answerCatalogWith({Qt::Key_End, Qt::Key_Return});
    ctrlEnter(form);
    ASSERT_TRUE(shown.shown);
    EXPECT_EQ(boxTexts(), QStringList{"Articolul <MAT  X1>  nu este de tip materie prima ! Apasati "
                                      "CTRL-ENTER pentru a selecta din catalog!!"});
    EXPECT_EQ(dm().RetetaTable.state(), db::DataSetState::Browse);
    EXPECT_EQ(lines(), (QStringList{"MAT M100 3", "MAT M200 1", "SEMI S12 2"}));
}

TEST_F(CatalogPick, AnotherGroupsMaterialReplacesBothCodesOfTheLine) {
    TQDMRetetaForm& form = openEditor();
    selectProduct("P003");
    focusColumn(form, 0);
    // From MAT M200 to the next group of the class, SEMI, whose only article is S12.
    bool acted = false;
    QTimer::singleShot(0, [&] {
        TCatLookupForm* catalog = CatLookupForm;
        ASSERT_NE(catalog, nullptr);
        catalog->positionOn("SEMI", "S12");
        catalog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(catalog));
        QTimer::singleShot(3000, catalog, [catalog] { catalog->setModalResult(ui::mrCancel); });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        acted = true;
    });
    ctrlEnter(form);
    ASSERT_TRUE(acted);
    EXPECT_EQ(dm().RetetaTable.state(), db::DataSetState::Edit);
    press(Qt::Key_Down); // posted by moving on
    EXPECT_TRUE(desktop.boxes.empty()) << boxTexts().join('|').toStdString();
    EXPECT_EQ(stored("Reteta.DB", "Cod;Cod_MatPrim", {"P003", "S12"}, "Cod_Grupa"),
              QVariant(QStringLiteral("SEMI")));
    EXPECT_EQ(storedRecipeLines("P003"), 1);
}

} // namespace
