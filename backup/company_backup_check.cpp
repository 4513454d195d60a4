#include "backup/company_backup_check.h"

#include "backup/backup_error.h"
#include "platform/db/drivers/sqlite/integrity_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace backup {

using db::sqlite::checkIntegrity;
using db::sqlite::IntegrityReport;

QStringList companyCoreTables() {
    // The catalogue of articles, the stock and the goods receipts: every company has them from
    // the moment the host first opens it.
    return {QStringLiteral("CATALOG"), QStringLiteral("Stoc"), QStringLiteral("Doc_in"),
            QStringLiteral("Item_in")};
}

QString whyNotACompanyBackup(const QString& file, const Progress& progress) {
    const QString name = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    const IntegrityReport report =
        checkIntegrity(file, [&] { return !progress || progress(Stage::Checking, 0, 0); });
    switch (report.status) {
    case IntegrityReport::Status::Missing:
        return QStringLiteral("Fișierul %1 nu există.").arg(name);
    case IntegrityReport::Status::NotADatabase:
        return QStringLiteral("Fișierul %1 nu este o copie de siguranță a unei firme: nu este o "
                              "bază de date.")
            .arg(name);
    case IntegrityReport::Status::Damaged:
        return QStringLiteral("Fișierul %1 nu trece verificarea integrității: %2.")
            .arg(name, report.summary());
    case IntegrityReport::Status::Cancelled:
        throw BackupCancelled(QStringLiteral("Oprită la cerere."));
    case IntegrityReport::Status::Sound:
        break;
    }

    sqlite3* db = nullptr;
    QStringList missing;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 "
                           "COLLATE NOCASE",
                           -1, &stmt, nullptr);
        for (const QString& table : companyCoreTables()) {
            const QByteArray utf8 = table.toUtf8();
            sqlite3_reset(stmt);
            sqlite3_bind_text(stmt, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            if (!stmt || sqlite3_step(stmt) != SQLITE_ROW)
                missing << table;
        }
        sqlite3_finalize(stmt);
    } else {
        missing = companyCoreTables();
    }
    sqlite3_close(db);
    if (!missing.isEmpty())
        return QStringLiteral("Fișierul %1 nu este o copie de siguranță a unei firme: îi lipsesc "
                              "tabelele %2.")
            .arg(name, missing.join(QStringLiteral(", ")));
    return QString();
}

} // namespace backup
