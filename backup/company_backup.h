#pragma once
// A backup of a company's database, taken while the company may be in use: copied with SQLite's
// online backup API (never a file copy of a live database) to a temporary name, checked with
// PRAGMA integrity_check, and only then given its name. A cancelled or failed backup leaves no
// file. The backup holds the company's shared lock, so no restore replaces the database under it.
#include "backup/backup_catalog.h"
#include "backup/backup_progress.h"

#include <QString>

namespace backup {

struct BackupOutcome {
    QString file;
    qint64 pages = 0;
    qint64 bytes = 0;
};

// Backs up the company in companyDirectory to target, or, when target is empty, to a new file of
// the company's backup folder named after kind and the time (the folder is created when
// missing). Throws BackupRefused (no company there, target exists, a restore in progress),
// BackupCancelled, or base::DatabaseError (kind Damaged, with the damaged-database message, when
// the database or its copy is damaged).
BackupOutcome backupCompany(const QString& companyDirectory, const QString& target = QString(),
                            BackupKind kind = BackupKind::Manual, const Progress& progress = {});

} // namespace backup
