// lumbra check COMPANY: the integrity check of the company's database.
#include "backup/backup_catalog.h"
#include "backup/damaged_database_message.h"
#include "cli/backup_progress_line.h"
#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/interruption.h"
#include "platform/db/drivers/sqlite/directory_lock.h"
#include "platform/db/drivers/sqlite/integrity_check.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace cli {

int runCheck(const QStringList& args, Console& console) {
    CommandOptions options(
        QStringLiteral("lumbra check FIRMA"),
        QStringLiteral(
            "Verifică baza de date a firmei cu PRAGMA integrity_check, fără să scrie nimic în ea.\n"
            "Starea 0: baza de date este întreagă; 2: este deteriorată, cu problemele găsite și\n"
            "cea mai recentă copie de siguranță care trece verificarea."),
        QStringLiteral("lumbra check ~/lumbra-demo"));
    int status = 0;
    if (!options.parse(args, 1, 1, console, status))
        return status;
    return guarded(console, [&] {
        const company::CompanyDirectory opened =
            openCompany(options.positional()[0], company::Holds::DatabaseFile);
        const QString& company = opened.path;
        const QString& file = opened.databaseFile;
        // Checked as it is, not while a restore replaces it.
        const db::sqlite::DirectoryLock lock = db::sqlite::DirectoryLock::acquire(
            company, db::sqlite::DirectoryLock::Mode::Shared, std::chrono::seconds(10));
        if (lock.state() == db::sqlite::DirectoryLock::State::InUse)
            refuse(QStringLiteral("Firma din %1 este în curs de restaurare; încercați din nou după "
                                  "ce restaurarea se termină.")
                       .arg(QDir::toNativeSeparators(company)));
        const Interruption interruption;
        BackupProgressLine progress{QString()};
        const backup::Progress ask = progress.callback();
        const db::sqlite::IntegrityReport report =
            db::sqlite::checkIntegrity(file, [&] { return ask(backup::Stage::Checking, 0, 0); });
        switch (report.status) {
        case db::sqlite::IntegrityReport::Status::Sound:
            console.out << QStringLiteral("Baza de date a firmei din %1 este întreagă: %2 trece "
                                          "verificarea integrității (%3 pagini).\n")
                               .arg(QDir::toNativeSeparators(company),
                                    QDir::toNativeSeparators(file))
                               .arg(report.pages);
            return int(ExitOk);
        case db::sqlite::IntegrityReport::Status::Cancelled:
            refuse(QStringLiteral("Verificarea a fost oprită."));
        case db::sqlite::IntegrityReport::Status::Missing:
            refuse(QStringLiteral("Fișierul %1 nu există.").arg(QDir::toNativeSeparators(file)));
        case db::sqlite::IntegrityReport::Status::NotADatabase:
        case db::sqlite::IntegrityReport::Status::Damaged:
            break;
        }
        const QString engineText =
            report.status == db::sqlite::IntegrityReport::Status::NotADatabase
                ? QStringLiteral("file is not a database")
                : report.problems.value(0, QStringLiteral("database disk image is malformed"));
        console.err << backup::damagedDatabaseMessage(company, file, engineText) << '\n';
        if (report.problems.size() > 1) {
            console.err << QStringLiteral("\nProblemele găsite:\n");
            for (const QString& problem : report.problems)
                console.err << QStringLiteral("  ") << problem << '\n';
        }
        return int(ExitDatabaseError);
    });
}

} // namespace cli
