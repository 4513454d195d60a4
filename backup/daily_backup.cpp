#include "backup/daily_backup.h"

#include "backup/backup_catalog.h"

#include <QFile>

namespace backup {

bool hasAutomaticBackupOf(const QString& companyDirectory, const QDate& day) {
    for (const BackupFile& file : listBackups(companyDirectory))
        if (file.kind == BackupKind::Automatic && file.taken.date() == day)
            return true;
    return false;
}

QStringList rotateAutomaticBackups(const QString& companyDirectory, int keep) {
    QStringList removed;
    int kept = 0;
    for (const BackupFile& file : listBackups(companyDirectory)) { // newest first
        if (file.kind != BackupKind::Automatic)
            continue;
        if (kept < keep) {
            ++kept;
            continue;
        }
        if (QFile::remove(file.path))
            removed << file.path;
    }
    return removed;
}

DailyBackupOutcome takeDailyBackup(const QString& companyDirectory, int keep,
                                   const Progress& progress) {
    DailyBackupOutcome outcome;
    if (keep <= 0)
        return outcome;
    if (!hasAutomaticBackupOf(companyDirectory, QDate::currentDate()))
        outcome.taken = backupCompany(companyDirectory, QString(), BackupKind::Automatic, progress);
    outcome.removed = rotateAutomaticBackups(companyDirectory, keep);
    return outcome;
}

} // namespace backup
