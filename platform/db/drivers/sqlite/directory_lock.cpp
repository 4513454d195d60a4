#include "platform/db/drivers/sqlite/directory_lock.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace db::sqlite {

QString DirectoryLock::lockFileName(const QString& directory) {
    return QDir(directory).absoluteFilePath(QStringLiteral("tables.sqlite.lock"));
}

DirectoryLock DirectoryLock::acquire(const QString& directory, Mode mode,
                                     std::chrono::milliseconds wait) {
    DirectoryLock lock;
    const QByteArray name = QFile::encodeName(lockFileName(directory));
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return lock;
    lock.m_fd = fd;
    const int operation = (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, operation) == 0) {
            lock.m_state = State::Held;
            return lock;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            // A file system without flock: nobody can hold it, so nobody is kept out.
            lock.m_state = State::Unavailable;
            return lock;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    lock.m_state = State::InUse;
    return lock;
}

DirectoryLock::~DirectoryLock() {
    release();
}

DirectoryLock::DirectoryLock(DirectoryLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)),
      m_state(std::exchange(other.m_state, State::Unavailable)) {}

DirectoryLock& DirectoryLock::operator=(DirectoryLock&& other) noexcept {
    if (this != &other) {
        release();
        m_fd = std::exchange(other.m_fd, -1);
        m_state = std::exchange(other.m_state, State::Unavailable);
    }
    return *this;
}

void DirectoryLock::release() {
    if (m_fd >= 0)
        ::close(m_fd); // closing the last descriptor of the open file drops its lock
    m_fd = -1;
    m_state = State::Unavailable;
}

} // namespace db::sqlite
