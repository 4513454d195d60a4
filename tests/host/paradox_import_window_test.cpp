// "Sistem > Import firmă din tabele Paradox…" driven from the host's menu: the directory
// dialogs answered, the message boxes read and answered through the desktop seam, and the new
// company checked on disk and in the host.
#include "host/paradox_import_command.h"
#include "import/paradox_import.h"
#include "platform/db/database.h"
#include "platform/db/query.h"
#include "platform/db/session.h"
#include "platform/store/registry_store.h"
#include "platform/ui/application.h"
#include "tests/host/host_fixture.h"
#include "tests/import/paradox_writer.h"
#include "tests/support/readable_name.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace hosttest {
namespace {

using paradox::FieldCode;

struct MenuCase {
    const char* name;
    bool refusedValue; // the currency file holds a code one wider than the field
    bool chooseSource; // false: the source dialog is cancelled
    std::vector<ui::ModalResult> answers;
    std::vector<ui::MessageKind> boxes; // the kinds shown, in order
    int currenciesWritten;              // -1: no company is left
    bool opened;                        // the host opened the new company
    bool report;                        // a report lies beside the company
};

void PrintTo(const MenuCase& c, std::ostream* os) {
    *os << c.name;
}

class ParadoxImportMenu : public HostTest, public ::testing::WithParamInterface<MenuCase> {
protected:
    // A registry of the test's own: the host starts without a company and records the one it
    // opens there.
    void SetUp() override {
        HostTest::SetUp();
        store::setRegistryRoot(dir.sub(QStringLiteral("registru")));
    }
    void TearDown() override {
        HostTest::TearDown();
        store::setRegistryRoot(QString());
    }

    QString source = dir.sub(QStringLiteral("vechi"));
    QString company = dir.path() + QStringLiteral("/firma-noua");

