#include "backup/company_restore.h"

#include "backup/backup_catalog.h"
#include "backup/backup_error.h"
#include "backup/company_backup_check.h"
#include "backup/page_copy.h"
#include "backup/partial_file.h"
#include "platform/db/drivers/sqlite/directory_lock.h"
#include "platform/db/drivers/sqlite/integrity_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sqlite3.h>
#include <unistd.h>

namespace backup {

using db::sqlite::DirectoryLock;
using db::sqlite::hasDatabaseHeader;
namespace {

// A program that opens the company at the same moment lets go at once or not at all.
constexpr std::chrono::milliseconds kWaitForUsers(500);

// A crash in the middle of a write leaves a journal that SQLite plays back when the database
// is next opened. Played back now, while the file still has its name, rather than later against
// the restored file. A damaged database may not play back: its journal then goes with it.
void settleJournal(const QString& database) {
    if (!QFileInfo::exists(database + QStringLiteral("-journal")) &&
        !QFileInfo::exists(database + QStringLiteral("-wal")))
        return;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(database).constData(), &db, SQLITE_OPEN_READWRITE,
                        nullptr) == SQLITE_OK)
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Gives the database a second name; its leftover companions move to that name.
void keepReplaced(const QString& database, const QString& replaced) {
    const QByteArray from = QFile::encodeName(database);
    const QByteArray to = QFile::encodeName(replaced);
    if (::link(from.constData(), to.constData()) != 0) {
        const int error = errno;
        // A file system without hard links: a copy, which nobody can change while the lock holds.
        if ((error != EPERM && error != EOPNOTSUPP) || !QFile::copy(database, replaced))
            throw base::DatabaseError(
                QStringLiteral("Baza de date înlocuită nu poate fi păstrată ca %1: %2. Nu s-a "
                               "schimbat nimic.")
                    .arg(QDir::toNativeSeparators(replaced),
                         QString::fromLocal8Bit(std::strerror(error))));
    }
    for (const QString& suffix : {QStringLiteral("-journal"), QStringLiteral("-wal")})
        if (QFileInfo::exists(database + suffix))
            QFile::rename(database + suffix, replaced + suffix);
    QFile::remove(database + QStringLiteral("-shm"));
    syncToDisk(replaced);
}

} // namespace

RestoreOutcome restoreCompany(const QString& companyDirectory, const QString& backupFile,
                              const Progress& progress) {
    // A restore may bring back the database of a directory that has lost it.
    const company::CompanyDirectory opened =
        openCompany(companyDirectory, company::Holds::Directory);
    const QString& company = opened.path;
    const QString& database = opened.databaseFile;
    const QFileInfo source(checkedFileName(backupFile));
    const QString sourceName = QDir::toNativeSeparators(source.absoluteFilePath());
    if (!source.isFile())
        throw BackupRefused(QStringLiteral("Fișierul %1 nu există.").arg(sourceName));
    if (QFileInfo::exists(database) &&
        source.canonicalFilePath() == QFileInfo(database).canonicalFilePath())
        throw BackupRefused(
            QStringLiteral("Fișierul %1 este chiar baza de date a firmei.").arg(sourceName));
    if (!hasDatabaseHeader(source.absoluteFilePath()))
        throw BackupRefused(QStringLiteral("Fișierul %1 nu este o copie de siguranță a unei firme: "
                                           "nu este o bază de date. Firma a rămas neschimbată.")
                                .arg(sourceName));

    const DirectoryLock lock =
        DirectoryLock::acquire(company, DirectoryLock::Mode::Exclusive, kWaitForUsers);
    if (lock.state() == DirectoryLock::State::InUse)
        throw BackupRefused(
            QStringLiteral("Firma din %1 este deschisă în alt program. Închideți-o peste tot și "
                           "încercați din nou; firma a rămas neschimbată.")
                .arg(QDir::toNativeSeparators(company)));

    PartialFile copy(database);
    RestoreOutcome outcome;
    {
        const RawDatabase from(source.absoluteFilePath(), true);
        try {
            outcome.pages = copyPages(from.handle(), copy.tempName(), progress);
        } catch (const base::DatabaseError& e) {
            if (e.kind() != base::DatabaseError::Kind::Damaged)
                throw;
            throw BackupRefused(QStringLiteral("Fișierul %1 nu trece verificarea integrității: %2. "
                                               "Firma a rămas neschimbată.")
                                    .arg(sourceName, e.message()));
        }
    }
    const QString problem = whyNotACompanyBackup(copy.tempName(), progress);
    if (!problem.isEmpty()) {
        // The reason names the temporary copy; the person chose the backup.
        QString reason = problem;
        reason.replace(QDir::toNativeSeparators(QFileInfo(copy.tempName()).absoluteFilePath()),
                       sourceName);
        throw BackupRefused(reason + QStringLiteral(" Firma a rămas neschimbată."));
    }

    if (QFileInfo::exists(database)) {
        settleJournal(database);
        outcome.replacedFile = replacedDatabaseFile(company, QDateTime::currentDateTime());
        keepReplaced(database, outcome.replacedFile);
    }
    copy.place(true);
    return outcome;
}

} // namespace backup
