// Browsing the catalog: the order list, the search box, the space bar, marking a group's
// articles, and the layout file written at every close.
#include "catalog_fixture.h"

#include "component_reader.h"

#include <QFile>

namespace catalogtest {
namespace {

class Browsing : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        buildCatalog();
    }
    // The codes of the article list, in its order, read through the window's own dataset.
    static QStringList listed(TCatLookupForm& form) {
        QStringList codes;
        const db::Bookmark here = form.Catalog.bookmark();
        for (form.Catalog.first(); !form.Catalog.eof(); form.Catalog.next())
            codes << form.CatalogCod->asString();
        form.Catalog.gotoBookmark(here);
        return codes;
    }
};

struct Search {
    const char* name;
    int order;         // item of the order list
    const char* text;  // typed in the search box
    const char* lands; // the article it lands on
    const char* first; // the first article of the list in that order
};
// Named in test lists and failure reports by its name.
void PrintTo(const Search& p, std::ostream* os) {
    *os << p.name;
}

class Searching : public Browsing, public ::testing::WithParamInterface<Search> {};

TEST_P(Searching, LandsOnTheFirstArticleAtOrAfterTheTextWithinTheGroup) {
    const Search& s = GetParam();
    select(QStringLiteral("FAI"), QStringLiteral("M400"), [&](TCatLookupForm& form) {
        QTest::keyClick(&form, Qt::Key_D, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), form.IndexComboBox)
            << "Alt+D focuses the order list";
        for (int i = 0; i < s.order; ++i)
            press(Qt::Key_Down);
        EXPECT_EQ(form.Catalog.indexFieldNames(), form.IndexComboBox->itemIndex() == 0 ? "Grupa;Cod"
                                                  : form.IndexComboBox->itemIndex() == 1
                                                      ? "Grupa;Denumire"
                                                      : "Grupa;Descriere");
        EXPECT_EQ(form.currentArticleCode(), "M400") << "reordering stays on the article";
        const QStringList codes = listed(form);
        EXPECT_EQ(codes.size(), 5) << "the list keeps showing the current group only";
        EXPECT_EQ(codes.value(0), s.first);

        QTest::keyClick(&form, Qt::Key_C, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), form.SearchEdit) << "Alt+C focuses the search box";
        type(QString::fromLatin1(s.text));
        EXPECT_EQ(form.currentArticleCode(), s.lands);
        EXPECT_EQ(form.currentGroupCode(), "FAI");
        form.SearchEdit->selectAll();
        press(Qt::Key_Backspace);
        EXPECT_EQ(form.SearchEdit->text(), "");
        EXPECT_EQ(form.currentArticleCode(), s.lands) << "clearing the box does not move";
        form.ButtonCancel->click();
    });
}

