#pragma once
// The integrity check of one database file: whether it is an SQLite database at all, and what
// SQLite's PRAGMA integrity_check finds in it. The file is opened read-only and left as it was,
// unless a crash left a journal beside it: that is played back first, as any opening does.
#include <QString>
#include <QStringList>

#include <functional>

namespace db::sqlite {

struct IntegrityReport {
    enum class Status {
        Sound,        // integrity_check answered "ok"
        Damaged,      // the check found problems, or the file could not be read through
        NotADatabase, // no SQLite header: another kind of file, or an empty one
        Missing,      // no such file
        Cancelled     // keepGoing answered false
    };
    Status status = Status::Missing;
    QStringList problems; // integrity_check's findings or the engine's message, at most 20
    qint64 pages = 0;

    bool isSound() const { return status == Status::Sound; }
    // One line for a person: the first problem and how many more.
    QString summary() const;
};

// Checks file. keepGoing is asked every few thousand steps of the check; false stops it.
IntegrityReport checkIntegrity(const QString& file, const std::function<bool()>& keepGoing = {});

// True when the file starts with SQLite's header ("SQLite format 3").
bool hasDatabaseHeader(const QString& file);

} // namespace db::sqlite
