#pragma once
// A bakery company on disk, the host's main window with its MDI area, the menu-carrier module
// with the production data module connected to the company, and helpers to open the recipe
// editor through its menu command and drive it with real keys.
//
// Products (group, code, batch quantity), in the table's order: AA P001 10, AB P002 5,
// AB P003 2, AC P004 (none), B1 P005 1, SEMI S12 4 (a semi-finished product); raw materials
// MAT M100, MAT M200, MAT M300, and S12 under SEMI. Recipes: P001 = M100 5 + M300 0.1;
// P002 = M100 3 + M200 1 + S12 2; P003 = M200 4; P004 and P005 have none.
#include "addon/dummy_module.h"
#include "common/module_values.h"
#include "controls/db_grid_normal.h"
#include "data/qdm_data_module.h"
#include "platform/base/format_settings.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/ui/application.h"
#include "platform/ui/main_window.h"
#include "platform/ui/menu_item.h"
#include "recipes/product_search.h"
#include "recipes/qdm_reteta_form.h"
#include "settings/production_settings.h"
#include "tests/platform/ui/recording_desktop.h"
#include "tests/support/company_builder.h"
#include "tests/support/company_settings.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include <memory>
#include <optional>
#include <stdexcept>

namespace recipetest {

class RecipeEditorTest : public testsupport::UiTest {
protected:
    testsupport::TempDir dir;
    QString companyDir = dir.sub(QStringLiteral("brutarie"));
    std::unique_ptr<ui::MainWindow> mainWindow;
    std::unique_ptr<TDummyModule> module;
    base::FormatSettings savedFormats;
    QString savedDirectory;
    std::optional<testsupport::CompanyRegistry> registry;

