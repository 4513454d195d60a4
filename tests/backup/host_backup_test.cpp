// The host's backup commands on the demo company with the production add-on: the menu's backup
// and restore, the daily backup when a company is opened, and a damaged company met on opening.
#include "backup/backup_catalog.h"
#include "backup/company_backup.h"
#include "host/company_backup_commands.h"
#include "host/company_environment.h"
#include "host/demo_company.h"
#include "platform/db/drivers/sqlite/integrity_check.h"
#include "platform/ui/dispatch.h"
#include "tests/host/host_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <sqlite3.h>

using namespace hosttest;

namespace {

double stockOf(const QString& databaseFile, const char* article) {
    sqlite3* db = nullptr;
    double quantity = -1;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(databaseFile).constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT sum(Cantitate) FROM Stoc WHERE Cod_articol = ?1", -1, &stmt,
                           nullptr) == SQLITE_OK) {
        sqlite3_bind_text(stmt, 1, article, -1, SQLITE_STATIC);
        if (sqlite3_step(stmt) == SQLITE_ROW)
            quantity = sqlite3_column_double(stmt, 0);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return quantity;
}

void execute(const QString& databaseFile, const QByteArray& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(databaseFile).constData(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, 5000);
    ASSERT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
}

QStringList automaticBackups(const QString& company) {
    QStringList files;
    for (const backup::BackupFile& file : backup::listBackups(company))
        if (file.kind == backup::BackupKind::Automatic)
            files << file.path;
    return files;
}

class HostBackup : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
#ifndef LUMBRA_ADDON_PATH
        GTEST_SKIP() << "the build has no production add-on";
#else
        ASSERT_TRUE(host::createDemoCompany(companyDir, {}));
#endif
    }
    void TearDown() override {
        QFile::remove(host::hostSettingsFile());
        HostTest::TearDown();
    }
    void startHost() {
#ifdef LUMBRA_ADDON_PATH
        start(companyDir, QStringLiteral(LUMBRA_ADDON_PATH));
        ASSERT_NE(program->addOn(), nullptr) << program->addOnProblem().toStdString();
#endif
    }
    host::CompanyBackupCommands* commands() const {
        return window()->backups();
    }
    void trigger(const char* caption) {
        QAction* item = action("&Sistem", QString::fromUtf8(caption));
        ASSERT_NE(item, nullptr) << caption;
        item->trigger();
        settle();
    }
    // Damages the company's database: its header overwritten, as a failing disk leaves it.
    void damageDatabase() {
        QFile file(database);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.write(QByteArray(32, '\x5A'));
    }
    QString lastBoxText() const {
        return desktop.boxes.empty() ? QString() : desktop.boxes.back().text;
    }

    QString companyDir = dir.path() + QStringLiteral("/brutarie");
    QString database = companyDir + QStringLiteral("/tables.sqlite");
};

TEST_F(HostBackup, TheSystemMenuBacksUpTheCompanyIntoACheckedFile) {
    startHost();
    QString suggested;
    commands()->chooseBackupTarget = [&](const QString& file) {
        suggested = file;
        return file;
    };
    trigger("&Salvare firma…");
    ASSERT_FALSE(suggested.isEmpty());
    EXPECT_EQ(QFileInfo(suggested).absolutePath(), backup::backupDirectory(companyDir));
    EXPECT_TRUE(db::sqlite::checkIntegrity(suggested).isSound());
    ASSERT_FALSE(desktop.boxes.empty());
    EXPECT_EQ(desktop.boxes.back().kind, ui::MessageKind::Information);
    EXPECT_TRUE(lastBoxText().contains(QDir::toNativeSeparators(suggested)))
        << lastBoxText().toStdString();
}

TEST_F(HostBackup, CancelledFromItsProgressDialogLeavesNoFile) {
    // Enough stock for many steps of pages.
    QByteArray rows = "BEGIN;";
    for (int i = 0; i < 20000; ++i)
        rows += QStringLiteral("INSERT INTO Stoc VALUES ('G09','MPA','M010','X%1',1,1,'');")
                    .arg(i)
                    .toUtf8();
    execute(database, rows + "COMMIT;");
    startHost();
    const QString target = dir.path() + QStringLiteral("/copie.sqlite");
    commands()->chooseBackupTarget = [&](const QString&) { return target; };
    commands()->progressDelayMs = 0;
    bool clicked = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QPushButton* cancel = dialog->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        QTest::mouseClick(cancel, Qt::LeftButton);
        clicked = true;
    });
    trigger("&Salvare firma…");
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_FALSE(QFileInfo::exists(target + QStringLiteral(".partial")));
    EXPECT_TRUE(window()->statusBar()->currentMessage().contains(QStringLiteral("oprită")));
}

