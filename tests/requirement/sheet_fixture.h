#pragma once
// A company on disk, the menu-carrier module connected to it and a goods-receipt window with its
// document dataset, as the host hands them to the module; the requirement sheet is opened through
// the module's command and driven with real key and mouse events while it runs modally.
#include "addon/dummy_module.h"
#include "common/module_values.h"
#include "data/qdm_data_module.h"
#include "host/company_schema.h"
#include "platform/base/format_settings.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/ui/button.h"
#include "platform/ui/form.h"
#include "platform/ui/menu_item.h"
#include "requirement/ui/qdm_necesar_form.h"
#include "requirement/ui/sel_date_dlg.h"
#include "settings/production_settings.h"
#include "tests/platform/ui/recording_desktop.h"
#include "tests/support/company_builder.h"
#include "tests/support/company_settings.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace sheettest {

class SheetTest : public testsupport::UiTest {
protected:
    testsupport::TempDir dir;
    QString companyDir = dir.sub(QStringLiteral("firma"));
    QString privateDir = dir.sub(QStringLiteral("privat"));
    testsupport::CompanyBuilder company{companyDir};
    // The host's side: its own session on the company, the receipt window and its dataset.
    db::Session hostSession;
    db::Table documents{QStringLiteral("DocInDataSet")};
    int recomputes = 0;
    ui::Form receiptWindow;
    std::unique_ptr<TDummyModule> module;
    std::optional<testsupport::CompanyRegistry> registry;

    void SetUp() override {
        UiTest::SetUp();
        base::setFormatSettings(base::FormatSettings{}); // day.month.year, decimal comma
        registry.emplace(dir.sub(QStringLiteral("registry")), companyDir + QLatin1Char('/'));
        ASSERT_TRUE(testsupport::writeProductionSettings(companyDir));
        closePrivateDatabase();
        db::Session::instance().addAlias(QStringLiteral("KRV_PRIV"), privateDir);
        // The catalog window's alias.
        db::Session::instance().addAlias(QStringLiteral("MAGNIS"), companyDir);

        hostSession.addAlias(QStringLiteral("HOST"), companyDir);
        documents.setSession(&hostSession);
        documents.setDatabaseName(QStringLiteral("HOST"));
        documents.setTableName(QStringLiteral("Doc_in.DB"));
        documents.onCalcFields = [this](db::DataSet& d) {
            EXPECT_EQ(&d, &documents);
            ++recomputes;
        };

        module = std::make_unique<TDummyModule>(&receiptWindow);
        ASSERT_NE(QDMDataModule, nullptr);
        QDMDataModule->GhostDB.params() = {QStringLiteral("PATH=") + companyDir};
        QDMDataModule->GhostDB.open();
        module->DocInDataSet = &documents;
        module->DocInOwner = &receiptWindow;
        DocOutGenerated = false;
        NegativeStockShown = false;
        DocInContor = -9999;
    }

    void TearDown() override {
        module.reset();
        documents.close();
        closePrivateDatabase();
        db::Session::instance().removeAlias(QStringLiteral("KRV_PRIV"));
        db::Session::instance().removeAlias(QStringLiteral("MAGNIS"));
        registry.reset();
        IndGest = '_';
        IndCod = '.';
        IndSemi = ';';
        UiTest::TearDown();
    }

    // The private alias's database keeps its connection; one made for an earlier test's
    // directory would go on writing there.
    static void closePrivateDatabase() {
        db::Session& session = db::Session::instance();
        for (const QString alias : {QStringLiteral("KRV_PRIV"), QStringLiteral("MAGNIS")})
            if (session.hasAlias(alias))
                session.findDatabase(alias).close();
    }

    // Opens the host's document dataset on the receipt.
    void openReceipt(double contor) {
        documents.open();
        ASSERT_TRUE(documents.locate(QStringLiteral("Contor"), {contor}));
    }

    // Runs the command with the sheet shown; act works on it and should close it. A sheet that
    // act left open is cancelled, so that a failing check never hangs the test.
    void runSheet(const std::function<void(TQDMNecesarForm&)>& act) {
        bool acted = false;
        // A timer of this scope: when the sheet does not show, it never fires later on.
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            acted = true;
            TQDMNecesarForm* sheet = QDMNecesarForm;
            ASSERT_NE(sheet, nullptr);
            ASSERT_TRUE(sheet->isVisible());
            sheet->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(sheet));
            act(*sheet);
            if (QDMNecesarForm == sheet && sheet->modalResult() == ui::mrNone)
                sheet->setModalResult(ui::mrCancel);
        });
        timer.start(0);
        module->CalcNec->click();
        EXPECT_TRUE(acted) << "the sheet was not shown"
                           << (desktop.boxes.empty() ? std::string()
                                                     : desktop.boxes.back().text.toStdString());
        EXPECT_EQ(QDMNecesarForm, nullptr);
    }

    // Acts on the date dialog once it shows; act closes it. The timer goes with the test.
    void whenDateAsked(const std::function<void(TSelDateDlg&)>& act) {
        QTimer::singleShot(0, &receiptWindow, [act] {
            TSelDateDlg* dialog = SelDateDlg;
            ASSERT_NE(dialog, nullptr);
            ASSERT_TRUE(dialog->isShowingModal());
            dialog->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
            act(*dialog);
        });
    }

    // Answers the date dialog with the date it proposes.
    void acceptProposedDate() {
        whenDateAsked([](TSelDateDlg& d) { QTest::mouseClick(d.OKBtn, Qt::LeftButton); });
    }

    // The company's records as another user reads them.
    struct Reader {
        db::Session session;
        std::unique_ptr<db::Database> database;
        explicit Reader(const QString& directory) {
            session.addAlias(QStringLiteral("CHECK"), directory);
            database = std::make_unique<db::Database>(QStringLiteral("CHECK"), &session);
        }
        QList<QVariantMap> rows(const QString& table) {
            db::Table t(table);
            t.setSession(&session);
            t.setDatabaseName(QStringLiteral("CHECK"));
            t.setTableName(table);
            t.open();
            QList<QVariantMap> out;
            for (t.first(); !t.eof(); t.next()) {
                QVariantMap row;
                for (int i = 0; i < t.fieldCount(); ++i)
                    row.insert(t.field(i)->fieldName(), t.field(i)->value());
                out << row;
            }
            return out;
        }
        double counter() {
            return rows(QStringLiteral("COUNTER.DB")).value(0).value("NewCounterOut").toDouble();
        }
    };
    Reader reader{companyDir};

    // The article class and groups the catalog window browses the articles by.
    void catalogGroups(const QStringList& groups) {
        company.articleClass("MP", "Materii prime");
        for (const QString& group : groups)
            company.articleGroup("MP", group, group);
    }

    bool requirementTableExists() {
        db::Session s;
        s.addAlias(QStringLiteral("PRIV"), privateDir);
        db::Database priv(QStringLiteral("PRIV"), &s);
        return priv.tableExists(QStringLiteral("temp.DB"));
    }

    static QWidget* focused() { return QApplication::focusWidget(); }
};

} // namespace sheettest
