#include "backup/page_copy.h"

#include "backup/backup_error.h"

#include <QFile>

#include <chrono>
#include <sqlite3.h>
#include <thread>

namespace backup {
namespace {

using Clock = std::chrono::steady_clock;

// Pages per step: small enough to answer a cancel and redraw progress promptly, large enough
// that the steps cost nothing next to the copying.
constexpr int kPagesPerStep = 512;
// Restarts caused by other connections' writes before the rest is copied in one step.
constexpr int kRestartsBeforeOneStep = 3;
// How long the source may stay locked by another user before the backup gives up.
constexpr auto kBusyLimit = std::chrono::seconds(30);

base::DatabaseError::Kind kindOf(int rc) {
    switch (rc & 0xff) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return base::DatabaseError::Kind::Damaged;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return base::DatabaseError::Kind::Busy;
    default:
        return base::DatabaseError::Kind::General;
    }
}

[[noreturn]] void fail(int rc, const QString& message) {
    throw base::DatabaseError(message.isEmpty() ? QString::fromUtf8(sqlite3_errstr(rc)) : message,
                              kindOf(rc));
}

} // namespace

RawDatabase::RawDatabase(const QString& file, bool readOnly) {
    const int flags =
        (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
        SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
        sqlite3_close(m_db);
        m_db = nullptr;
        fail(rc, QStringLiteral("%1: %2").arg(file, message));
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 30000);
}

RawDatabase::~RawDatabase() {
    sqlite3_close_v2(m_db);
}

qint64 copyPages(sqlite3* source, const QString& target, const Progress& progress) {
    RawDatabase destination(target, false);
    sqlite3_backup* copy = sqlite3_backup_init(destination.handle(), "main", source, "main");
    if (!copy)
        fail(sqlite3_errcode(destination.handle()),
             QString::fromUtf8(sqlite3_errmsg(destination.handle())));

    int restarts = 0;
    int lastRemaining = -1;
    bool oneStep = false;
    auto lastMove = Clock::now();
    int rc = SQLITE_OK;
    qint64 total = 0;
    for (;;) {
        rc = sqlite3_backup_step(copy, oneStep ? -1 : kPagesPerStep);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            if (Clock::now() - lastMove > kBusyLimit)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        if (rc != SQLITE_OK && rc != SQLITE_DONE)
            break;
        lastMove = Clock::now();
        const int remaining = sqlite3_backup_remaining(copy);
        total = sqlite3_backup_pagecount(copy);
        if (lastRemaining >= 0 && remaining > lastRemaining && ++restarts >= kRestartsBeforeOneStep)
            oneStep = true;
        lastRemaining = remaining;
        if (progress && !progress(Stage::Copying, total - remaining, total)) {
            sqlite3_backup_finish(copy);
            throw BackupCancelled(QStringLiteral("Oprită la cerere."));
        }
        if (rc == SQLITE_DONE)
            break;
    }
    if (rc != SQLITE_DONE) {
        sqlite3_backup_finish(copy);
        fail(rc, rc == SQLITE_BUSY || rc == SQLITE_LOCKED
                     ? QStringLiteral("Baza de date a rămas blocată de alt utilizator.")
                     : QString::fromUtf8(sqlite3_errstr(rc)));
    }
    rc = sqlite3_backup_finish(copy);
    if (rc != SQLITE_OK)
        fail(rc, QString::fromUtf8(sqlite3_errmsg(destination.handle())));
    return total;
}

} // namespace backup
