// lumbra move COMPANY --to-server ALIAS | --to-directory: moves a company's tables from its
// directory to a database server, or from the server back into the directory. The target must
// hold no tables; every table is counted on both sides before the move is kept. The company's
// own files stay in its directory, which then names the server in its file server.location.
#include "backup/damaged_database_message.h"
#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/database_copy.h"
#include "platform/db/session.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace cli {

namespace {

QString stamp() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
}

qint64 totalRows(const QList<db::CopiedTable>& tables) {
    qint64 n = 0;
    for (const db::CopiedTable& t : tables)
        n += t.rows;
    return n;
}

// Copies between two places, each through a session of its own.
QList<db::CopiedTable> copy(const QString& from, const QString& to) {
    db::Session session;
    backup::installDamagedDatabaseMessage(session);
    session.addAlias(QStringLiteral("SURSA"), from);
    session.addAlias(QStringLiteral("DESTINATIE"), to);
    db::Database source(QStringLiteral("SURSA"), &session);
    db::Database target(QStringLiteral("DESTINATIE"), &session);
    return db::copyDatabase(source, target);
}

} // namespace

int runMove(const QStringList& args, Console& console) {
    CommandOptions options(
        QStringLiteral("lumbra move FIRMA (--to-server ALIAS | --to-directory)"),
        QStringLiteral(
            "Mută tabelele firmei din directorul ei pe un server de baze de date, sau înapoi.\n"
            "ALIAS: postgres:<șir de conectare libpq> schema=<nume>; parola nu se scrie aici,\n"
            "ci în fișierul de parole al libpq (~/.pgpass) sau în fișierul de servicii.\n"
            "Destinația nu trebuie să conțină tabele; după mutare fiecare tabelă este numărată\n"
            "în ambele locuri. Fișierele firmei rămân în director, care numește serverul în\n"
            "fișierul server.location; baza de date locală este păstrată sub alt nume."),
        QStringLiteral(
            "lumbra move ~/lumbra-demo --to-server \"postgres:service=firma schema=brutarie\""));
    options.addOption({QStringLiteral("to-server"), QStringLiteral("Serverul și schema firmei."),
                       QStringLiteral("ALIAS")});
    options.addOption(
        {QStringLiteral("to-directory"), QStringLiteral("Înapoi în directorul firmei.")});
    int status = 0;
    if (!options.parse(args, 1, 1, console, status))
        return status;
    return guarded(console, [&] {
        const company::CompanyDirectory opened =
            openCompany(options.positional()[0], company::Holds::Directory);
        const QString& company = opened.path;
        const QString native = QDir::toNativeSeparators(company);
        const QString locationFile =
            QDir(company).filePath(QString::fromLatin1(db::kServerLocationFile));
        const QString& databaseFile = opened.databaseFile;
        const bool toServer = options.isSet(QStringLiteral("to-server"));
        if (toServer == options.isSet(QStringLiteral("to-directory")))
            refuse(QStringLiteral("Spuneți încotro: --to-server ALIAS sau --to-directory."));
        if (toServer) {
            const QString server = options.value(QStringLiteral("to-server")).trimmed();
            if (!db::isServerLocation(server))
                refuse(QStringLiteral("%1 nu numește un server: aliasul începe cu postgres:.")
                           .arg(server));
            if (QFileInfo::exists(locationFile))
                refuse(QStringLiteral("Firma din %1 este deja pe un server (%2).")
                           .arg(native, db::serverLocationOf(company)));
            openCompany(company, company::Holds::DatabaseFile);
            const QList<db::CopiedTable> tables = copy(company, server);
            QFile f(locationFile);
            if (!f.open(QIODevice::WriteOnly) ||
                f.write((server + QLatin1Char('\n')).toUtf8()) < 0 || !f.flush())
                refuse(
                    QStringLiteral(
                        "Tabelele au fost copiate pe server, dar fișierul %1 nu a putut fi scris; "
                        "firma rămâne în director.")
                        .arg(QDir::toNativeSeparators(locationFile)));
            f.close();
            const QString kept =
                QDir(company).filePath(QStringLiteral("tables-mutat-%1.sqlite").arg(stamp()));
            QFile::rename(databaseFile, kept);
            console.out
                << QStringLiteral(
                       "Firma din %1 a fost mutată pe serverul %2: %3 tabele, %4 înregistrări, "
                       "numărate în ambele locuri.\nBaza de date locală a fost păstrată ca %5.\n")
                       .arg(native, server)
                       .arg(tables.size())
                       .arg(totalRows(tables))
                       .arg(QDir::toNativeSeparators(kept));
            return int(ExitOk);
        }
        const QString server = db::serverLocationOf(company);
        if (server.isEmpty())
            refuse(QStringLiteral("Firma din %1 nu este pe un server.").arg(native));
        // The directory names the server no more while its own database is written.
        const QString aside = locationFile + QStringLiteral(".mutare");
        if (!QFile::rename(locationFile, aside))
            refuse(QStringLiteral("Fișierul %1 nu a putut fi redenumit.")
                       .arg(QDir::toNativeSeparators(locationFile)));
        QList<db::CopiedTable> tables;
        try {
            tables = copy(server, company);
        } catch (...) {
            QFile::rename(aside, locationFile);
            throw;
        }
        const QString kept =
            QDir(company).filePath(QStringLiteral("server-mutat-%1.location").arg(stamp()));
        QFile::rename(aside, kept);
        console.out
            << QStringLiteral(
                   "Firma de pe serverul %1 a fost mutată în %2: %3 tabele, %4 înregistrări, "
                   "numărate în ambele locuri.\nTabelele de pe server au rămas neatinse; "
                   "aliasul serverului a fost păstrat în %5.\n")
                   .arg(server, native)
                   .arg(tables.size())
                   .arg(totalRows(tables))
                   .arg(QDir::toNativeSeparators(kept));
        return int(ExitOk);
    });
}

} // namespace cli
