// Edit mode: adding and correcting articles with the catalog's defaults and checks, and choosing
// while editing.
#include "catalog_fixture.h"

#include "platform/base/errors.h"

namespace catalogtest {
namespace {

const QString kAccountMessage =
    QStringLiteral("Introduceti simbolul contului în format 999(9).99(9).99(9) !");
const QString kCodeAndNameMessage = QStringLiteral("Introduceti atît codul si denumirea!");

class Editing : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        buildCatalog();
    }
    static void enterEditMode(TCatLookupForm& form) {
        QTest::keyClick(&form, Qt::Key_E, Qt::AltModifier);
        // A mnemonic presses the button visibly, which takes a moment.
        ASSERT_TRUE(QTest::qWaitFor([&] { return form.editMode(); }, 2000))
            << "Alt+E enters edit mode";
        QTest::qWait(200);
        settle();
    }
};

TEST_F(Editing, EditModeDisablesOkButADoubleClickStillChooses) {
    const Selection s =
        select(QStringLiteral("FAI"), QStringLiteral("M100"), [&](TCatLookupForm& form) {
            EXPECT_TRUE(form.ButtonOK->isEnabled());
            EXPECT_FALSE(form.EditBtn->isChecked());
            EXPECT_TRUE(form.CatGrid->readOnly());
            enterEditMode(form);
            EXPECT_FALSE(form.ButtonOK->isEnabled());
            EXPECT_TRUE(form.EditBtn->isChecked());
            EXPECT_FALSE(form.CatGrid->readOnly());
            EXPECT_FALSE(form.CatGrid->options().testFlag(dgRowSelect));
            EXPECT_TRUE(form.CatGrid->options().testFlag(dgAlwaysShowEditor));
            EXPECT_EQ(QApplication::focusWidget()->window(), &form);
            press(Qt::Key_Return);
            EXPECT_TRUE(form.isVisible()) << "Enter moves to the next cell in edit mode";
            EXPECT_EQ(form.CatGrid->selectedIndex(), 1);

            form.EditBtn->click();
            settle();
            EXPECT_TRUE(form.ButtonOK->isEnabled());
            EXPECT_FALSE(form.EditBtn->isChecked());
            EXPECT_TRUE(form.CatGrid->readOnly());
            EXPECT_TRUE(form.CatGrid->options().testFlag(dgRowSelect));

            enterEditMode(form);
            doubleClick(form.CatGrid, 2, 1);
        });
    EXPECT_TRUE(s.accepted);
    EXPECT_EQ(s.article, "M300");
}

TEST_F(Editing, ANewArticleGetsTheDefaultsAndIsStoredInTheCurrentGroup) {
    const Selection s = select(QStringLiteral("PAI"), QString(), [&](TCatLookupForm& form) {
        enterEditMode(form);
        press(Qt::Key_Insert);
        ASSERT_EQ(form.Catalog.state(), db::DataSetState::Insert);
        EXPECT_EQ(form.CatGrid->currentField(), form.CatalogCod) << "the cursor is on the code";
        EXPECT_EQ(form.CatContMf->asString(), "371");
        EXPECT_EQ(form.CatContChel->asString(), "607");
        EXPECT_EQ(form.CatContTVA_I->asString(), "4426");
        EXPECT_EQ(form.CatContTVA_E->asString(), "4427");
        EXPECT_EQ(form.CatalogCoef_TVA->asFloat(), 19);
        EXPECT_EQ(form.CatalogCont_venituri->asString(), "707");
        EXPECT_EQ(form.CatalogCont_adaos->asString(), "378");
        EXPECT_EQ(form.CatalogCont_accize->asString(), "446");
        EXPECT_EQ(form.CatalogGrupa->asString(), "PAI");
        type(QStringLiteral("P050"));
        press(Qt::Key_Return);
        type(QStringLiteral("Covrig"));
        // A double click chooses the article being typed once it is stored.
        doubleClick(form.CatGrid, form.CatGrid->row(), 1);
    });
    EXPECT_TRUE(s.accepted);
    EXPECT_EQ(s.group, "PAI");
    EXPECT_EQ(s.article, "P050");
    EXPECT_EQ(stored("PAI", "P050", "Denumire"), "Covrig");
    EXPECT_EQ(stored("PAI", "P050", "Cont_marfa"), "371");
    EXPECT_EQ(stored("PAI", "P050", "Cont_cheltuieli"), "607");
    EXPECT_EQ(stored("PAI", "P050", "Coef_TVA"), "19");
    EXPECT_EQ(stored("PAI", "P050", "Cont_accize"), "446");
    EXPECT_TRUE(desktop.boxes.empty());
}

struct Refusal {
    const char* name;
    const char* code; // typed in the code cell of a new article
    const char* denumire;
};
// Named in test lists and failure reports by its name.
void PrintTo(const Refusal& p, std::ostream* os) {
    *os << p.name;
}

