// Copying a whole recipe from one product to another through the recipe grid's context menu.
#include "platform/ui/menu.h"
#include "recipe_editor_fixture.h"

#include <QMenu>

using namespace recipetest;

namespace {

class RecipeCopy : public RecipeEditorTest {
protected:
    void copyFrom(TQDMRetetaForm& form, const QString& product) {
        selectProduct(product);
        form.RetetaPopCopy->click();
    }
    void pasteOnto(TQDMRetetaForm& form, const QString& product) {
        selectProduct(product);
        form.RetetaPopPaste->click();
        settle();
    }
    static QString menuState(TQDMRetetaForm& form) {
        return QStringLiteral("%1%2%3")
            .arg(form.RetetaPopCopy->isEnabled() ? 'C' : '-')
            .arg(form.RetetaPopPaste->isEnabled() ? 'P' : '-')
            .arg(form.RetetaPopCancel->isEnabled() ? 'R' : '-');
    }
};

TEST_F(RecipeCopy, PasteOntoAProductSharingMaterialsKeepsItsLinesAndAddsTheRest) {
    TQDMRetetaForm& form = openEditor();
    copyFrom(form, "P002");
    EXPECT_EQ(form.CopySourceCode, "P002");
    pasteOnto(form, "P003");
    EXPECT_EQ(lines(), (QStringList{"MAT M100 3", "MAT M200 4", "SEMI S12 2"}))
        << "M200 kept its own quantity; the other two were added";
    EXPECT_EQ(storedRecipeLines("P003"), 3);
    EXPECT_EQ(storedRecipeLines("P002"), 3) << "the source is untouched";
    EXPECT_TRUE(desktop.boxes.empty()) << "the duplicate is skipped without a message";
    EXPECT_EQ(dm().RetetaTable.state(), db::DataSetState::Browse);
    EXPECT_FALSE(dm().ExtragReteta.isActive());
    EXPECT_EQ(form.CopySourceCode, "P002") << "kept after the paste";
}

TEST_F(RecipeCopy, PasteOntoTheSourceAddsNothing) {
    TQDMRetetaForm& form = openEditor();
    copyFrom(form, "P002");
    pasteOnto(form, "P002");
    EXPECT_EQ(lines(), (QStringList{"MAT M100 3", "MAT M200 1", "SEMI S12 2"}));
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(RecipeCopy, CopyFromAProductWithoutLinesPastesNothing) {
    TQDMRetetaForm& form = openEditor();
    copyFrom(form, "P004");
    EXPECT_EQ(form.CopySourceCode, "");
    pasteOnto(form, "P001");
    EXPECT_EQ(lines(), (QStringList{"MAT M100 5", "MAT M300 0,1"}));
    EXPECT_EQ(menuState(form), "C--");
}

TEST_F(RecipeCopy, ARowARuleRefusesIsSkippedAfterItsMessageAndTheOthersAreAdded) {
    // A line whose material is no longer in the catalog under its group.
    testsupport::CompanyBuilder(companyDir)
        .recipe("P005", "MAT", "M999", 1)
        .recipe("P005", "MAT", "M200", 2);
    TQDMRetetaForm& form = openEditor();
    copyFrom(form, "P005");
    pasteOnto(form, "P004");
    EXPECT_EQ(lines(), QStringList{"MAT M200 2"});
    EXPECT_EQ(
        boxTexts(),
        QStringList{"Articolul <MAT  M999>  nu este de tip materie prima ! Apasati CTRL-ENTER "
                    "pentru a selecta din catalog!!"});
    EXPECT_EQ(storedRecipeLines("P004"), 1);
}

TEST_F(RecipeCopy, APendingLineARuleRefusesStopsThePasteAndKeepsTheCopyMarked) {
    TQDMRetetaForm& form = openEditor();
    copyFrom(form, "P002");
    selectProduct("P004");
    form.KDMRetetaGrid->setFocus(Qt::TabFocusReason);
    settle();
    press(Qt::Key_Insert);
    type("MAT");
    press(Qt::Key_Tab);
    type("M300"); // no quantity
    form.RetetaPopPaste->click();
    settle();
    EXPECT_EQ(boxTexts(), QStringList{"Completati toate datele articolului!"});
    EXPECT_EQ(dm().RetetaTable.state(), db::DataSetState::Insert)
        << "the line stays for correction";
    EXPECT_EQ(menuState(form), "-PR");
    EXPECT_EQ(storedRecipeLines("P004"), 0);
}

// The three items through copy, paste and cancel: C copy, P paste, R cancel enabled.
TEST_F(RecipeCopy, APasteIsMadeOncePerCopy) {
    TQDMRetetaForm& form = openEditor();
    EXPECT_EQ(menuState(form), "C--");
    copyFrom(form, "P001");
    EXPECT_EQ(menuState(form), "-PR");
    pasteOnto(form, "P004");
    EXPECT_EQ(menuState(form), "C--") << "paste is disabled until the next copy";
    EXPECT_EQ(lines(), (QStringList{"MAT M100 5", "MAT M300 0,1"}));
    copyFrom(form, "P003");
    EXPECT_EQ(menuState(form), "-PR");
    form.RetetaPopCancel->click();
    EXPECT_EQ(menuState(form), "C--");
    EXPECT_EQ(form.CopySourceCode, "P003") << "kept, though not used";
}

TEST_F(RecipeCopy, TheRecipeGridsContextMenuCarriesTheThreeItems) {
    TQDMRetetaForm& form = openEditor();
    copyFrom(form, "P001");
    TDBGridNormal* grid = form.KDMRetetaGrid;
    const QPoint at = grid->visualRect(grid->model()->index(0, 0)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(grid->viewport(), &event);
    settle();
    QMenu* popup = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* menu = qobject_cast<QMenu*>(w); menu && menu->isVisible())
            popup = menu;
    ASSERT_NE(popup, nullptr);
    QStringList items;
    for (QAction* action : popup->actions())
        items << (action->isEnabled() ? "+" : "-") + action->text();
    EXPECT_EQ(items, (QStringList{"-Copiaza reteta", "+Lipeste reteta", "+Renunta la copiere"}));
    selectProduct("P004");
    popup->actions().at(1)->trigger();
    settle();
    popup->close();
    EXPECT_EQ(lines(), (QStringList{"MAT M100 5", "MAT M300 0,1"}));
}

} // namespace