TEST_F(HostBackup, RestoreClosesTheCompanyRestoresAndOpensItAgain) {
    startHost();
    const QString backupFile = backup::backupCompany(companyDir).file;
    const double before = stockOf(database, "M010");
    execute(database, "UPDATE Stoc SET Cantitate = 0 WHERE Cod_articol = 'M010'");
    window()->openStock();
    commands()->chooseBackupToRestore = [&](const QString& folder) {
        EXPECT_EQ(folder, backup::backupDirectory(companyDir));
        return backupFile;
    };
    desktop.answers = {ui::mrYes};
    trigger("&Restaurare firma…");

    ASSERT_GE(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Confirmation);
    EXPECT_EQ(desktop.boxes.back().kind, ui::MessageKind::Information)
        << lastBoxText().toStdString();
    EXPECT_EQ(stockOf(database, "M010"), before);
    EXPECT_EQ(window()->companyDirectory(), QDir::cleanPath(companyDir));
    EXPECT_EQ(QDir(companyDir).entryList({QStringLiteral("tables-inlocuit-*.sqlite")}).size(), 1);
    // The production menu works on the restored company.
    EXPECT_NE(action("&Sistem", "Retete de productie"), nullptr);
}

TEST_F(HostBackup, RestoreOfAForeignFileIsRefusedWithTheCompanyLeftOpen) {
    startHost();
    const QString foreign = dir.path() + QStringLiteral("/agenda.sqlite");
    execute(foreign, "CREATE TABLE Agenda (Nume TEXT)");
    const QByteArray before = [&] {
        QFile f(database);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    commands()->chooseBackupToRestore = [&](const QString&) { return foreign; };
    trigger("&Restaurare firma…");
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Warning);
    EXPECT_TRUE(lastBoxText().contains(QStringLiteral("neschimbată")))
        << lastBoxText().toStdString();
    EXPECT_EQ(window()->companyDirectory(), QDir::cleanPath(companyDir));
    QFile f(database);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST_F(HostBackup, TheFirstOpeningOfADayTakesTheAutomaticBackup) {
    startHost();
    const QStringList first = automaticBackups(companyDir);
    ASSERT_EQ(first.size(), 1);
    EXPECT_TRUE(db::sqlite::checkIntegrity(first[0]).isSound());
    program.reset();
    startHost();
    EXPECT_EQ(automaticBackups(companyDir), first);
}

TEST_F(HostBackup, TheSettingsFileSwitchesTheAutomaticBackupOff) {
    QFile ini(host::hostSettingsFile());
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Initial]\r\nNetControlDir=\r\n[Backup]\r\nDailyBackups=0\r\n");
    ini.close();
    startHost();
    EXPECT_TRUE(automaticBackups(companyDir).isEmpty());
}

TEST_F(HostBackup, ADamagedCompanyIsNamedAndItsNewestSoundBackupRestoredOnRequest) {
    const QString good = backup::backupCompany(companyDir).file;
    damageDatabase();
    desktop.answers = {ui::mrYes};
    startHost();

    ASSERT_GE(desktop.boxes.size(), 2u);
    const testsupport::ShownBox& offer = desktop.boxes[0];
    EXPECT_EQ(offer.kind, ui::MessageKind::Error);
    EXPECT_EQ(offer.buttons, ui::MessageButton::Yes | ui::MessageButton::No);
    for (const QString& part :
         {QStringLiteral("este deteriorată"), QDir::toNativeSeparators(companyDir),
          QDir::toNativeSeparators(database), QDir::toNativeSeparators(good),
          QStringLiteral("Restaurați acum")})
        EXPECT_TRUE(offer.text.contains(part)) << part.toStdString() << "\n"
                                               << offer.text.toStdString();
    EXPECT_EQ(desktop.boxes.back().kind, ui::MessageKind::Information)
        << lastBoxText().toStdString();
    EXPECT_TRUE(db::sqlite::checkIntegrity(database).isSound());
    EXPECT_EQ(window()->companyDirectory(), QDir::cleanPath(companyDir));
}

TEST_F(HostBackup, ADamagedCompanyRefusedForRestoreStaysAsItIs) {
    backup::backupCompany(companyDir);
    damageDatabase();
    const QByteArray before = [&] {
        QFile f(database);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    desktop.answers = {ui::mrNo};
    startHost();
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_TRUE(window()->companyDirectory().isEmpty());
    QFile f(database);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_TRUE(automaticBackups(companyDir).isEmpty());
}

// The damaged-company message as the person sees it, saved when LUMBRA_SCREENSHOT_DIR is set
// (run under a real X server, such as xvfb-run, with QT_QPA_PLATFORM=xcb).
TEST_F(HostBackup, Screenshot) {
    const QString target = qEnvironmentVariable("LUMBRA_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "LUMBRA_SCREENSHOT_DIR is not set";
#ifdef LUMBRA_ADDON_PATH
    backup::backupCompany(companyDir);
    damageDatabase();
    ui::application()->setDesktop(nullptr); // the real message box
    bool saved = false;
    std::function<void()> shoot = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(100, shoot);
            return;
        }
        QTest::qWait(500);
        saved = box->screen()->grabWindow(0).save(target +
                                                  QStringLiteral("/lumbra-damaged-company.png"));
        box->grab().save(target + QStringLiteral("/lumbra-damaged-company-box.png"));
        box->button(QMessageBox::No)->click();
    };
    // The host started without a company, then asked to open the damaged one.
    start(QString(), QStringLiteral(LUMBRA_ADDON_PATH));
    window()->resize(1100, 700);
    window()->show();
    QTest::qWait(300);
    QTimer::singleShot(100, shoot);
    ui::guarded([&] { window()->openCompany(companyDir); });
    EXPECT_TRUE(saved);
    ui::application()->setDesktop(&desktop);
#endif
}

} // namespace
