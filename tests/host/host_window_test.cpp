// The host's main window on the demo company with the production add-on: its merged menus, the
// goods-receipt window and what the host shows after the add-on has written.
#include "host/company_schema.h"
#include "host/demo_company.h"
#include "host/output_documents_form.h"
#include "host/receipts_form.h"
#include "host/record_grid.h"
#include "host/stock_form.h"
#include "host_fixture.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "requirement/consumption_register.h"
#include "requirement/consumption_trace.h"
#include "requirement/recipe_issue.h"

#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

using namespace hosttest;

namespace {

class HostWindow : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
#ifndef LUMBRA_ADDON_PATH
        GTEST_SKIP() << "the build has no production add-on";
#else
        ASSERT_TRUE(host::createDemoCompany(companyDir, {}));
        start(companyDir, QStringLiteral(LUMBRA_ADDON_PATH));
        ASSERT_NE(program->addOn(), nullptr) << program->addOnProblem().toStdString();
#endif
    }

    static QString cell(host::RecordGrid* grid, int row, const char* field) {
        return grid->model()
            ->index(row, grid->columnOf(QString::fromLatin1(field)))
            .data()
            .toString();
    }
    static int rowOf(host::RecordGrid* grid, const char* field, const QString& value) {
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            if (cell(grid, row, field) == value)
                return row;
        return -1;
    }

    QStringList withRequirement() const {
        return hostDocumentItems + QStringList{"-", "Calcul necesar tehnic"};
    }

    QString companyDir = dir.path() + QStringLiteral("/brutarie");
    const QStringList hostDocumentItems = {"Documente de &intrare", "Documente de i&eșire",
                                           "&Stoc"};
};

} // namespace

