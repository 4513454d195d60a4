// The selection as its callers see it: how the window is left, what comes back, where it opens,
// and the failures that end it without a result.
#include "catalog_fixture.h"

#include "platform/base/errors.h"
#include "platform/ui/dispatch.h"

#include <QFile>

namespace catalogtest {
namespace {

using Act = std::function<void(TCatLookupForm&)>;

struct WayOut {
    const char* name;
    Act act;
};
// Named in test lists and failure reports by its name.
void PrintTo(const WayOut& p, std::ostream* os) {
    *os << p.name;
}

class Selecting : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        buildCatalog();
    }
};

class Cancelling : public Selecting, public ::testing::WithParamInterface<WayOut> {};

TEST_P(Cancelling, ReturnsFalseWithBothCodesUnchanged) {
    const Selection s =
        select(QStringLiteral("FAI"), QStringLiteral("M300"), [](TCatLookupForm& form) {
            click(form.CatGrid, 3); // another article becomes current first
            GetParam().act(form);
        });
    EXPECT_FALSE(s.accepted);
    EXPECT_EQ(s.group, "FAI");
    EXPECT_EQ(s.article, "M300");
}

INSTANTIATE_TEST_SUITE_P(
    Catalog, Cancelling,
    ::testing::Values(WayOut{"RenuntaButton",
                             [](TCatLookupForm& f) {
                                 QTest::mouseClick(f.ButtonCancel, Qt::LeftButton);
                             }},
                      WayOut{"EscapeKey", [](TCatLookupForm&) { press(Qt::Key_Escape); }},
                      WayOut{"CloseBox", [](TCatLookupForm& f) { f.close(); }}),
    [](const auto& info) { return std::string(info.param.name); });

class Accepting : public Selecting, public ::testing::WithParamInterface<WayOut> {};

TEST_P(Accepting, ReturnsTheCurrentGroupAndArticle) {
    const Selection s =
        select(QStringLiteral("FAI"), QStringLiteral("M100"), [](TCatLookupForm& form) {
            click(form.CatGrid, 1);
            EXPECT_EQ(form.currentArticleCode(), "M200");
            GetParam().act(form);
        });
    EXPECT_TRUE(s.accepted);
    EXPECT_EQ(s.group, "FAI");
    EXPECT_EQ(s.article, "M200");
}

INSTANTIATE_TEST_SUITE_P(
    Catalog, Accepting,
    ::testing::Values(WayOut{"OkButton",
                             [](TCatLookupForm& f) {
                                 QTest::mouseClick(f.ButtonOK, Qt::LeftButton);
                             }},
                      WayOut{"EnterKey", [](TCatLookupForm&) { press(Qt::Key_Return); }},
                      WayOut{"DoubleClick", [](TCatLookupForm& f) { doubleClick(f.CatGrid, 1); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Selecting, AcceptingOnAGroupWithoutArticlesGivesAnEmptyArticleCode) {
    const Selection s =
        select(QStringLiteral("AMB"), QStringLiteral("M100"), [](TCatLookupForm& form) {
            EXPECT_EQ(form.currentGroupCode(), "AMB");
            EXPECT_EQ(form.CatGrid->rowCount(), 0);
            form.ButtonOK->click();
        });
    EXPECT_TRUE(s.accepted);
    EXPECT_EQ(s.group, "AMB");
    EXPECT_EQ(s.article, "");
}

struct Opening {
    const char* name;
    const char* group;
    const char* article;
    const char* cls;       // where the class list stands
    const char* atGroup;   // the group list
    const char* atArticle; // the article list
};
// Named in test lists and failure reports by its name.
void PrintTo(const Opening& p, std::ostream* os) {
    *os << p.name;
}

class OpeningOn : public Selecting, public ::testing::WithParamInterface<Opening> {};

TEST_P(OpeningOn, PutsTheListsOnTheCallersLine) {
    const Opening& o = GetParam();
    const Selection s = select(
        QString::fromLatin1(o.group), QString::fromLatin1(o.article), [&](TCatLookupForm& form) {
            EXPECT_EQ(form.TMateriale.fieldByName("Cod_material")->asString(), o.cls);
            EXPECT_EQ(form.currentGroupCode(), o.atGroup);
            EXPECT_EQ(form.currentArticleCode(), o.atArticle);
            EXPECT_EQ(form.IndexComboBox->currentText(), "dupa Cod");
            EXPECT_EQ(QApplication::focusWidget(), form.CatGrid)
                << "the article list has the focus first";
            press(Qt::Key_Return);
        });
    EXPECT_TRUE(s.accepted);
    EXPECT_EQ(s.group, o.atGroup);
    EXPECT_EQ(s.article, o.atArticle);
}

INSTANTIATE_TEST_SUITE_P(
    Catalog, OpeningOn,
    ::testing::Values(Opening{"ArticleOfTheFirstGroup", "FAI", "M400", "MAT", "FAI", "M400"},
                      Opening{"ArticleOfAnotherClass", "PAI", "P200", "PF", "PAI", "P200"},
                      Opening{"UnknownArticleOfAGroup", "PAI", "X1", "PF", "PAI", "P100"},
                      Opening{"UnknownGroup", "NUI", "P200", "MAT", "AMB", ""},
                      Opening{"NoGroup", "", "", "MAT", "AMB", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CatalogTest, TablesThatCannotBeOpenedEndTheSelectionWithTheirError) {
    // A company without the catalog's tables.
    db::Session::instance().findDatabase(QStringLiteral("MAGNIS")).close();
    db::Session::instance().addAlias(QStringLiteral("MAGNIS"), dir.sub(QStringLiteral("goala")));
    QString group = QStringLiteral("FAI"), article = QStringLiteral("M100");
    bool returned = false;
    EXPECT_THROW(returned = SelectCatalogArticle(&caller, group, article), base::Abort);
    EXPECT_FALSE(returned);
    EXPECT_EQ(group, "FAI");
    EXPECT_EQ(article, "M100");
    EXPECT_EQ(CatLookupForm, nullptr);
    EXPECT_TRUE(caller.findChildren<TCatLookupForm*>().isEmpty()) << "the window is discarded";
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Error);
    EXPECT_TRUE(desktop.boxes[0].text.startsWith(
        QStringLiteral("Eroare de acces la catalogul de articole!\r")))
        << desktop.boxes[0].text.toStdString();
    EXPECT_TRUE(desktop.boxes[0].text.contains(QStringLiteral("Materiale.db")));
    EXPECT_TRUE(desktop.boxes[0].text.endsWith(QStringLiteral(">")));
}

TEST_F(Selecting, ALayoutFileThatCanBeNeitherOpenedNorCreatedReachesTheCallerAsAMessage) {
    ASSERT_TRUE(
        QDir().mkpath(privateDir + QStringLiteral("/catlook.cfg"))); // a directory in its place
    QString group = QStringLiteral("FAI"), article = QStringLiteral("M100");
    // The caller's key handler, as the recipe editor and the requirement sheet run it.
    const bool completed = ui::guarded([&] { SelectCatalogArticle(&caller, group, article); });
    EXPECT_FALSE(completed);
    EXPECT_EQ(group, "FAI");
    EXPECT_EQ(article, "M100");
    EXPECT_EQ(CatLookupForm, nullptr);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Error);
    EXPECT_TRUE(desktop.boxes[0].text.contains(QStringLiteral("catlook.cfg")))
        << desktop.boxes[0].text.toStdString();
}

} // namespace
} // namespace catalogtest