class RefusedPost : public Editing, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedPost, WarnsAndStaysInEditModeOnTheRecord) {
    const Refusal& r = GetParam();
    select(QStringLiteral("FAI"), QString(), [&](TCatLookupForm& form) {
        enterEditMode(form);
        press(Qt::Key_Insert);
        type(QString::fromLatin1(r.code));
        press(Qt::Key_Return);
        type(QString::fromLatin1(r.denumire));
        form.EditBtn->click(); // leaving edit mode posts the new article
        settle();
        EXPECT_EQ(shownBoxes(), QStringList{kCodeAndNameMessage});
        EXPECT_EQ(desktop.boxes.at(0).kind, ui::MessageKind::Warning);
        EXPECT_EQ(form.Catalog.state(), db::DataSetState::Insert) << "the record stays in edit";
        EXPECT_TRUE(form.editMode());
        EXPECT_TRUE(form.EditBtn->isChecked());
        EXPECT_FALSE(form.ButtonOK->isEnabled());
        doubleClick(form.CatGrid, form.CatGrid->row(), 1);
        EXPECT_TRUE(form.isVisible()) << "a refused article cannot be chosen";
        press(Qt::Key_Escape);
        press(Qt::Key_Escape);
        form.ButtonCancel->click();
    });
    EXPECT_EQ(storedCodes("FAI"), (QStringList{"M100", "M200", "M300", "M400", "M500"}));
}

INSTANTIATE_TEST_SUITE_P(Catalog, RefusedPost,
                         ::testing::Values(Refusal{"MissingCode", "", "Covrig"},
                                           Refusal{"MissingName", "M600", ""},
                                           Refusal{"BlankCode", "   ", "Covrig"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct AccountEdit {
    const char* name;
    const char* typed; // typed after "601" in the Cont cheltuieli cell
    bool accepted;
};
// Named in test lists and failure reports by its name.
void PrintTo(const AccountEdit& p, std::ostream* os) {
    *os << p.name;
}

class AccountCell : public Editing, public ::testing::WithParamInterface<AccountEdit> {};

TEST_P(AccountCell, TakesAtMostThreeSegmentsWithinTheirLimits) {
    const AccountEdit& a = GetParam();
    const QString wanted = QStringLiteral("601") + QString::fromLatin1(a.typed);
    select(QStringLiteral("FAI"), QStringLiteral("M100"), [&](TCatLookupForm& form) {
        enterEditMode(form);
        click(form.CatGrid, 0, 4);
        EXPECT_EQ(form.CatGrid->currentField(), form.CatContChel);
        type(QString::fromLatin1(a.typed));
        press(
            Qt::Key_Return); // writes the cell; from the last column it goes on to the next article
        if (a.accepted) {
            EXPECT_TRUE(desktop.boxes.empty());
            EXPECT_EQ(form.currentArticleCode(), "M200");
        } else {
            EXPECT_EQ(shownBoxes(), QStringList{kAccountMessage});
            EXPECT_EQ(form.CatContChel->asString(), "601") << "the field keeps its value";
            EXPECT_EQ(form.CatGrid->currentField(), form.CatContChel) << "the cursor stays";
            press(Qt::Key_Escape);
            press(Qt::Key_Escape);
        }
        settle();
        form.ButtonCancel->click();
    });
    EXPECT_EQ(stored("FAI", "M100", "Cont_cheltuieli"),
              a.accepted ? wanted : QStringLiteral("601"));
}

INSTANTIATE_TEST_SUITE_P(Catalog, AccountCell,
                         ::testing::Values(AccountEdit{"TwoDots", ".01.2", true},
                                           AccountEdit{"ThreeDots", ".1.2.3", false},
                                           AccountEdit{"FirstSegmentOfTen", "4567890", true},
                                           AccountEdit{"FirstSegmentOfEleven", "45678901", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Editing, ACurrencyMustBeInTheCurrencyCatalog) {
    select(QStringLiteral("FAI"), QStringLiteral("M200"), [&](TCatLookupForm& form) {
        enterEditMode(form);
        form.Catalog.edit();
        EXPECT_THROW(form.CatalogMoneda->setAsString(QStringLiteral("XYZ")), base::Abort);
        EXPECT_EQ(shownBoxes(),
                  QStringList{QStringLiteral("<XYZ> nu exista în catalogul de valute!")});
        EXPECT_EQ(form.CatalogMoneda->asString(), "");
        form.CatalogMoneda->setAsString(QStringLiteral("USD"));
        EXPECT_NO_THROW(form.CatalogMoneda->setAsString(QString())) << "no currency is allowed";
        form.CatalogMoneda->setAsString(QStringLiteral("EUR"));
        form.EditBtn->click();
        settle();
        form.ButtonCancel->click();
    });
    EXPECT_EQ(stored("FAI", "M200", "Moneda"), "EUR");
    EXPECT_EQ(desktop.boxes.size(), 1u);
}

TEST_F(CatalogTest, AFirstClassWithoutGroupsOpensInEditMode) {
    buildCatalog();
    addClass(QStringLiteral("AAA"), QStringLiteral("Clasa noua"));
    select(QString(), QString(), [&](TCatLookupForm& form) {
        EXPECT_EQ(shownBoxes(), QStringList{QStringLiteral("Adaugati articole în catalog!")});
        EXPECT_EQ(desktop.boxes.at(0).kind, ui::MessageKind::Warning);
        EXPECT_TRUE(form.editMode());
        EXPECT_FALSE(form.ButtonOK->isEnabled());
        EXPECT_TRUE(form.EditBtn->isChecked());
        EXPECT_FALSE(form.CatGrid->readOnly());
        form.ButtonCancel->click();
    });
}

} // namespace
} // namespace catalogtest