// FAI holds M100 "Faina alba" (tip 000), M200 "Drojdie" (proaspata), M300 "Apa" (potabila),
// M400 "Sare" (iodata), M500 "Zahar" (alb).
INSTANTIATE_TEST_SUITE_P(Catalog, Searching,
                         ::testing::Values(Search{"ByCode", 0, "M3", "M300", "M100"},
                                           Search{"ByCodeBetweenTwo", 0, "M21", "M300", "M100"},
                                           Search{"ByName", 1, "E", "M100", "M300"},
                                           Search{"ByNameExact", 1, "Sare", "M400", "M300"},
                                           Search{"ByDescription", 2, "pr", "M200", "M500"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Browsing, TheSpaceBarStepsDownOutsideEditModeAndTypesInsideIt) {
    select(QStringLiteral("FAI"), QStringLiteral("M100"), [&](TCatLookupForm& form) {
        press(Qt::Key_Space);
        EXPECT_EQ(form.currentArticleCode(), "M200");
        press(Qt::Key_Space);
        EXPECT_EQ(form.currentArticleCode(), "M300");
        EXPECT_EQ(form.CatGrid->selectedRecords().count(), 0) << "no marks without multi-selection";

        form.EditBtn->click();
        settle();
        click(form.CatGrid, 2, 1);
        type(QStringLiteral(" x"));
        EXPECT_EQ(form.currentArticleCode(), "M300");
        ASSERT_NE(form.CatGrid->inplaceEditor(), nullptr);
        EXPECT_EQ(form.CatGrid->inplaceEditor()->text(), "Apa x");
        press(Qt::Key_Escape);
        press(Qt::Key_Escape);
        form.ButtonCancel->click();
    });
    EXPECT_EQ(stored("FAI", "M300", "Denumire"), "Apa");
}

TEST_F(Browsing, AGroupDoubleClickOrSpaceReversesTheMarksOfItsArticles) {
    select(QStringLiteral("FAI"), QStringLiteral("M300"), [&](TCatLookupForm& form) {
        const int groupRow = form.GroupGrid->row(); // FAI
        doubleClick(form.GroupGrid, groupRow);
        EXPECT_EQ(form.currentGroupCode(), "FAI");
        EXPECT_EQ(form.CatGrid->selectedRecords().count(), 5);
        EXPECT_EQ(form.currentArticleCode(), "M100") << "back on the first article";
        EXPECT_FALSE(form.Catalog.controlsDisabled());
        ASSERT_GE(desktop.cursors.size(), 2u);
        EXPECT_EQ(desktop.cursors.front(), ui::Cursor::HourGlass);
        EXPECT_EQ(desktop.cursors.back(), ui::Cursor::Default);

        // One article unmarked by hand is marked again, the others unmarked.
        form.CatGrid->selectedRecords().setCurrentRecordSelected(false);
        form.GroupGrid->setFocus();
        press(Qt::Key_Space);
        EXPECT_EQ(form.CatGrid->selectedRecords().count(), 1);
        EXPECT_TRUE(form.CatGrid->selectedRecords().currentRecordSelected());
        EXPECT_EQ(form.currentGroupCode(), "FAI") << "the space bar does not move the group list";

        form.EditBtn->click();
        settle();
        form.GroupGrid->setFocus();
        press(Qt::Key_Space);
        EXPECT_EQ(form.CatGrid->selectedRecords().count(), 1) << "not in edit mode";
        form.ButtonCancel->click();
    });
}

TEST_F(Browsing, EachCloseRewritesTheLayoutFileWithTheTwoGridsColumns) {
    {
        ASSERT_TRUE(QDir().mkpath(privateDir));
        QFile old(privateDir + QStringLiteral("/catlook.cfg"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(20000, 'z'));
    }
    auto read = [&] {
        QFile file(privateDir + QStringLiteral("/catlook.cfg"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    };
    select(QString(), QString(), [](TCatLookupForm& form) { form.ButtonCancel->click(); });
    const QByteArray first = read();
    testsupport::ComponentReader reader(first);
    const ui::ComponentRecord groups = reader.readRecord();
    const ui::ComponentRecord articles = reader.readRecord();
    EXPECT_TRUE(reader.atEnd()) << "exactly two records, nothing of the old file";
    auto fieldNames = [](const ui::ComponentRecord& record) {
        QStringList names;
        EXPECT_EQ(record.className, "TObjectWrapper");
        EXPECT_EQ(record.properties.front().name, "WrappedPersistent");
        const auto* columns =
            std::get_if<ui::CollectionValue>(&record.properties.front().value.value);
        if (columns)
            for (const ui::StoredProperties& item : columns->items)
                for (const ui::StoredProperty& p : item)
                    if (p.name == "FieldName")
                        names << std::get<QString>(p.value.value);
        return names;
    };
    EXPECT_EQ(fieldNames(groups), (QStringList{"Cod_grupa", "Denumire"}));
    EXPECT_EQ(groups.properties.back(), (ui::StoredProperty{"CurrentClassName", "0"}));
    EXPECT_EQ(fieldNames(articles),
              (QStringList{"Cod", "Denumire", "Descriere", "Unitate_masura", "Cont_cheltuieli"}));
    EXPECT_EQ(articles.properties.back(), (ui::StoredProperty{"CurrentClassName", "1"}));

    select(QStringLiteral("FAI"), QStringLiteral("M100"),
           [](TCatLookupForm& form) { form.ButtonOK->click(); });
    EXPECT_EQ(read(), first) << "an accepted selection writes the same layouts again";
}

// Started from a directory the user cannot write, the window would fail at every close; started
// from anywhere else it would leave its file there.
TEST_F(Browsing, TheLayoutFileGoesToThePrivateDirectoryAndNothingToTheCurrentOne) {
    ASSERT_FALSE(QDir(privateDir).exists());
    select(QString(), QString(), [](TCatLookupForm& form) { form.ButtonCancel->click(); });
    EXPECT_TRUE(QFile::exists(privateDir + QStringLiteral("/catlook.cfg")));
    EXPECT_TRUE(QDir(workDir).isEmpty()) << "nothing in the directory the program started from";
    EXPECT_TRUE(desktop.boxes.empty());
}

} // namespace
} // namespace catalogtest
