// The recipe editor's window: opening it once, what it shows, a creation that fails, and closing
// it with something pending.
#include "platform/base/errors.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/db_edit.h"
#include "platform/ui/db_navigator.h"
#include "platform/ui/label.h"
#include "platform/ui/menu.h"
#include "platform/ui/speed_button.h"
#include "recipe_editor_fixture.h"

using namespace recipetest;
using ui::NavigateButton;

namespace {

class EditorWindow : public RecipeEditorTest {
protected:
    static QStringList titles(TDBGridNormal* grid) {
        QStringList out;
        for (int i = 0; i < grid->columns().count(); ++i)
            out << grid->columns()[i]->fieldName() + QLatin1Char('=') +
                       grid->columns()[i]->title().caption();
        return out;
    }
    static QStringList shownButtons(ui::DBNavigator* navigator) {
        QStringList out;
        const char* names[] = {"First",  "Prior", "Next", "Last",   "Insert",
                               "Delete", "Edit",  "Post", "Cancel", "Refresh"};
        for (int i = 0; i < ui::DBNavigator::kButtonCount; ++i)
            if (navigator->visibleButtons().testFlag(NavigateButton(1 << i)))
                out << QString::fromLatin1(names[i]);
        return out;
    }
    QStringList productRows(TQDMRetetaForm& form) {
        QStringList out;
        db::Table& t = dm().CatalogTable;
        for (t.first(); !t.eof(); t.next())
            out << t.fieldByName("Cod")->asString();
        t.first();
        (void)form;
        return out;
    }
    void closeEditor(TQDMRetetaForm& form) {
        form.mdiFrame()->close();
        settle();
    }
};

TEST_F(EditorWindow, OpensOnTheProductsWithTheTablesOpenAndTheSettingsLoaded) {
    TQDMRetetaForm& form = openEditor();
    EXPECT_EQ(form.caption(), "Reteta");
    EXPECT_EQ(form.size(), QSize(534, 474));
    EXPECT_EQ(form.formStyle(), ui::FormStyle::MdiChild);
    EXPECT_EQ(form.mdiFrame()->mdiArea(), mainWindow->mdiArea());
    EXPECT_TRUE(form.keyPreview());
    EXPECT_TRUE(dm().CatalogTable.isActive() && dm().CatalogTable2.isActive() &&
                dm().RetetaTable.isActive());
    EXPECT_EQ(IndCod, 'M') << "the company's characters were loaded";
    EXPECT_EQ(productRows(form), (QStringList{"P001", "P002", "P003", "P004", "P005", "S12"}))
        << "raw materials are not products";

    EXPECT_EQ(titles(form.KDMCatalogGrid), (QStringList{"Grupa=Grupa", "Cod=Cod produs finit",
                                                        "Denumire=Denumire produs finit"}));
    EXPECT_TRUE(form.KDMCatalogGrid->readOnly());
    EXPECT_TRUE(form.KDMCatalogGrid->options() & dgRowSelect);
    EXPECT_EQ(titles(form.KDMRetetaGrid),
              (QStringList{"Cod_Grupa=Cod_Grupa", "Cod_MatPrim=Cod materie prima",
                           "Cant_MatPrim=Cantitate materie prima",
                           "DenMat_Prim=Denumire materie prima"}));
    EXPECT_FALSE(form.KDMRetetaGrid->options() & dgConfirmDelete);
    EXPECT_EQ(form.KDMRetetaGrid->columns()[3]->buttonStyle(), TColumnButtonStyle::cbsNone);
    EXPECT_EQ(form.KDMRetetaGrid->cellText(form.KDMRetetaGrid->row(), 3), "Faina")
        << "the material's name";

    EXPECT_EQ(form.OrderCombo->text(), "Grupa;Cod");
    EXPECT_EQ(form.OrderCombo->count(), 2);
    EXPECT_EQ(dm().CatalogTable.indexFieldNames(), "") << "preselected, not applied";
    EXPECT_EQ(form.OrderCombo->toolTip(), "Alege ordinea de sortare");
    EXPECT_EQ(form.Label1->text(), "Sorteaza produsele finite dupa:");
    EXPECT_EQ(form.Label2->text(), "Cantitatea de produs finit");
    EXPECT_EQ(form.Label3->text(), "rezultata conform retetarului :");
    EXPECT_EQ(form.CantRetetaCBox->text(), "10");
    EXPECT_EQ(form.Cautlbl->text(), "");

    EXPECT_EQ(form.RetetaNavigator->button(NavigateButton::Insert)->toolTip(), "Adaugare");
    EXPECT_EQ(form.RetetaNavigator->button(NavigateButton::Refresh)->toolTip(), "Refresh");
    EXPECT_FALSE(form.RetetaNavigator->confirmDelete());
    EXPECT_EQ(form.NavigatorSource, &dm().CatalogSource) << "the products grid had the first focus";
    EXPECT_EQ(shownButtons(form.RetetaNavigator),
              (QStringList{"First", "Prior", "Next", "Last", "Refresh"}));

    EXPECT_EQ(form.RetetaPopup->items().size(), 3);
    EXPECT_TRUE(form.RetetaPopCopy->isEnabled());
    EXPECT_FALSE(form.RetetaPopPaste->isEnabled());
    EXPECT_FALSE(form.RetetaPopCancel->isEnabled());
    EXPECT_TRUE(form.CopySourceCode.isEmpty());
    EXPECT_TRUE(desktop.boxes.empty());
    ASSERT_FALSE(desktop.cursors.empty());
    EXPECT_EQ(desktop.cursors.back(), ui::Cursor::Default);
}

TEST_F(EditorWindow, TheNavigatorFollowsTheGridThatHadTheFocusLast) {
    TQDMRetetaForm& form = openEditor();
    QTest::mouseClick(
        form.KDMRetetaGrid->viewport(), Qt::LeftButton, {},
        form.KDMRetetaGrid->visualRect(form.KDMRetetaGrid->model()->index(0, 1)).center());
    settle();
    EXPECT_EQ(form.NavigatorSource, &dm().RetetaSource);
    EXPECT_EQ(form.RetetaNavigator->dataSource(), &dm().RetetaSource);
    EXPECT_EQ(shownButtons(form.RetetaNavigator).size(), 10);
    // Other controls leave it where it is.
    form.CantRetetaCBox->setFocus(Qt::TabFocusReason);
    settle();
    EXPECT_EQ(form.NavigatorSource, &dm().RetetaSource);
    form.KDMCatalogGrid->setFocus(Qt::TabFocusReason);
    settle();
    EXPECT_EQ(form.RetetaNavigator->dataSource(), &dm().CatalogSource);
    EXPECT_EQ(shownButtons(form.RetetaNavigator),
              (QStringList{"First", "Prior", "Next", "Last", "Refresh"}));
}

TEST_F(EditorWindow, ASecondCommandBringsTheSameEditorBackRestored) {
    TQDMRetetaForm& form = openEditor();
    QMdiSubWindow* other = mainWindow->mdiArea()->addSubWindow(new QWidget);
    other->show();
    form.mdiFrame()->showMinimized();
    mainWindow->mdiArea()->setActiveSubWindow(other);
    settle();
    ASSERT_TRUE(form.mdiFrame()->isMinimized());

    EXPECT_EQ(open(), &form);
    EXPECT_FALSE(form.mdiFrame()->isMinimized());
    EXPECT_EQ(mainWindow->mdiArea()->activeSubWindow(), form.mdiFrame());
    int editors = 0;
    for (QMdiSubWindow* window : mainWindow->mdiArea()->subWindowList())
        editors += dynamic_cast<TQDMRetetaForm*>(window->widget()) != nullptr;
    EXPECT_EQ(editors, 1);
}

TEST_F(EditorWindow, ACreationThatFailsShowsTheEngineErrorAndLeavesNoEditor) {
    connectTo(dir.sub(QStringLiteral("fara_tabele")));
    EXPECT_EQ(open(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Error);
    EXPECT_TRUE(desktop.boxes[0].text.startsWith("Eroare de acces la baza de date!\r<"))
        << desktop.boxes[0].text.toStdString();
    EXPECT_TRUE(desktop.boxes[0].text.endsWith("> !"));
    EXPECT_TRUE(mainWindow->mdiArea()->subWindowList().isEmpty()) << "the window was discarded";
    EXPECT_FALSE(dm().CatalogTable.isActive());
    EXPECT_EQ(desktop.cursors.back(), ui::Cursor::Default);

    // Once the company is there, the command opens an editor.
    connectTo(companyDir);
    EXPECT_NE(open(), nullptr);
}

TEST_F(EditorWindow, ClosingDiscardsTheWindowAndClosesTheTables) {
    TQDMRetetaForm& form = openEditor();
    QPointer<TQDMRetetaForm> watch(&form);
    closeEditor(form);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(QDMRetetaForm, nullptr);
    EXPECT_TRUE(watch.isNull());
    EXPECT_FALSE(dm().CatalogTable.isActive() || dm().CatalogTable2.isActive() ||
                 dm().RetetaTable.isActive());
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(desktop.cursors.back(), ui::Cursor::Default);
    EXPECT_NE(open(), nullptr) << "and can be opened again";
}

TEST_F(EditorWindow, ClosingWithAnIncompleteLineWarnsAndStaysOpen) {
    TQDMRetetaForm& form = openEditor();
    selectProduct("P004");
    form.KDMRetetaGrid->setFocus(Qt::TabFocusReason);
    settle();
    press(Qt::Key_Insert);
    type("MAT");
    press(Qt::Key_Tab);
    type("M100");
    press(Qt::Key_Tab); // the quantity stays empty
    ASSERT_EQ(dm().RetetaTable.state(), db::DataSetState::Insert);
    closeEditor(form);
    EXPECT_EQ(boxTexts(), QStringList{"Completati toate datele articolului!"});
    EXPECT_EQ(QDMRetetaForm, &form) << "the editor stays open";
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(dm().RetetaTable.state(), db::DataSetState::Insert)
        << "the line stays in edit for correction";
    EXPECT_EQ(desktop.cursors.back(), ui::Cursor::Default);
    EXPECT_EQ(storedRecipeLines("P004"), 0);

    // Completed, it is stored and the editor closes.
    type("2,5");
    closeEditor(form);
    EXPECT_EQ(QDMRetetaForm, nullptr);
    EXPECT_EQ(storedRecipeLines("P004"), 1);
}

// A batch quantity typed into the box is stored when the editor closes, whether the box still
// has the focus or was left.
struct TypedQuantity {
    const char* name;
    bool leaveTheBox;
};

void PrintTo(const TypedQuantity& q, std::ostream* os) {
    *os << q.name;
}

class ClosingWithATypedBatchQuantity : public EditorWindow,
                                       public ::testing::WithParamInterface<TypedQuantity> {};

TEST_P(ClosingWithATypedBatchQuantity, StoresIt) {
    TQDMRetetaForm& form = openEditor();
    selectProduct("P004");
    form.CantRetetaCBox->setFocus(Qt::TabFocusReason);
    settle();
    type("7");
    if (GetParam().leaveTheBox) {
        form.KDMCatalogGrid->setFocus(Qt::TabFocusReason);
        settle();
    }
    EXPECT_EQ(currentProduct(), "P004") << "typing a quantity does not move the products";
    closeEditor(form);
    EXPECT_EQ(QDMRetetaForm, nullptr);
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(stored("CATALOG.DB", "Cod", {"P004"}, "CantReteta"), QVariant(7.0));
    EXPECT_EQ(stored("CATALOG.DB", "Cod", {"P003"}, "CantReteta"), QVariant(2.0));
}

INSTANTIATE_TEST_SUITE_P(Box, ClosingWithATypedBatchQuantity,
                         ::testing::Values(TypedQuantity{"StillFocused", false},
                                           TypedQuantity{"Left", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorWindow, ClosingWithAZeroBatchQuantityWarnsAndStaysOpen) {
    TQDMRetetaForm& form = openEditor();
    selectProduct("P003");
    form.CantRetetaCBox->setFocus(Qt::TabFocusReason);
    settle();
    form.CantRetetaCBox->selectAll();
    type("0");
    closeEditor(form);
    EXPECT_EQ(
        boxTexts(),
        QStringList{"Atentie campul cantitate nu poate fi gol sau 0! Scrieti cantitatea corecta!"});
    EXPECT_EQ(QDMRetetaForm, &form);
    EXPECT_TRUE(form.CantRetetaCBox->hasFocus());
    EXPECT_EQ(stored("CATALOG.DB", "Cod", {"P003"}, "CantReteta"), QVariant(2.0))
        << "nothing was written";
}

TEST_F(EditorWindow, AnEditOfTheBoxAbandonedWithEscapeDoesNotHoldTheClosing) {
    TQDMRetetaForm& form = openEditor();
    selectProduct("P004"); // no batch quantity
    form.CantRetetaCBox->setFocus(Qt::TabFocusReason);
    settle();
    type("3");
    press(Qt::Key_Escape);
    closeEditor(form);
    EXPECT_EQ(QDMRetetaForm, nullptr);
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(stored("CATALOG.DB", "Cod", {"P004"}, "CantReteta"), QVariant());
}

} // namespace