TEST_F(HostWindow, MergesTheProductionMenuIntoTheSystemMenu) {
    EXPECT_EQ(captions("&Sistem"),
              (QStringList{"&Deschide firma...", "&Salvare firma…", "&Restaurare firma…",
                           "&Import firmă din tabele Paradox…", "-", "Retete de productie",
                           "&Configurare productie", "-", "&Ieșire"}));
    EXPECT_EQ(window()->addOnLabel()->text(), "Modul: Productie-calcul necesar tehnic");
    EXPECT_TRUE(window()->windowTitle().contains(QDir::toNativeSeparators(companyDir)));
    EXPECT_FALSE(action("&Sistem", "Retete de productie")->statusTip().isEmpty());
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(HostWindow, TheGoodsReceiptWindowCarriesTheRequirementCommand) {
    action("&Document", "Documente de &intrare")->trigger();
    settle();
    auto* receipts =
        dynamic_cast<host::ReceiptsForm*>(window()->mdiArea()->currentSubWindow()->widget());
    ASSERT_NE(receipts, nullptr);
    EXPECT_EQ(receipts->caption(), "Documente de intrare");
    EXPECT_EQ(captions("&Document"), withRequirement());

    // Another window in front: the command goes; the receipts again: it comes back.
    action("&Document", "&Stoc")->trigger();
    settle();
    EXPECT_EQ(captions("&Document"), hostDocumentItems);
    window()->mdiArea()->setActiveSubWindow(receipts->mdiFrame());
    settle();
    EXPECT_EQ(captions("&Document"), withRequirement());

    receipts->mdiFrame()->close();
    settle();
    EXPECT_EQ(captions("&Document"), hostDocumentItems);
    EXPECT_TRUE(desktop.boxes.empty());
}

// Each window the host opens lies wholly in the MDI area, one title bar down and to the right of
// the one opened before it, whatever the size of the main window.
TEST_F(HostWindow, NewWindowsCascadeWhollyInsideTheArea) {
    for (const QSize size : {QSize(1280, 800), QSize(760, 520)}) {
        window()->closeAllForms();
        window()->resize(size);
        settle();
        window()->openReceipts();
        window()->openStock();
        window()->openOutputDocuments();
        settle();
        const QRect area = window()->mdiArea()->viewport()->rect();
        const QList<QMdiSubWindow*> frames =
            window()->mdiArea()->subWindowList(QMdiArea::CreationOrder);
        ASSERT_EQ(frames.size(), 3);
        for (const QMdiSubWindow* frame : frames)
            EXPECT_TRUE(area.contains(frame->geometry()))
                << frame->windowTitle().toStdString() << " at " << frame->x() << "," << frame->y()
                << " " << frame->width() << "x" << frame->height() << " in " << area.width() << "x"
                << area.height();
        EXPECT_NE(frames[0]->pos(), frames[1]->pos());
        EXPECT_NE(frames[1]->pos(), frames[2]->pos());
    }
}

TEST_F(HostWindow, TheReceiptWindowShowsDocumentsWithTheirTotalsAndLines) {
    host::ReceiptsForm* receipts = window()->openReceipts();
    settle();
    host::RecordGrid* documents = receipts->documentsGrid();
    ASSERT_EQ(documents->model()->rowCount(), 4);
    // 200 x 1,35 + 100 x 1,80 + 300 x 0,45
    const int production = rowOf(documents, "Contor", "2");
    ASSERT_GE(production, 0);
    EXPECT_EQ(cell(documents, production, "Total"), "585,00");

    const int sweetBread = rowOf(documents, "Contor", "3");
    QTest::mouseClick(documents->viewport(), Qt::LeftButton, {},
                      documents->visualRect(documents->model()->index(sweetBread, 0)).center());
    settle();
    EXPECT_EQ(receipts->documents().fieldByName("Contor")->asInteger(), 3);
    host::RecordGrid* lines = receipts->linesGrid();
    ASSERT_EQ(lines->model()->rowCount(), 2);
    EXPECT_EQ(cell(lines, rowOf(lines, "Cod_articol", "P003"), "Denumire"), "Cozonac cu nucă 1 kg");
    EXPECT_EQ(cell(lines, rowOf(lines, "Cod_articol", "P003"), "Valoare"), "290,00");
}

TEST_F(HostWindow, AfterTheAddOnWroteDocumentsEveryWindowShowsThem) {
    host::ReceiptsForm* receipts = window()->openReceipts();
    host::OutputDocumentsForm* outputs = window()->openOutputDocuments();
    host::StockForm* stock = window()->openStock();
    settle();
    ASSERT_EQ(outputs->documentsGrid()->model()->rowCount(), 1);
    const int stockRows = stock->stockGrid()->model()->rowCount();
    {
        // What a consumption document writes: its header, and a stock record used up.
        db::Session session;
        session.addAlias(QStringLiteral("FIRMA"), companyDir);
        db::Table out;
        out.setSession(&session);
        out.setDatabaseName(QStringLiteral("FIRMA"));
        out.setTableName(QStringLiteral("Doc_out.DB"));
        out.open();
        out.append();
        out.fieldByName("Contor")->setAsFloat(2);
        out.fieldByName("Tip")->setAsString("BMC");
        out.post();
        db::Table stoc;
        stoc.setSession(&session);
        stoc.setDatabaseName(QStringLiteral("FIRMA"));
        stoc.setTableName(QStringLiteral("Stoc.DB"));
        stoc.open();
        ASSERT_TRUE(stoc.locate("Cod_articol", {"M016"}));
        stoc.remove();
    }
    // The add-on asks the receipts' dataset to recompute, outside a calculation.
    db::Table& documents = receipts->documents();
    documents.onCalcFields(documents);
    settle();
    EXPECT_EQ(outputs->documentsGrid()->model()->rowCount(), 2);
    EXPECT_EQ(cell(outputs->documentsGrid(), 1, "Tip"), "BMC");
    EXPECT_EQ(stock->stockGrid()->model()->rowCount(), stockRows - 1);
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(HostWindow, ACompanyWithoutTablesGetsTheHostsAndTheRecipeTableAsTheAddOnDeclaresIt) {
    const QString empty = dir.sub(QStringLiteral("goala"));
    window()->openCompany(empty);
    db::Session session;
    session.addAlias(QStringLiteral("GOALA"), empty);
    db::Database database(QStringLiteral("GOALA"), &session);
    EXPECT_TRUE(database.tableExists(QStringLiteral("Stoc.DB")));
    const db::TableDef recipe = database.tableStructure(QStringLiteral("Reteta.DB"));
    const db::TableDef expected = company::addOnRecipeTable();
    ASSERT_EQ(recipe.fields.size(), expected.fields.size());
    for (int i = 0; i < recipe.fields.size(); ++i) {
        EXPECT_EQ(recipe.fields[i].name, expected.fields[i].name);
        EXPECT_EQ(recipe.fields[i].type, expected.fields[i].type);
        EXPECT_EQ(recipe.fields[i].size, expected.fields[i].size);
    }
    bool primary = false;
    for (const db::IndexDef& index : recipe.indexes)
        primary = primary || (index.primary && index.fields == QStringList{"Cod", "Cod_MatPrim"});
    EXPECT_TRUE(primary);
}

// The module's own tables (the register of its documents, of their reversals, where each line
// took its stock from and the recipe beside each issue) are created as the add-on declares them.
TEST_F(HostWindow, ACompanyWithoutTablesGetsTheModulesOwnTables) {
    const QString empty = dir.sub(QStringLiteral("goala"));
    window()->openCompany(empty);
    db::Session session;
    session.addAlias(QStringLiteral("GOALA"), empty);
    db::Database database(QStringLiteral("GOALA"), &session);
    for (const db::TableDef& expected :
         {requirement::consumptionRegisterDef(), requirement::reversalRegisterDef(),
          requirement::consumptionTraceDef(), requirement::recipeBesideIssueDef()}) {
        SCOPED_TRACE(expected.name.toStdString());
        ASSERT_TRUE(database.tableExists(expected.name));
        const db::TableDef stored = database.tableStructure(expected.name);
        ASSERT_EQ(stored.fields.size(), expected.fields.size());
        for (int i = 0; i < stored.fields.size(); ++i) {
            EXPECT_EQ(stored.fields[i].name, expected.fields[i].name);
            EXPECT_EQ(stored.fields[i].type, expected.fields[i].type);
        }
    }
}

// Pictures of the main window and of the goods-receipt window, for a person to look at:
// LUMBRA_SCREENSHOT_DIR=/tmp xvfb-run -a test_host --gtest_filter='*Screenshot*'
TEST_F(HostWindow, Screenshots) {
    const QString target = qEnvironmentVariable("LUMBRA_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "LUMBRA_SCREENSHOT_DIR is not set";
    window()->resize(1280, 800);
    settle();
    QTest::qWait(200);
    ASSERT_TRUE(window()->grab().save(target + QStringLiteral("/lumbra-host-main.png")));
    QMenu* system = topMenu("&Sistem");
    window()->menuBar()->setActiveAction(system->menuAction());
    QTest::qWait(300);
    ASSERT_TRUE(system->grab().save(target + QStringLiteral("/lumbra-host-system-menu.png")));
    system->hide();
    host::ReceiptsForm* receipts = window()->openReceipts();
    settle();
    QTest::qWait(300);
    ASSERT_TRUE(window()->grab().save(target + QStringLiteral("/lumbra-host-receipts.png")));
    // The merged "Document" menu, open.
    QMenu* document = topMenu("&Document");
    window()->menuBar()->setActiveAction(document->menuAction());
    QTest::qWait(300);
    ASSERT_TRUE(document->grab().save(target + QStringLiteral("/lumbra-host-document-menu.png")));
    document->hide();
    window()->openStock();
    window()->openOutputDocuments();
    window()->mdiArea()->tileSubWindows();
    settle();
    QTest::qWait(300);
    ASSERT_TRUE(window()->grab().save(target + QStringLiteral("/lumbra-host-tiled.png")));
    (void)receipts;
}
