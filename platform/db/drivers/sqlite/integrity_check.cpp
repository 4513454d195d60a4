#include "platform/db/drivers/sqlite/integrity_check.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace db::sqlite {
namespace {

constexpr int kMostProblems = 20;

int askToGoOn(void* data) {
    const auto* keepGoing = static_cast<const std::function<bool()>*>(data);
    return (*keepGoing)() ? 0 : 1;
}

IntegrityReport failure(IntegrityReport::Status status, const QString& problem) {
    IntegrityReport report;
    report.status = status;
    if (!problem.isEmpty())
        report.problems << problem;
    return report;
}

} // namespace

QString IntegrityReport::summary() const {
    if (problems.isEmpty())
        return QString();
    if (problems.size() == 1)
        return problems.first();
    return QStringLiteral("%1 (și alte %2 probleme)")
        .arg(problems.first())
        .arg(problems.size() - 1);
}

bool hasDatabaseHeader(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(16) == QByteArray("SQLite format 3", 16);
}

IntegrityReport checkIntegrity(const QString& file, const std::function<bool()>& keepGoing) {
    if (!QFileInfo(file).isFile())
        return failure(IntegrityReport::Status::Missing, QString());
    if (!hasDatabaseHeader(file))
        return failure(IntegrityReport::Status::NotADatabase, QString());

    // A journal left by a crash is played back first, as any program opening the file would;
    // a read-only connection could not, and would report the file unreadable.
    const bool journalLeft = QFileInfo::exists(file + QStringLiteral("-journal")) ||
                             QFileInfo::exists(file + QStringLiteral("-wal"));
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db,
                             (journalLeft ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) |
                                 SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        sqlite3_close(db);
        return failure(IntegrityReport::Status::Damaged, message);
    }
    sqlite3_busy_timeout(db, 30000);
    if (keepGoing)
        sqlite3_progress_handler(db, 4000, &askToGoOn,
                                 const_cast<std::function<bool()>*>(&keepGoing));

    IntegrityReport report;
    report.status = IntegrityReport::Status::Sound;
    sqlite3_stmt* stmt = nullptr;
    rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check(20)", -1, &stmt, nullptr);
    bool saidOk = false;
    while (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const QString line =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        if (line == QLatin1String("ok"))
            saidOk = true;
        else if (report.problems.size() < kMostProblems)
            report.problems << line;
        rc = SQLITE_OK;
    }
    if (rc == SQLITE_INTERRUPT) {
        report = failure(IntegrityReport::Status::Cancelled, QString());
    } else if (rc != SQLITE_DONE) {
        report = failure((rc & 0xff) == SQLITE_NOTADB ? IntegrityReport::Status::NotADatabase
                                                      : IntegrityReport::Status::Damaged,
                         QString::fromUtf8(sqlite3_errmsg(db)));
    } else if (!saidOk || !report.problems.isEmpty()) {
        report.status = IntegrityReport::Status::Damaged;
    }
    sqlite3_finalize(stmt);

    if (report.isSound()) {
        sqlite3_stmt* count = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA page_count", -1, &count, nullptr) == SQLITE_OK &&
            sqlite3_step(count) == SQLITE_ROW)
            report.pages = sqlite3_column_int64(count, 0);
        sqlite3_finalize(count);
    }
    sqlite3_close(db);
    return report;
}

} // namespace db::sqlite
