#pragma once
// A company on disk whose catalog the alias MAGNIS points at, a caller's window, and the catalog
// selection run with a test acting on the window while it is shown modally. The current
// directory and the user's private directory (where "catlook.cfg" goes) are the test's own.
//
// The catalog: classes MAT (groups FAI with five articles, AMB with none) and PF (group PAI with
// two articles); currencies EUR and USD. AMB comes before FAI, so the catalog opens on AMB.
#include "catalog/cat_lookup_form.h"
#include "catalog/select_catalog_article.h"
#include "common/module_values.h"
#include "controls/db_grid_inplace_edit.h"
#include "controls/db_grid_normal.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/ui/button.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/edit.h"
#include "platform/ui/speed_button.h"
#include "tests/platform/ui/recording_desktop.h"
#include "tests/support/company_builder.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace catalogtest {

// Lets posted work (caret placement, repaints) happen.
inline void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
    settle();
}
inline void type(const QString& text) {
    QTest::keyClicks(QApplication::focusWidget(), text);
    settle();
}
// The centre of a cell of a grid's row of records shown (0 the first) and column.
inline QPoint cell(TDBGridNormal* grid, int row, int column) {
    return grid->visualRect(grid->model()->index(row, column)).center();
}
// A double click as a mouse makes it: the first click, then the double click.
inline void doubleClick(TDBGridNormal* grid, int row, int column = 0) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell(grid, row, column));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell(grid, row, column));
    settle();
}
inline void click(TDBGridNormal* grid, int row, int column = 0) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell(grid, row, column));
    settle();
}

struct Selection {
    bool accepted = false;
    QString group;
    QString article;
};

class CatalogTest : public testsupport::UiTest {
protected:
    testsupport::TempDir dir;
    QString companyDir = dir.sub(QStringLiteral("firma"));
    QString workDir = dir.sub(QStringLiteral("lucru"));
    QString privateDir = dir.path() + QStringLiteral("/privat"); // made by the window
    std::unique_ptr<testsupport::CompanyBuilder> company;
    QString savedDirectory;
    QWidget caller;

    void SetUp() override {
        UiTest::SetUp();
        company = std::make_unique<testsupport::CompanyBuilder>(companyDir);
        db::Session::instance().addAlias(QStringLiteral("MAGNIS"), companyDir);
        db::Session::instance().addAlias(QStringLiteral("KRV_PRIV"), privateDir);
        savedDirectory = QDir::currentPath();
        QDir::setCurrent(workDir);
    }
    void TearDown() override {
        QDir::setCurrent(savedDirectory);
        db::Session::instance().findDatabase(QStringLiteral("MAGNIS")).close();
        db::Session::instance().removeAlias(QStringLiteral("MAGNIS"));
        db::Session::instance().removeAlias(QStringLiteral("KRV_PRIV"));
        company.reset();
        UiTest::TearDown();
    }

    // Rows written through a table of the test's own.
    static void insert(const QString& table, const QList<QPair<QString, QVariant>>& values) {
        db::Table t;
        t.setDatabaseName(QStringLiteral("MAGNIS"));
        t.setTableName(table);
        t.open();
        t.append();
        for (const auto& [field, value] : values)
            t.fieldByName(field)->setValue(value);
        t.post();
    }
    static void addClass(const QString& code, const QString& name) {
        insert(QStringLiteral("Materiale.db"), {{"Cod_material", code}, {"Denumire", name}});
    }
    static void addGroup(const QString& cls, const QString& code, const QString& name) {
        insert(QStringLiteral("Grup.DB"),
               {{"Cod_material", cls}, {"Cod_grupa", code}, {"Denumire", name}});
    }
    static void addArticle(const QString& group, const QString& code, const QString& name,
                           const QString& description = QString()) {
        insert(QStringLiteral("CATALOG.DB"), {{"Grupa", group},
                                              {"Cod", code},
                                              {"Denumire", name},
                                              {"Descriere", description},
                                              {"Unitate_masura", QStringLiteral("kg")},
                                              {"Cont_cheltuieli", QStringLiteral("601")}});
    }
    static void addCurrency(const QString& code) {
        insert(QStringLiteral("VALUTA.DB"), {{"Cod_valuta", code}, {"Denumire", code}});
    }

    void buildCatalog() {
        addClass(QStringLiteral("MAT"), QStringLiteral("Materii prime"));
        addClass(QStringLiteral("PF"), QStringLiteral("Produse finite"));
        addGroup(QStringLiteral("MAT"), QStringLiteral("FAI"), QStringLiteral("Faina si drojdie"));
        addGroup(QStringLiteral("MAT"), QStringLiteral("AMB"), QStringLiteral("Ambalaje"));
        addGroup(QStringLiteral("PF"), QStringLiteral("PAI"), QStringLiteral("Paine"));
        addArticle("FAI", "M100", "Faina alba", "tip 000");
        addArticle("FAI", "M200", "Drojdie", "proaspata");
        addArticle("FAI", "M300", "Apa", "potabila");
        addArticle("FAI", "M400", "Sare", "iodata");
        addArticle("FAI", "M500", "Zahar", "alb");
        addArticle("PAI", "P100", "Paine alba", "feliata");
        addArticle("PAI", "P200", "Chifla", "simpla");
        addCurrency(QStringLiteral("EUR"));
        addCurrency(QStringLiteral("USD"));
    }

    // A stored article's field, read through a table of the test's own; empty when absent.
    static QString stored(const QString& group, const QString& code, const QString& field) {
        db::Table t;
        t.setDatabaseName(QStringLiteral("MAGNIS"));
        t.setTableName(QStringLiteral("CATALOG.DB"));
        t.open();
        return t.findKey({group, code}) ? t.fieldByName(field)->asString() : QString();
    }
    static QStringList storedCodes(const QString& group) {
        db::Table t;
        t.setDatabaseName(QStringLiteral("MAGNIS"));
        t.setTableName(QStringLiteral("CATALOG.DB"));
        t.open();
        QStringList codes;
        for (t.first(); !t.eof(); t.next())
            if (t.fieldByName(QStringLiteral("Grupa"))->asString() == group)
                codes << t.fieldByName(QStringLiteral("Cod"))->asString();
        return codes;
    }

    // Runs the selection from the caller's window with group and article, acting on the window
    // once it is shown. A window the action leaves open is cancelled after a while, so that a
    // failed test does not hang.
    Selection select(const QString& group, const QString& article,
                     const std::function<void(TCatLookupForm&)>& act) {
        Selection s{false, group, article};
        bool acted = false;
        QTimer::singleShot(0, [&] {
            TCatLookupForm* form = CatLookupForm;
            ASSERT_NE(form, nullptr);
            form->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(form));
            settle();
            QTimer::singleShot(3000, form, [form] { form->setModalResult(ui::mrCancel); });
            act(*form);
            acted = true;
        });
        s.accepted = SelectCatalogArticle(&caller, s.group, s.article);
        EXPECT_TRUE(acted);
        EXPECT_EQ(CatLookupForm, nullptr) << "the window clears its reference when discarded";
        return s;
    }

    QStringList shownBoxes() const {
        QStringList texts;
        for (const testsupport::ShownBox& box : desktop.boxes)
            texts << box.text;
        return texts;
    }
};

} // namespace catalogtest
