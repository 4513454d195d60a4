#include "cli/server_backup.h"

#include "cli/command_error.h"
#include "cli/commands.h"
#include "platform/db/drivers/postgres/connection.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace cli {

namespace {

// pg_dump from the path, else from the server package's own folder.
QString dumpProgram() {
    QString found = QStandardPaths::findExecutable(QStringLiteral("pg_dump"));
    if (!found.isEmpty())
        return found;
    const QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& v : versions) {
        const QString candidate = QStringLiteral("/usr/lib/postgresql/%1/bin/pg_dump").arg(v);
        if (QFileInfo(candidate).isExecutable())
            found = candidate;
    }
    return found;
}

} // namespace

int backupServerCompany(const QString& company, const QString& server, const QString& file,
                        Console& console) {
    const db::postgres::ServerLocation where = db::postgres::parseServerLocation(server);
    if (!where.valid)
        refuse(where.problem);
    QString target = file;
    if (target.isEmpty()) {
        const QString folder = QDir(company).filePath(QStringLiteral("backup"));
        if (!QDir().mkpath(folder))
            refuse(QStringLiteral("Directorul %1 nu poate fi creat.")
                       .arg(QDir::toNativeSeparators(folder)));
        target = QDir(folder).filePath(
            QStringLiteral("salvare-%1.dump")
                .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"))));
    }
    target = QFileInfo(target).absoluteFilePath();
    if (QFileInfo::exists(target))
        refuse(QStringLiteral("Fișierul %1 există deja; nu este suprascris.")
                   .arg(QDir::toNativeSeparators(target)));
    const QString program = dumpProgram();
    if (program.isEmpty())
        refuse(
            QStringLiteral(
                "Firma este pe serverul %1, iar copia ei se face cu pg_dump, care nu este instalat "
                "(pachetul postgresql-client).")
                .arg(server));
    const QString partial = target + QStringLiteral(".partial");
    QFile::remove(partial);
    QProcess dump;
    dump.start(program,
               {QStringLiteral("--format=custom"), QStringLiteral("--schema=") + where.schema,
                QStringLiteral("--file=") + partial,
                QStringLiteral("--dbname=") + where.connection});
    if (!dump.waitForFinished(-1) || dump.exitStatus() != QProcess::NormalExit ||
        dump.exitCode() != 0) {
        QFile::remove(partial);
        throw CommandError(
            ExitDatabaseError,
            QStringLiteral(
                "Copia firmei de pe serverul %1 nu a putut fi făcută: %2\nNu s-a scris nimic.")
                .arg(server, QString::fromUtf8(dump.readAllStandardError()).trimmed()));
    }
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        refuse(QStringLiteral("Copia nu a putut primi numele %1.")
                   .arg(QDir::toNativeSeparators(target)));
    }
    console.out << QStringLiteral(
                       "Firma este pe serverul %1: copia schemei %2 a fost scrisă cu pg_dump în %3 "
                       "(%4 MB); se restaurează cu pg_restore.\n")
                       .arg(
                           server, where.schema, QDir::toNativeSeparators(target),
                           QString::number(double(QFileInfo(target).size()) / (1024 * 1024), 'f', 1)
                               .replace(QLatin1Char('.'), QLatin1Char(',')));
    return int(ExitOk);
}

} // namespace cli
