// Restoring a backup: the round trip, undoing a restore, and every refusal leaving the company
// as it was.
#include "backup/backup_catalog.h"
#include "backup/backup_error.h"
#include "backup/company_backup.h"
#include "backup/company_restore.h"
#include "platform/db/drivers/sqlite/connection.h"
#include "platform/db/drivers/sqlite/directory_lock.h"
#include "tests/backup/backup_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace backuptest {
namespace {

void execute(const QString& file, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

class CompanyRestore : public BackupFixture {
protected:
    void SetUp() override { makeCompany(); }
};

TEST_F(CompanyRestore, RoundTripGivesIdenticalTablesAndKeepsTheReplacedDatabase) {
    const QString atBackup = dumpTables(database);
    const QString backupFile = backup::backupCompany(companyDir).file;
    execute(database, "DELETE FROM Stoc WHERE Lot > 'L5'; UPDATE CATALOG SET Denumire='Schimbat'; "
                      "INSERT INTO Doc_in (Contor, Numar, Tip) VALUES (9, 9, 'BPF')");
    const QString changed = dumpTables(database);
    ASSERT_NE(changed, atBackup);

    const backup::RestoreOutcome restored = backup::restoreCompany(companyDir, backupFile);
    EXPECT_EQ(dumpTables(database), atBackup);
    EXPECT_EQ(QFileInfo(restored.replacedFile).absolutePath(), QDir(companyDir).absolutePath());
    EXPECT_TRUE(
        QFileInfo(restored.replacedFile).fileName().startsWith(QStringLiteral("tables-inlocuit-")));
    EXPECT_EQ(dumpTables(restored.replacedFile), changed);
    // Nothing temporary is left beside the database.
    for (const QString& name : filesIn(companyDir))
        EXPECT_FALSE(name.endsWith(QStringLiteral(".partial")) ||
                     name.contains(QStringLiteral("-journal")))
            << name.toStdString();
}

TEST_F(CompanyRestore, OfTheReplacedDatabaseUndoesTheRestore) {
    const QString backupFile = backup::backupCompany(companyDir).file;
    execute(database, "UPDATE Stoc SET Cantitate = Cantitate + 1");
    const QString beforeRestore = dumpTables(database);
    const QString replaced = backup::restoreCompany(companyDir, backupFile).replacedFile;
    ASSERT_NE(dumpTables(database), beforeRestore);
    backup::restoreCompany(companyDir, replaced);
    EXPECT_EQ(dumpTables(database), beforeRestore);
}

TEST_F(CompanyRestore, TheRestoredCompanyOpensThroughTheEngine) {
    const QString backupFile = backup::backupCompany(companyDir).file;
    backup::restoreCompany(companyDir, backupFile);
    db::sqlite::Connection connection(companyDir);
    auto count = connection.prepare(QStringLiteral("SELECT count(*) FROM Stoc"));
    ASSERT_TRUE(count->step());
    EXPECT_EQ(count->columnInt64(0), 200);
    count->reset();
}

// Files that are not a sound company backup; the description writes one in `file`.
struct RefusedFile {
    const char* name;
    void (*write)(const QString& file, const QString& company);
    const char* reason; // a word the refusal says
};

void writeText(const QString& file, const QString&) {
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write("Cod,Cod_MatPrim\nP1,M1\n");
}
void writeEmpty(const QString& file, const QString&) {
    QFile f(file);
    f.open(QIODevice::WriteOnly);
}
void writeForeignDatabase(const QString& file, const QString&) {
    execute(
        file,
        "CREATE TABLE Agenda (Nume TEXT, Telefon TEXT); INSERT INTO Agenda VALUES ('Ana', '0722')");
}
void writeDamagedBackup(const QString& file, const QString& company) {
    addStock(backup::databaseFile(company), 1000, 5000);
    QFile::copy(backup::backupCompany(company).file, file);
    overwrite(file, 4096 * 30, QByteArray(4096 * 2, '\x5C'));
    // The backup of the larger company is not what this test restores.
    QDir(backup::backupDirectory(company)).removeRecursively();
    execute(backup::databaseFile(company), "DELETE FROM Stoc WHERE Lot >= 'L1000'; VACUUM");
}
void writeTruncatedBackup(const QString& file, const QString& company) {
    QFile::copy(backup::backupCompany(company).file, file);
    QFile f(file);
    f.resize(f.size() / 2);
    QDir(backup::backupDirectory(company)).removeRecursively();
}
void writeNothing(const QString&, const QString&) {}

class RefusedRestore : public CompanyRestore, public ::testing::WithParamInterface<RefusedFile> {};

TEST_P(RefusedRestore, ChangesNothing) {
    const QString file = dir.path() + QStringLiteral("/ales.sqlite");
    GetParam().write(file, companyDir);
    const QByteArray before = fileBytes(database);
    const QStringList filesBefore = filesIn(companyDir);
    try {
        backup::restoreCompany(companyDir, file);
        FAIL() << "restored " << GetParam().name;
    } catch (const backup::BackupRefused& e) {
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(file)))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QString::fromUtf8(GetParam().reason)))
            << e.message().toStdString();
    }
    EXPECT_EQ(fileBytes(database), before);
    EXPECT_EQ(filesIn(companyDir), filesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedRestore,
    ::testing::Values(RefusedFile{"TextFile", writeText, "nu este o bază de date"},
                      RefusedFile{"EmptyFile", writeEmpty, "nu este o bază de date"},
                      RefusedFile{"ForeignDatabase", writeForeignDatabase, "CATALOG"},
                      RefusedFile{"DamagedBackup", writeDamagedBackup, "verificarea integrității"},
                      RefusedFile{"TruncatedBackup", writeTruncatedBackup, "Firma a rămas"},
                      RefusedFile{"MissingFile", writeNothing, "nu există"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CompanyRestore, IsRefusedWhileAnotherConnectionHasTheCompanyOpen) {
    const QString backupFile = backup::backupCompany(companyDir).file;
    execute(database, "UPDATE Stoc SET Cantitate = 0");
    const QByteArray before = fileBytes(database);
    {
        db::sqlite::Connection open(companyDir);
        try {
            backup::restoreCompany(companyDir, backupFile);
            FAIL() << "restored under an open connection";
        } catch (const backup::BackupRefused& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("deschisă")))
                << e.message().toStdString();
        }
    }
    EXPECT_EQ(fileBytes(database), before);
    // Closed, it goes through.
    backup::restoreCompany(companyDir, backupFile);
    EXPECT_NE(fileBytes(database), before);
}

