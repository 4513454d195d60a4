// lumbra backup COMPANY [FILE]: a checked backup of the company's database, taken while the
// company may be in use.
#include "backup/backup_error.h"
#include "backup/company_backup.h"
#include "cli/backup_progress_line.h"
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/interruption.h"
#include "cli/server_backup.h"
#include "platform/db/connection.h"

#include <QDir>
#include <QTextStream>

namespace cli {

int runBackup(const QStringList& args, Console& console) {
    CommandOptions options(
        QStringLiteral("lumbra backup FIRMA [FISIER]"),
        QStringLiteral(
            "Salvează baza de date a firmei într-o copie de siguranță, cu copierea online a\n"
            "SQLite: firma poate fi folosită în timpul salvării, iar copia este o stare întreagă "
            "a\n"
            "bazei de date. Copia este verificată cu PRAGMA integrity_check înainte să primească\n"
            "numele. Fără FISIER ea merge în directorul backup al firmei, cu data și ora în nume\n"
            "(salvare-AAAA-LL-ZZ-HHMMSS.sqlite); un FISIER care există nu este suprascris.\n"
            "Ctrl+C oprește salvarea fără să lase vreun fișier."),
        QStringLiteral("lumbra backup ~/lumbra-demo"));
    int status = 0;
    if (!options.parse(args, 1, 2, console, status))
        return status;
    return guarded(console, [&] {
        // A company whose tables are on a server is copied by the server's own dump.
        const QString server = db::serverLocationOf(options.positional()[0]);
        if (!server.isEmpty())
            return backupServerCompany(options.positional()[0], server,
                                       options.positional().value(1), console);
        const Interruption interruption;
        BackupProgressLine progress(QStringLiteral("Salvare"));
        try {
            const backup::BackupOutcome done =
                backup::backupCompany(options.positional()[0], options.positional().value(1),
                                      backup::BackupKind::Manual, progress.callback());
            console.out << QStringLiteral("Copia de siguranță a fost scrisă și verificată: %1 "
                                          "(%2 pagini, %3 MB)\n")
                               .arg(QDir::toNativeSeparators(done.file))
                               .arg(done.pages)
                               .arg(QString::number(double(done.bytes) / (1024 * 1024), 'f', 1)
                                        .replace(QLatin1Char('.'), QLatin1Char(',')));
        } catch (const backup::BackupCancelled&) {
            refuse(QStringLiteral("Salvarea a fost oprită; nu s-a scris nicio copie."));
        } catch (const backup::BackupRefused& e) {
            refuse(e.message());
        }
        return int(ExitOk);
    });
}

} // namespace cli
