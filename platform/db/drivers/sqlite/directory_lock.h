#pragma once
// Tells whether the database of a company directory is in use. Every connection to a directory
// holds a shared lock on the file "tables.sqlite.lock" beside the database for as long as it is
// open; a restore takes the lock exclusively, so it never replaces a database that another
// program has open, and no program opens one while it is being replaced.
//
// The locks are flock() locks: they belong to one open file, so two connections of the same
// process count as two users, and the system drops them when a process ends, even by a crash.
// The lock file is never removed: removing it would let two holders lock two different files.
#include <QString>

#include <chrono>

namespace db::sqlite {

class DirectoryLock {
public:
    enum class Mode { Shared, Exclusive };
    enum class State {
        Held,       // the lock is ours until this object goes
        InUse,      // another holder kept it for the whole wait
        Unavailable // the lock file cannot be opened (a read-only directory): nothing to hold
    };

    DirectoryLock() = default;
    ~DirectoryLock();
    DirectoryLock(DirectoryLock&& other) noexcept;
    DirectoryLock& operator=(DirectoryLock&& other) noexcept;
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    // Takes the lock of directory, trying again for up to wait while another holder keeps it.
    static DirectoryLock acquire(const QString& directory, Mode mode,
                                 std::chrono::milliseconds wait);
    static QString lockFileName(const QString& directory);

    State state() const { return m_state; }
    bool isHeld() const { return m_state == State::Held; }
    void release();

private:
    int m_fd = -1;
    State m_state = State::Unavailable;
};

} // namespace db::sqlite
