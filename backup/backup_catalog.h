#pragma once
// Where a company keeps its database and its backups, and what their files are called.
//
//   <company>/tables.sqlite                                the company database
//   <company>/backup/salvare-2026-12-08-115230.sqlite      a backup a person asked for
//   <company>/backup/automat-2026-12-08-081502.sqlite      the automatic backup of a day
//   <company>/tables-inlocuit-2026-12-08-120110.sqlite     a database a restore replaced
//
// The date and time in a name are local time. Only automatic backups are ever deleted by the
// program (by the daily rotation); the others stay until a person removes them.
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace backup {

enum class BackupKind { Manual, Automatic };

struct BackupFile {
    QString path;
    BackupKind kind = BackupKind::Manual;
    QDateTime taken; // from the name, else the file's modification time
};

QString databaseFile(const QString& companyDirectory);
QString backupDirectory(const QString& companyDirectory);

// A file name for a new backup taken at `when` that no file has yet.
QString newBackupFile(const QString& companyDirectory, BackupKind kind, const QDateTime& when);
// The name under which a restore keeps the database it replaces.
QString replacedDatabaseFile(const QString& companyDirectory, const QDateTime& when);

// The ".sqlite" files of the company's backup folder, newest first.
QList<BackupFile> listBackups(const QString& companyDirectory);

// The newest backup that passes its integrity check, if any. The answer for a file is kept
// while its size and modification time stay the same, so asking again costs no second check.
std::optional<BackupFile> newestSoundBackup(const QString& companyDirectory);

} // namespace backup