TEST_F(CompanyRestore, KeepsTheEngineOutWhileItRuns) {
    const QString backupFile = backup::backupCompany(companyDir).file;
    bool triedToOpen = false;
    backup::restoreCompany(companyDir, backupFile, [&](backup::Stage, qint64, qint64) {
        if (!triedToOpen) {
            triedToOpen = true;
            const db::sqlite::DirectoryLock probe = db::sqlite::DirectoryLock::acquire(
                companyDir, db::sqlite::DirectoryLock::Mode::Shared, std::chrono::milliseconds(0));
            EXPECT_EQ(probe.state(), db::sqlite::DirectoryLock::State::InUse);
        }
        return true;
    });
    EXPECT_TRUE(triedToOpen);
}

TEST_F(CompanyRestore, CancelledChangesNothing) {
    const QString backupFile = backup::backupCompany(companyDir).file;
    execute(database, "UPDATE Stoc SET Cantitate = 0");
    const QByteArray before = fileBytes(database);
    const QStringList filesBefore = filesIn(companyDir);
    for (const backup::Stage cancelAt : {backup::Stage::Copying, backup::Stage::Checking}) {
        EXPECT_THROW(backup::restoreCompany(
                         companyDir, backupFile,
                         [&](backup::Stage stage, qint64, qint64) { return stage != cancelAt; }),
                     backup::BackupCancelled);
        EXPECT_EQ(fileBytes(database), before);
        EXPECT_EQ(filesIn(companyDir), filesBefore);
    }
}

// A crash in the middle of a write left a hot journal: it is played back into the database
// being replaced, never into the restored one.
TEST_F(CompanyRestore, AJournalLeftByACrashStaysWithTheReplacedDatabase) {
    addStock(database, 1000, 3000);
    const QString backupFile = backup::backupCompany(companyDir).file;
    const QString atBackup = dumpTables(database);
    execute(database, "UPDATE Stoc SET Cantitate = 7");
    const QString beforeCrash = dumpTables(database);
    const QString journal = database + QStringLiteral("-journal");
    leaveHotJournal(database);
    ASSERT_NE(fileBytes(journal).size(), 0);

    const QString replaced = backup::restoreCompany(companyDir, backupFile).replacedFile;
    EXPECT_FALSE(QFileInfo::exists(journal));
    EXPECT_EQ(dumpTables(database), atBackup);
    EXPECT_EQ(dumpTables(replaced), beforeCrash);
}

} // namespace
} // namespace backuptest

namespace backuptest {
namespace {

// A backup named with a control character is refused before anything is read or replaced.
TEST_F(CompanyRestore, FromANameWithAControlCharacterIsRefusedAndChangesNothing) {
    const QString file = dir.path() + QStringLiteral("/ales\n.sqlite");
    ASSERT_TRUE(QFile::copy(backup::backupCompany(companyDir).file, file));
    const QByteArray before = fileBytes(database);
    const QStringList filesBefore = filesIn(companyDir);
    EXPECT_THROW(backup::restoreCompany(companyDir, file), backup::BackupRefused);
    EXPECT_EQ(fileBytes(database), before);
    EXPECT_EQ(filesIn(companyDir), filesBefore);
}

} // namespace
} // namespace backuptest
