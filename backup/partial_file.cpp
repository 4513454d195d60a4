#include "backup/partial_file.h"

#include "backup/backup_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace backup {
namespace {

[[noreturn]] void systemFailure(const QString& what, const QString& path, int error) {
    throw base::DatabaseError(QStringLiteral("%1 %2: %3")
                                  .arg(what, QDir::toNativeSeparators(path),
                                       QString::fromLocal8Bit(std::strerror(error))));
}

} // namespace

void syncToDisk(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        systemFailure(QStringLiteral("Nu se poate deschide"), path, errno);
    const int rc = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot flush a directory; the rename is then as safe as they allow.
    if (rc != 0 && error != EINVAL && error != EBADF)
        systemFailure(QStringLiteral("Nu se poate scrie pe disc"), path, error);
}

void removeDatabaseCompanions(const QString& file) {
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(file + QLatin1String(suffix));
}

PartialFile::PartialFile(QString finalName)
    : m_final(std::move(finalName)), m_temp(m_final + QStringLiteral(".partial")) {
    QFile::remove(m_temp);
    removeDatabaseCompanions(m_temp);
}

PartialFile::~PartialFile() {
    if (m_placed)
        return;
    QFile::remove(m_temp);
    removeDatabaseCompanions(m_temp);
}

void PartialFile::place(bool replace) {
    syncToDisk(m_temp);
    const QByteArray from = QFile::encodeName(m_temp);
    const QByteArray to = QFile::encodeName(m_final);
    if (replace) {
        if (::rename(from.constData(), to.constData()) != 0)
            systemFailure(QStringLiteral("Nu se poate redenumi"), m_temp, errno);
    } else {
        // A link fails when the final name exists, where a rename would overwrite it.
        if (::link(from.constData(), to.constData()) != 0) {
            const int error = errno;
            if (error == EEXIST)
                throw BackupRefused(QStringLiteral("Fișierul %1 există deja.")
                                        .arg(QDir::toNativeSeparators(m_final)));
            if (error != EPERM && error != EOPNOTSUPP)
                systemFailure(QStringLiteral("Nu se poate scrie"), m_final, error);
            // A file system without hard links: the name was free a moment ago.
            if (QFileInfo::exists(m_final))
                throw BackupRefused(QStringLiteral("Fișierul %1 există deja.")
                                        .arg(QDir::toNativeSeparators(m_final)));
            if (::rename(from.constData(), to.constData()) != 0)
                systemFailure(QStringLiteral("Nu se poate redenumi"), m_temp, errno);
        } else {
            ::unlink(from.constData());
        }
    }
    m_placed = true;
    syncToDisk(QFileInfo(m_final).absolutePath());
}

} // namespace backup
