// The automatic backup of the day and its rotation: exactly the configured number of automatic
// backups stay, the newest ones, and backups a person took are never touched.
#include "backup/backup_catalog.h"
#include "backup/daily_backup.h"
#include "tests/backup/backup_fixture.h"

#include <QDir>
#include <QFile>

namespace backuptest {
namespace {

class DailyBackup : public BackupFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        makeCompany(20);
        QDir().mkpath(backup::backupDirectory(companyDir));
        // Twenty earlier days of automatic backups, and two a person took among them.
        const QDateTime now = QDateTime::currentDateTime();
        for (int day = 1; day <= 20; ++day)
            touch(backup::newBackupFile(companyDir, backup::BackupKind::Automatic,
                                        now.addDays(-day)));
        for (int day : {3, 30})
            touch(backup::newBackupFile(companyDir, backup::BackupKind::Manual, now.addDays(-day)));
    }
    static void touch(const QString& file) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QList<backup::BackupFile> of(backup::BackupKind kind) {
        QList<backup::BackupFile> list;
        for (const backup::BackupFile& file : backup::listBackups(companyDir))
            if (file.kind == kind)
                list << file;
        return list;
    }
};

TEST_P(DailyBackup, KeepsExactlyTheConfiguredNumberOfTheNewest) {
    const int keep = GetParam();
    const backup::DailyBackupOutcome outcome = backup::takeDailyBackup(companyDir, keep);
    ASSERT_TRUE(outcome.taken.has_value());
    const QList<backup::BackupFile> automatic = of(backup::BackupKind::Automatic);
    ASSERT_EQ(automatic.size(), keep);
    EXPECT_EQ(automatic.first().path, outcome.taken->file);
    EXPECT_EQ(automatic.first().taken.date(), QDate::currentDate());
    // The newest: today, then yesterday and so on.
    for (int i = 1; i < keep; ++i)
        EXPECT_EQ(automatic[i].taken.date(), QDate::currentDate().addDays(-i));
    EXPECT_EQ(outcome.removed.size(), 21 - keep);
    EXPECT_EQ(of(backup::BackupKind::Manual).size(), 2);
}

INSTANTIATE_TEST_SUITE_P(Kept, DailyBackup, ::testing::Values(1, 5, 14),
                         [](const auto& info) { return "Keep" + std::to_string(info.param); });

using DailyBackupOnce = DailyBackup;

TEST_F(DailyBackupOnce, IsTakenOnlyOnTheFirstOpeningOfADay) {
    ASSERT_TRUE(backup::takeDailyBackup(companyDir, 14).taken.has_value());
    const backup::DailyBackupOutcome again = backup::takeDailyBackup(companyDir, 14);
    EXPECT_FALSE(again.taken.has_value());
    EXPECT_TRUE(again.removed.isEmpty());
    EXPECT_EQ(of(backup::BackupKind::Automatic).size(), 14);
}

TEST_F(DailyBackupOnce, ZeroSwitchesItOffAndDeletesNothing) {
    const backup::DailyBackupOutcome outcome = backup::takeDailyBackup(companyDir, 0);
    EXPECT_FALSE(outcome.taken.has_value());
    EXPECT_EQ(of(backup::BackupKind::Automatic).size(), 20);
}

} // namespace
} // namespace backuptest