    void SetUp() override {
        UiTest::SetUp();
        // Numbers are typed and shown with the Romanian conventions, whatever the machine's.
        savedFormats = base::formatSettings();
        base::setFormatSettings(base::FormatSettings{});
        buildCompany();
        registry.emplace(dir.sub(QStringLiteral("registry")), companyDir + QLatin1Char('/'));
        ASSERT_TRUE(testsupport::writeProductionSettings(companyDir));
        IndGest = '_';
        IndCod = '.';
        IndSemi = ';';
        // The catalog window reads the company's catalog through MAGNIS and writes its layout
        // file into the current directory.
        db::Session::instance().addAlias(QStringLiteral("MAGNIS"), companyDir);
        savedDirectory = QDir::currentPath();
        QDir::setCurrent(dir.sub(QStringLiteral("lucru")));

        mainWindow = std::make_unique<ui::MainWindow>();
        mainWindow->resize(900, 700);
        ui::application()->setMainWindow(mainWindow.get());
        mainWindow->show();
        mainWindow->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow.get()));
        module = std::make_unique<TDummyModule>(mainWindow.get());
        ASSERT_NE(QDMDataModule, nullptr);
        connectTo(companyDir);
    }

    void TearDown() override {
        if (QDMRetetaForm)
            delete QDMRetetaForm->mdiFrame();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        module.reset();
        ui::application()->setMainWindow(nullptr);
        mainWindow.reset();
        db::Session::instance().findDatabase(QStringLiteral("MAGNIS")).close();
        db::Session::instance().removeAlias(QStringLiteral("MAGNIS"));
        QDir::setCurrent(savedDirectory);
        registry.reset();
        ResetProductSearch();
        base::setFormatSettings(savedFormats);
        UiTest::TearDown();
    }

    virtual void buildCompany() {
        testsupport::CompanyBuilder company(companyDir);
        company.article("AA", "P001", "Paine alba", 10)
            .article("AB", "P002", "Paine neagra", 5)
            .article("AB", "P003", "Cozonac", 2)
            .article("AC", "P004", "Corn")
            .article("B1", "P005", "Biscuiti", 1)
            .article("SEMI", "S12", "Aluat", 4)
            .article("MAT", "M100", "Faina")
            .article("MAT", "M200", "Zahar")
            .article("MAT", "M300", "Drojdie")
            .recipe("P001", "MAT", "M100", 5)
            .recipe("P001", "MAT", "M300", 0.1)
            .recipe("P002", "MAT", "M100", 3)
            .recipe("P002", "MAT", "M200", 1)
            .recipe("P002", "SEMI", "S12", 2)
            .recipe("P003", "MAT", "M200", 4);
        // The catalog window's classes and groups: MP (groups MAT, SEMI) before PF.
        company.articleClass("MP", "Materii prime")
            .articleClass("PF", "Produse finite")
            .articleGroup("MP", "MAT", "Materiale")
            .articleGroup("MP", "SEMI", "Semifabricate")
            .currency("EUR", "Euro");
        for (const char* group : {"AA", "AB", "AC", "B1"})
            company.articleGroup("PF", group, group);
    }

    static void connectTo(const QString& directory) {
        db::Database& ghost = QDMDataModule->GhostDB;
        if (ghost.isConnected())
            ghost.close();
        ghost.params() = {QStringLiteral("PATH=") + directory};
        ghost.open();
    }

    static void settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    // The menu command "Retete de productie", as the host's menu runs it.
    TQDMRetetaForm* open() {
        module->Retetedeproductie1->click();
        settle();
        return QDMRetetaForm;
    }
    // Opens the editor and waits until its products grid has the focus.
    TQDMRetetaForm& openEditor() {
        TQDMRetetaForm* form = open();
        EXPECT_NE(form, nullptr);
        if (!form)
            throw std::runtime_error("the recipe editor did not open");
        EXPECT_TRUE(QTest::qWaitFor([form] { return form->KDMCatalogGrid->hasFocus(); }, 2000));
        return *form;
    }

    TQDMDataModule& dm() { return *QDMDataModule; }
    QString currentProduct() { return dm().CatalogTable.fieldByName("Cod")->asString(); }
    // Makes a product current, as a click on it would.
    void selectProduct(const QString& code) {
        ASSERT_TRUE(dm().CatalogTable.locate(QStringLiteral("Cod"), {code}));
    }

    // The current product's recipe lines as "group material quantity", in the grid's order.
    QStringList lines() {
        QStringList out;
        db::Table& t = dm().RetetaTable;
        for (t.first(); !t.eof(); t.next())
            out << QStringLiteral("%1 %2 %3")
                       .arg(t.fieldByName("Cod_Grupa")->asString(),
                            t.fieldByName("Cod_MatPrim")->asString(),
                            t.fieldByName("Cant_MatPrim")->asString());
        return out;
    }

    // What the database holds, read apart from the editor's datasets.
    QVariant stored(const QString& table, const QString& keyFields, const QVariantList& key,
                    const QString& field) {
        db::Session session;
        session.addAlias(QStringLiteral("CHECK"), companyDir);
        db::Table t;
        t.setSession(&session);
        t.setDatabaseName(QStringLiteral("CHECK"));
        t.setTableName(table);
        t.open();
        return t.locate(keyFields, key) ? t.fieldByName(field)->value()
                                        : QVariant(QStringLiteral("<none>"));
    }
    int storedRecipeLines(const QString& product) {
        db::Session session;
        session.addAlias(QStringLiteral("CHECK"), companyDir);
        db::Table t;
        t.setSession(&session);
        t.setDatabaseName(QStringLiteral("CHECK"));
        t.setTableName(QStringLiteral("Reteta.DB"));
        t.open();
        int n = 0;
        for (t.first(); !t.eof(); t.next())
            n += t.fieldByName("Cod")->asString() == product;
        return n;
    }

    QStringList boxTexts() const {
        QStringList out;
        for (const auto& box : desktop.boxes)
            out << box.text;
        return out;
    }

    // Types keys where the focus is, as a person would.
    static void type(const QString& keys) {
        for (QChar c : keys)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
};

} // namespace recipetest
