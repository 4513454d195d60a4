#include "platform/store/file_update.h"

#include "platform/base/errors.h"

#include <QFile>
#include <QLockFile>
#include <QSaveFile>

namespace store {
namespace {

// Long enough to outlast another writer's read-modify-write, short enough not to hang the
// user interface when a lock is held by a stuck process; stale locks are broken by QLockFile.
constexpr int kLockTimeoutMs = 5000;

[[noreturn]] void fail(const QString& what, const QString& fileName, const QString& reason) {
    throw base::Error(QStringLiteral("Cannot %1 the file \"%2\": %3.").arg(what, fileName, reason));
}

} // namespace

std::optional<QByteArray> readFileIfExists(const QString& fileName) {
    QFile file(fileName);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("read"), fileName, file.errorString());
    return file.readAll();
}

void updateFile(const QString& fileName, const FileEdit& edit) {
    QLockFile lock(fileName + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockTimeoutMs))
        fail(QStringLiteral("lock"), fileName,
             lock.error() == QLockFile::LockFailedError
                 ? QStringLiteral("it is in use")
                 : QStringLiteral("no lock file can be made"));
    const std::optional<QByteArray> old = readFileIfExists(fileName);
    const std::optional<QByteArray> updated = edit(old);
    if (!updated || updated == old)
        return;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(*updated) != updated->size() ||
        !file.commit())
        fail(QStringLiteral("write"), fileName, file.errorString());
}

} // namespace store
