#pragma once
// The automatic backup of a company, taken the first time it is opened on a day, and the
// rotation that keeps the newest `keep` automatic backups. Backups a person took are never
// touched. keep 0 (or less) switches the automatic backup off.
#include "backup/company_backup.h"

#include <QDate>
#include <QStringList>

#include <optional>

namespace backup {

inline constexpr int kDefaultDailyBackupsKept = 14;

// True when the company has an automatic backup taken on day.
bool hasAutomaticBackupOf(const QString& companyDirectory, const QDate& day);

// Deletes the oldest automatic backups beyond the newest keep; answers the files deleted.
QStringList rotateAutomaticBackups(const QString& companyDirectory, int keep);

struct DailyBackupOutcome {
    std::optional<BackupOutcome> taken; // none when today's existed or keep is 0
    QStringList removed;
};

// Takes today's automatic backup unless the company has one, then rotates. Throws what
// backupCompany throws; nothing is rotated after a failed backup.
DailyBackupOutcome takeDailyBackup(const QString& companyDirectory, int keep,
                                   const Progress& progress = {});

} // namespace backup