    void writeSource(bool refusedValue) {
        QList<pxtest::Row> currencies{{QStringLiteral("RON"), QStringLiteral("Leu românesc")},
                                      {QStringLiteral("EUR"), QStringLiteral("Euro")}};
        if (refusedValue)
            currencies << pxtest::Row{QStringLiteral("EURO"), QStringLiteral("prea lung")};
        pxtest::writeTable(
            source + QStringLiteral("/VALUTA.DB"),
            {{"Cod_valuta", FieldCode::Alpha, 4}, {"Denumire", FieldCode::Alpha, 30}}, currencies);
        QList<pxtest::Row> stock;
        for (int i = 0; i < 3000; ++i)
            stock << pxtest::Row{QStringLiteral("G1"), QStringLiteral("MPF"),
                                 QStringLiteral("M%1").arg(i), 1.5, 2.0 * i};
        pxtest::writeTable(source + QStringLiteral("/Stoc.DB"),
                           {{"Cod_gestiune", FieldCode::Alpha, 4},
                            {"Cod_grupa", FieldCode::Alpha, 8},
                            {"Cod_articol", FieldCode::Alpha, 30},
                            {"Pret_achizitie", FieldCode::Number, 8},
                            {"Cantitate", FieldCode::Number, 8}},
                           stock);
    }
    int currencies() const {
        db::Session session;
        session.addAlias(QStringLiteral("NOUA"), company);
        db::Query q;
        q.setSession(&session);
        q.setDatabaseName(QStringLiteral("NOUA"));
        q.setSqlText(QStringLiteral("SELECT COUNT(*) FROM \"VALUTA.DB\""));
        q.open();
        return int(q.field(0)->asFloat());
    }
};

TEST_P(ParadoxImportMenu, RunsFromTheSystemMenu) {
    const MenuCase& c = GetParam();
    writeSource(c.refusedValue);
    start(QString(), QStringLiteral(HOST_TEST_ADDON));
    host::ParadoxImportCommand* command = window()->paradoxImport();
    ASSERT_NE(command, nullptr);
    command->progressDelayMs = 0;
    QString offeredFrom;
    command->chooseSource = [&] { return c.chooseSource ? source : QString(); };
    command->chooseCompany = [&](const QString& from) {
        offeredFrom = from;
        return company;
    };
    for (ui::ModalResult a : c.answers)
        desktop.answers.push_back(a);
    QAction* item =
        action(QStringLiteral("&Sistem"), QStringLiteral("&Import firmă din tabele Paradox…"));
    ASSERT_NE(item, nullptr)
        << captions(QStringLiteral("&Sistem")).join(QLatin1Char('|')).toStdString();
    item->trigger();
    settle();

    std::vector<ui::MessageKind> kinds;
    for (const testsupport::ShownBox& b : desktop.boxes)
        kinds.push_back(b.kind);
    EXPECT_EQ(kinds, c.boxes);
    if (c.chooseSource) {
        EXPECT_EQ(offeredFrom, source);
    }
    if (c.currenciesWritten < 0) {
        EXPECT_FALSE(QFileInfo::exists(company));
    } else {
        ASSERT_TRUE(QFileInfo::exists(company));
        EXPECT_EQ(currencies(), c.currenciesWritten);
        // The summary names the tables with their records read and written.
        const QString summary = desktop.boxes.back().text;
        EXPECT_TRUE(summary.contains(QStringLiteral("Stoc.DB"))) << summary.toStdString();
        EXPECT_TRUE(summary.contains(QStringLiteral("3000"))) << summary.toStdString();
    }
    if (c.refusedValue && !desktop.boxes.empty()) {
        EXPECT_TRUE(desktop.boxes.front().text.contains(
            QStringLiteral("VALUTA.DB, înregistrarea 3: câmpul Cod_valuta")))
            << desktop.boxes.front().text.toStdString();
    }
    EXPECT_EQ(window()->companyDirectory() == QDir(company).absolutePath(), c.opened);
    EXPECT_EQ(QFileInfo::exists(paradox::reportFileFor(company)), c.report);
}

using K = ui::MessageKind;

INSTANTIATE_TEST_SUITE_P(
    Cases, ParadoxImportMenu,
    ::testing::Values(
        MenuCase{"SoundTablesMakeTheCompanyWhichOpens",
                 false,
                 true,
                 {ui::mrYes},
                 {K::Information},
                 2,
                 true,
                 false},
        MenuCase{"SoundTablesMakeTheCompanyLeftClosed",
                 false,
                 true,
                 {ui::mrNo},
                 {K::Information},
                 2,
                 false,
                 false},
        MenuCase{"RefusedValueDeclinedLeavesNoCompany",
                 true,
                 true,
                 {ui::mrNo},
                 {K::Confirmation},
                 -1,
                 false,
                 false},
        MenuCase{"RefusedValueAcceptedWritesTheRestAndTheReport",
                 true,
                 true,
                 {ui::mrYes, ui::mrNo},
                 {K::Confirmation, K::Information},
                 2,
                 false,
                 true},
        MenuCase{"SourceDialogCancelledDoesNothing", false, false, {}, {}, -1, false, false}),
    testsupport::ReadableName());

// The import's message boxes as the person sees them (the refusals offered, then the summary),
// saved when LUMBRA_SCREENSHOT_DIR is set.
TEST_F(ParadoxImportMenu, Screenshots) {
    const QString target = qEnvironmentVariable("LUMBRA_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "LUMBRA_SCREENSHOT_DIR is not set";
    writeSource(true);
    start(QString(), QStringLiteral(HOST_TEST_ADDON));
    window()->resize(1100, 700);
    window()->show();
    host::ParadoxImportCommand* command = window()->paradoxImport();
    command->progressDelayMs = 0;
    command->chooseSource = [&] { return source; };
    command->chooseCompany = [&](const QString&) { return company; };
    ui::application()->setDesktop(nullptr); // the real message boxes
    const QStringList names{QStringLiteral("lumbra-paradox-import-refusals.png"),
                            QStringLiteral("lumbra-paradox-import-summary.png")};
    int shot = 0;
    std::function<void()> shoot = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(100, shoot);
            return;
        }
        QTest::qWait(300);
        EXPECT_TRUE(box->grab().save(target + QLatin1Char('/') + names[shot]));
        // Import the rest; leave the new company closed.
        box->button(shot == 0 ? QMessageBox::Yes : QMessageBox::No)->click();
        if (++shot < names.size())
            QTimer::singleShot(100, shoot);
    };
    QTimer::singleShot(100, shoot);
    command->run();
    ui::application()->setDesktop(&desktop);
    EXPECT_EQ(shot, 2);
}

} // namespace
} // namespace hosttest
