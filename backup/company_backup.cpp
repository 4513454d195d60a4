#include "backup/company_backup.h"

#include "backup/backup_error.h"
#include "backup/damaged_database_message.h"
#include "backup/page_copy.h"
#include "backup/partial_file.h"
#include "platform/db/drivers/sqlite/directory_lock.h"
#include "platform/db/drivers/sqlite/integrity_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace backup {

using db::sqlite::checkIntegrity;
using db::sqlite::DirectoryLock;
using db::sqlite::hasDatabaseHeader;
using db::sqlite::IntegrityReport;
namespace {

using Kind = base::DatabaseError::Kind;

// How long a backup waits for a restore of the company to end.
constexpr std::chrono::seconds kWaitForRestore(10);

[[noreturn]] void damaged(const QString& company, const QString& file, const QString& engineText) {
    throw base::DatabaseError(damagedDatabaseMessage(company, file, engineText), Kind::Damaged);
}

} // namespace

BackupOutcome backupCompany(const QString& companyDirectory, const QString& target, BackupKind kind,
                            const Progress& progress) {
    const company::CompanyDirectory opened =
        openCompany(companyDirectory, company::Holds::DatabaseFile);
    const QString& company = opened.path;
    const QString& database = opened.databaseFile;
    if (!hasDatabaseHeader(database))
        damaged(company, database, QStringLiteral("file is not a database"));

    QString finalName;
    if (target.isEmpty()) {
        if (!QDir().mkpath(backupDirectory(company)))
            throw base::DatabaseError(
                QStringLiteral("Nu se poate crea directorul copiilor de siguranță %1.")
                    .arg(QDir::toNativeSeparators(backupDirectory(company))));
        finalName = newBackupFile(company, kind, QDateTime::currentDateTime());
    } else {
        finalName = checkedFileName(target);
        if (QFileInfo::exists(finalName))
            throw BackupRefused(QStringLiteral("Fișierul %1 există deja; alegeți alt nume.")
                                    .arg(QDir::toNativeSeparators(finalName)));
        if (!QFileInfo(QFileInfo(finalName).absolutePath()).isDir())
            throw BackupRefused(
                QStringLiteral("Directorul %1 nu există.")
                    .arg(QDir::toNativeSeparators(QFileInfo(finalName).absolutePath())));
    }

    const DirectoryLock lock =
        DirectoryLock::acquire(company, DirectoryLock::Mode::Shared, kWaitForRestore);
    if (lock.state() == DirectoryLock::State::InUse)
        throw BackupRefused(QStringLiteral("Firma din %1 este în curs de restaurare; încercați din "
                                           "nou după ce restaurarea se termină.")
                                .arg(QDir::toNativeSeparators(company)));

    PartialFile file(finalName);
    BackupOutcome outcome;
    outcome.file = finalName;
    {
        const RawDatabase source(database, false);
        try {
            outcome.pages = copyPages(source.handle(), file.tempName(), progress);
        } catch (const base::DatabaseError& e) {
            if (e.kind() == Kind::Damaged)
                damaged(company, database, e.message());
            throw;
        }
    }
    const IntegrityReport report = checkIntegrity(
        file.tempName(), [&] { return !progress || progress(Stage::Checking, 0, 0); });
    if (report.status == IntegrityReport::Status::Cancelled)
        throw BackupCancelled(QStringLiteral("Oprită la cerere."));
    if (!report.isSound())
        // The copy holds the pages of the database as they are: the database is damaged.
        damaged(company, database, report.summary());
    // A backup holds every figure of the company: readable by its owner only.
    if (!QFile::setPermissions(file.tempName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw base::DatabaseError(QStringLiteral("Nu se pot stabili drepturile copiei %1.")
                                      .arg(QDir::toNativeSeparators(file.tempName())));
    file.place(false);
    outcome.bytes = QFileInfo(finalName).size();
    return outcome;
}

} // namespace backup
