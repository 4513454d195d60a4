// lumbra restore COMPANY FILE: puts a checked backup in the place of the company's database,
// keeping the database it replaces.
#include "backup/backup_error.h"
#include "backup/company_restore.h"
#include "cli/backup_progress_line.h"
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/interruption.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace cli {

int runRestore(const QStringList& args, Console& console) {
    CommandOptions options(
        QStringLiteral("lumbra restore FIRMA FISIER"),
        QStringLiteral(
            "Înlocuiește baza de date a firmei cu copia de siguranță FISIER. Copia este "
            "verificată\n"
            "întâi (o bază de date cu tabelele unei firme, care trece PRAGMA integrity_check); un\n"
            "fișier care nu trece este refuzat și firma rămâne neschimbată. Firma trebuie să fie\n"
            "închisă în toate programele. Baza de date înlocuită rămâne în directorul firmei ca\n"
            "tables-inlocuit-AAAA-LL-ZZ-HHMMSS.sqlite: restaurarea ei anulează restaurarea.\n"
            "Ctrl+C oprește restaurarea înainte de înlocuire; firma rămâne atunci neschimbată."),
        QStringLiteral("lumbra restore ~/lumbra-demo ~/lumbra-demo/backup/"
                       "salvare-2025-03-14-171500.sqlite"));
    int status = 0;
    if (!options.parse(args, 2, 2, console, status))
        return status;
    return guarded(console, [&] {
        const Interruption interruption;
        BackupProgressLine progress(QStringLiteral("Restaurare"));
        const QString company = QDir(options.positional()[0]).absolutePath();
        const QString file = QFileInfo(options.positional()[1]).absoluteFilePath();
        try {
            const backup::RestoreOutcome done =
                backup::restoreCompany(company, file, progress.callback());
            console.out << QStringLiteral("Firma din %1 a fost restaurată din %2 (%3 pagini).\n")
                               .arg(QDir::toNativeSeparators(company),
                                    QDir::toNativeSeparators(file))
                               .arg(done.pages);
            if (!done.replacedFile.isEmpty())
                console.out << QStringLiteral("Baza de date înlocuită a fost păstrată ca %1; "
                                              "restaurarea ei anulează această restaurare.\n")
                                   .arg(QDir::toNativeSeparators(done.replacedFile));
        } catch (const backup::BackupCancelled&) {
            refuse(QStringLiteral("Restaurarea a fost oprită; firma a rămas neschimbată."));
        } catch (const backup::BackupRefused& e) {
            refuse(e.message());
        }
        return int(ExitOk);
    });
}

} // namespace cli
