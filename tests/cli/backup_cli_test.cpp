// lumbra backup, restore and check, run as a program on companies on disk.
#include "tests/cli/cli_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>
#include <sqlite3.h>

namespace clitest {
namespace {

QString backupFolder(const QString& company) {
    return company + QStringLiteral("/backup");
}

// The stock quantity the database file holds.
double stockIn(const QString& file) {
    sqlite3* db = nullptr;
    double quantity = -1;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
            SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT sum(Cantitate) FROM Stoc", -1, &stmt, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        quantity = sqlite3_column_double(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return quantity;
}

QStringList filesOf(const QString& directory) {
    return QDir(directory).entryList(QDir::Files, QDir::Name);
}

class BackupCli : public CliFixture {
protected:
    void SetUp() override {
        company->article(QStringLiteral("MAT"), QStringLiteral("M1"), QStringLiteral("Făină"))
            .stock(QStringLiteral("G01"), QStringLiteral("MAT"), QStringLiteral("M1"),
                   QStringLiteral("L1"), 2, 20);
        company.reset(); // the company is closed: no other program has it open
    }
    void changeStock(double quantity) {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(companyDir + QStringLiteral("/tables.sqlite")).constData(),
                     &db);
        const QByteArray sql =
            QStringLiteral("UPDATE Stoc SET Cantitate = %1").arg(quantity).toUtf8();
        sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    QString takeBackup() {
        const CliRun r = run({QStringLiteral("backup"), companyDir});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        const QStringList files = filesOf(backupFolder(companyDir));
        return files.isEmpty() ? QString()
                               : backupFolder(companyDir) + QLatin1Char('/') + files.last();
    }
};

TEST_F(BackupCli, WritesACheckedBackupIntoTheCompanysBackupFolder) {
    const CliRun r = run({QStringLiteral("backup"), companyDir});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList files = filesOf(backupFolder(companyDir));
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].contains(
        QRegularExpression(QStringLiteral("^salvare-\\d{4}-\\d{2}-\\d{2}-\\d{6}\\.sqlite$"))))
        << files[0].toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("scrisă și verificată"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(files[0])) << r.out.toStdString();
}

TEST_F(BackupCli, ToAGivenFileAndNeverOverAnExistingOne) {
    const QString file = dir.path() + QStringLiteral("/copie.sqlite");
    ASSERT_EQ(run({QStringLiteral("backup"), companyDir, file}).status, 0);
    EXPECT_EQ(stockIn(file), 20);
    const QByteArray first = [&] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    changeStock(5);
    const CliRun again = run({QStringLiteral("backup"), companyDir, file});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("există deja"))) << again.err.toStdString();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), first);
}

TEST_F(BackupCli, RestoreBringsBackTheBackupAndSaysWhereTheReplacedDatabaseIs) {
    const QString backupFile = takeBackup();
    changeStock(99);
    const CliRun r = run({QStringLiteral("restore"), companyDir, backupFile});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(stockIn(companyDir + QStringLiteral("/tables.sqlite")), 20);
    const QStringList replaced =
        QDir(companyDir).entryList({QStringLiteral("tables-inlocuit-*.sqlite")}, QDir::Files);
    ASSERT_EQ(replaced.size(), 1);
    EXPECT_TRUE(r.out.contains(replaced[0])) << r.out.toStdString();
    EXPECT_EQ(stockIn(companyDir + QLatin1Char('/') + replaced[0]), 99);
}

TEST_F(BackupCli, RestoreIsRefusedWhileAnotherProgramHasTheCompanyOpen) {
    const QString backupFile = takeBackup();
    changeStock(7);
    const QByteArray before = databaseBytes(companyDir);
    company = makeCompany(companyDir); // this test program opens the company again
    const CliRun r = run({QStringLiteral("restore"), companyDir, backupFile});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("deschisă în alt program"))) << r.err.toStdString();
    EXPECT_EQ(databaseBytes(companyDir), before);
}

TEST_F(BackupCli, RestoreOfAFileThatIsNotACompanyBackupIsRefusedWithStatus1) {
    const QString file = dir.path() + QStringLiteral("/retete.csv");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Cod,Cod_MatPrim\n");
    f.close();
    const QByteArray before = databaseBytes(companyDir);
    const CliRun r = run({QStringLiteral("restore"), companyDir, file});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nu este o bază de date"))) << r.err.toStdString();
    EXPECT_EQ(databaseBytes(companyDir), before);
}

TEST_F(BackupCli, CtrlCStopsABackupAndLeavesNoFile) {
    {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(companyDir + QStringLiteral("/tables.sqlite")).constData(),
                     &db);
        sqlite3_exec(db,
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                     "200000) INSERT INTO Stoc SELECT 'G02', 'MAT', 'M' || (i % 900), 'L' || i, "
                     "i % 13, i % 7, '' FROM n",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    QProcess p;
    p.start(QStringLiteral(LUMBRA_CLI), {QStringLiteral("backup"), companyDir});
    ASSERT_TRUE(p.waitForStarted());
    const QString folder = backupFolder(companyDir);
    bool interrupted = false;
    while (!p.waitForFinished(2)) {
        if (!QDir(folder).entryList({QStringLiteral("*.partial")}, QDir::Files).isEmpty()) {
            ::kill(pid_t(p.processId()), SIGINT);
            interrupted = true;
            break;
        }
    }
    p.waitForFinished(60000);
    if (!interrupted || (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0))
        GTEST_SKIP() << "the backup ended before Ctrl+C reached it";
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("oprită")));
    EXPECT_EQ(filesOf(folder), QStringList());
}

TEST_F(BackupCli, CheckPassesASoundCompany) {
    const CliRun r = run({QStringLiteral("check"), companyDir});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("este întreagă"))) << r.out.toStdString();
}

// Overwritten bytes: check, backup and the production commands all answer with the damaged-
// database message and its offer, with status 2, and write nothing.
class DamagedCompanyCli : public BackupCli, public ::testing::WithParamInterface<const char*> {};

TEST_P(DamagedCompanyCli, AnswersWithTheDamagedMessageAndTheOffer) {
    const QString good = takeBackup();
    QFile db(companyDir + QStringLiteral("/tables.sqlite"));
    ASSERT_TRUE(db.open(QIODevice::ReadWrite));
    db.seek(0);
    db.write(QByteArray(24, '\x7F'));
    db.close();
    const QByteArray before = databaseBytes(companyDir);
    const QStringList filesBefore = filesOf(backupFolder(companyDir));

    QStringList args = QString::fromLatin1(GetParam()).split(QLatin1Char(' '));
    args.replace(args.indexOf(QStringLiteral("FIRMA")), companyDir);
    const CliRun r = run(args);
    EXPECT_EQ(r.status, 2) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("este deteriorată"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(companyDir)) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(good)) << r.err.toStdString();
    EXPECT_EQ(databaseBytes(companyDir), before);
    EXPECT_EQ(filesOf(backupFolder(companyDir)), filesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, DamagedCompanyCli, ::testing::Values("check FIRMA", "backup FIRMA", "capacity FIRMA"),
    [](const auto& info) {
        return QString::fromLatin1(info.param).section(QLatin1Char(' '), 0, 0).toStdString();
    });

} // namespace
} // namespace clitest
