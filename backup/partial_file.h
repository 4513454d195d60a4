#pragma once
// A file written under a temporary name beside its final one and moved into place whole, so
// that a crash, a failure or a cancel never leaves a half-written file under the final name.
// Until place() succeeds the destructor removes the temporary file (and the journal SQLite may
// have left beside it).
#include <QString>

namespace backup {

class PartialFile {
public:
    // The temporary name is finalName + ".partial"; a leftover of that name is removed.
    explicit PartialFile(QString finalName);
    ~PartialFile();
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    const QString& tempName() const { return m_temp; }
    const QString& finalName() const { return m_final; }

    // Flushes the temporary file to the disk and renames it to the final name in one atomic
    // step, then flushes the directory. With replace false a file that took the final name in
    // the meantime is kept and BackupRefused thrown. Throws base::DatabaseError when the
    // system refuses.
    void place(bool replace);

private:
    QString m_final;
    QString m_temp;
    bool m_placed = false;
};

// Flushes a file's or a directory's contents to the disk; throws base::DatabaseError.
void syncToDisk(const QString& path);
// Removes a database file's companions left by SQLite (-journal, -wal, -shm).
void removeDatabaseCompanions(const QString& file);

} // namespace backup
