// Taking a backup: where it goes, that it is checked and consistent while another connection
// writes, and that a cancelled or failed one leaves no file.
#include "backup/backup_error.h"
#include "backup/company_backup.h"
#include "platform/db/drivers/sqlite/integrity_check.h"
#include "tests/backup/backup_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <sqlite3.h>
#include <thread>

namespace backuptest {
namespace {

using backup::BackupKind;
using backup::Stage;

class CompanyBackup : public BackupFixture {
protected:
    void SetUp() override { makeCompany(); }
};

TEST_F(CompanyBackup, GoesToTheBackupFolderUnderADatedNameAndHoldsTheSameData) {
    const backup::BackupOutcome done = backup::backupCompany(companyDir);
    const QFileInfo file(done.file);
    EXPECT_EQ(file.absolutePath(), QDir(companyDir).absoluteFilePath(QStringLiteral("backup")));
    EXPECT_TRUE(file.fileName().startsWith(
        QStringLiteral("salvare-%1-")
            .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")))))
        << file.fileName().toStdString();
    EXPECT_GT(done.pages, 0);
    EXPECT_EQ(dumpTables(done.file), dumpTables(database));
    EXPECT_TRUE(db::sqlite::checkIntegrity(done.file).isSound());
    // Only the backup itself: no temporary file or journal beside it.
    EXPECT_EQ(filesIn(file.absolutePath()), QStringList{file.fileName()});
}

// A backup holds every figure of the company: only its owner may read it. A name given with
// ".." steps is resolved before it is written; one with a control character is refused and
// nothing is written.
TEST_F(CompanyBackup, IsReadableByItsOwnerOnlyAndGoesWhereItsResolvedNameSays) {
    const QString given = companyDir + QStringLiteral("/../firma/./copie.sqlite");
    const backup::BackupOutcome done = backup::backupCompany(companyDir, given);
    EXPECT_EQ(done.file, companyDir + QStringLiteral("/copie.sqlite"));
    EXPECT_EQ(QFileInfo(done.file).permissions() & 0x0077, QFileDevice::Permissions())
        << "group or others may read or write it";
    EXPECT_TRUE(QFileInfo(done.file).permissions().testFlag(QFileDevice::ReadOwner));
    EXPECT_TRUE(QFileInfo(backup::backupCompany(companyDir).file)
                    .permissions()
                    .testFlag(QFileDevice::ReadOwner));

    for (const char* name : {"copie\n.sqlite", "copie\t2.sqlite", "\x1b[31mcopie.sqlite"}) {
        const QStringList before = filesIn(companyDir);
        EXPECT_THROW(backup::backupCompany(companyDir,
                                           companyDir + QLatin1Char('/') + QString::fromUtf8(name)),
                     backup::BackupRefused)
            << name;
        EXPECT_EQ(filesIn(companyDir), before) << name;
    }
}

TEST_F(CompanyBackup, TwoInOneSecondGetTwoNames) {
    const QString first = backup::backupCompany(companyDir).file;
    const QString second = backup::backupCompany(companyDir).file;
    EXPECT_NE(first, second);
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_TRUE(QFileInfo::exists(second));
}

TEST_F(CompanyBackup, ToAnExistingFileIsRefusedAndTheFileKept) {
    const QString target = dir.path() + QStringLiteral("/copie.sqlite");
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("a person's file");
    f.close();
    EXPECT_THROW(backup::backupCompany(companyDir, target), backup::BackupRefused);
    EXPECT_EQ(fileBytes(target), QByteArray("a person's file"));
}

// Each writer transaction inserts two halves of one pair: a consistent copy has no half pair.
TEST_F(CompanyBackup, WhileAnotherConnectionWritesIsConsistent) {
    addStock(database, 1000, 30000); // several steps of pages
    {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(database).constData(), &db);
        sqlite3_exec(db, "CREATE TABLE Pereche (n INTEGER, jumatate INTEGER, text TEXT)", nullptr,
                     nullptr, nullptr);
        sqlite3_close(db);
    }
    std::atomic<bool> stop{false};
    std::atomic<int> written{0};
    std::thread writer([&] {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(database).constData(), &db);
        sqlite3_busy_timeout(db, 30000);
        for (int n = 0; !stop; ++n) {
            const QByteArray sql =
                QStringLiteral("BEGIN IMMEDIATE; INSERT INTO Pereche VALUES (%1, 0, "
                               "hex(randomblob(1000))); INSERT INTO Pereche VALUES (%1, 1, "
                               "hex(randomblob(1000))); COMMIT;")
                    .arg(n)
                    .toUtf8();
            if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
                ++written;
            else
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            // A person's pace, not a loop that never lets go of the file.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        sqlite3_close(db);
    });
    while (written < 20)
        std::this_thread::yield();
    int calls = 0;
    const backup::BackupOutcome done = backup::backupCompany(
        companyDir, QString(), BackupKind::Manual, [&](Stage, qint64, qint64) {
            ++calls;
            return true;
        });
    stop = true;
    writer.join();

    EXPECT_GT(calls, 1);
    EXPECT_TRUE(db::sqlite::checkIntegrity(done.file).isSound());
    sqlite3* copy = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(done.file).constData(), &copy, SQLITE_OPEN_READONLY,
                              nullptr),
              SQLITE_OK);
    sqlite3_stmt* halves = nullptr;
    sqlite3_prepare_v2(
        copy,
        "SELECT (SELECT count(*) FROM Pereche), (SELECT count(*) FROM (SELECT n "
        "FROM Pereche GROUP BY n HAVING count(*) <> 2)), (SELECT count(*) FROM Stoc)",
        -1, &halves, nullptr);
    ASSERT_EQ(sqlite3_step(halves), SQLITE_ROW);
    EXPECT_GE(sqlite3_column_int(halves, 0), 40);
    EXPECT_EQ(sqlite3_column_int(halves, 1), 0) << "a pair copied in half";
    EXPECT_EQ(sqlite3_column_int(halves, 2), 30200);
    sqlite3_finalize(halves);
    sqlite3_close(copy);
}

// Cancelled at the first report of each stage: nothing is left in the backup folder.
class CancelledBackup : public CompanyBackup, public ::testing::WithParamInterface<Stage> {};

TEST_P(CancelledBackup, LeavesNoFile) {
    addStock(database, 1000, 5000);
    EXPECT_THROW(
        backup::backupCompany(companyDir, QString(), BackupKind::Manual,
                              [&](Stage stage, qint64, qint64) { return stage != GetParam(); }),
        backup::BackupCancelled);
    EXPECT_EQ(filesIn(companyDir + QStringLiteral("/backup")), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Stages, CancelledBackup,
                         ::testing::Values(Stage::Copying, Stage::Checking), [](const auto& info) {
                             return std::string(info.param == Stage::Copying ? "WhileCopying"
                                                                             : "WhileChecking");
                         });

TEST_F(CompanyBackup, OfADamagedDatabaseIsRefusedWithTheDamagedMessageAndLeavesNoFile) {
    addStock(database, 1000, 5000);
    // A page in the middle of the stock table filled with rubbish.
    overwrite(database, 4096 * 40, QByteArray(4096, '\xAB'));
    try {
        backup::backupCompany(companyDir);
        FAIL() << "a damaged database was backed up";
    } catch (const base::DatabaseError& e) {
        EXPECT_EQ(e.kind(), base::DatabaseError::Kind::Damaged);
        EXPECT_TRUE(e.message().contains(companyDir)) << e.message().toStdString();
    }
    EXPECT_EQ(filesIn(companyDir + QStringLiteral("/backup")), QStringList());
}

// A crash left a journal: the check plays it back, as the next opening would, and finds the
// database whole rather than unreadable.
TEST_F(CompanyBackup, TheCheckOfADatabaseACrashLeftPlaysItsJournalBack) {
    addStock(database, 1000, 3000);
    const QString before = dumpTables(database);
    leaveHotJournal(database);
    ASSERT_TRUE(QFileInfo::exists(database + QStringLiteral("-journal")));
    EXPECT_TRUE(db::sqlite::checkIntegrity(database).isSound());
    EXPECT_EQ(dumpTables(database), before);
}

TEST_F(CompanyBackup, OfADirectoryWithoutACompanyIsRefused) {
    const QString empty = dir.sub(QStringLiteral("gol"));
    EXPECT_THROW(backup::backupCompany(empty), backup::BackupRefused);
    EXPECT_THROW(backup::backupCompany(dir.path() + QStringLiteral("/nu-exista")),
                 backup::BackupRefused);
    EXPECT_EQ(filesIn(empty), QStringList());
}

} // namespace
} // namespace backuptest
