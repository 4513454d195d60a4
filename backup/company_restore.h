#pragma once
// Puts a backup in the place of a company's database, so that a crash at any moment leaves
// either the old database or the new one under the company's name, never a mixture:
//   1. the company's exclusive lock is taken: refused while another program has it open;
//   2. the backup is copied beside the database under a temporary name and the copy checked
//      (integrity check and the company's tables): refused, with nothing changed, otherwise;
//   3. the database being replaced keeps a second name, "tables-inlocuit-<date>.sqlite", by a
//      hard link (a journal left by a crash goes with it), so the restore can itself be undone
//      by restoring that file;
//   4. one atomic rename puts the copy in the database's place.
#include "backup/backup_progress.h"

#include <QString>

namespace backup {

struct RestoreOutcome {
    QString replacedFile; // empty when the company had no database
    qint64 pages = 0;
};

// Throws BackupRefused (no company directory, a file that is not a sound company backup, the
// company open in another program or connection), BackupCancelled, or base::DatabaseError.
RestoreOutcome restoreCompany(const QString& companyDirectory, const QString& backupFile,
                              const Progress& progress = {});

} // namespace backup
