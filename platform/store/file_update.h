#pragma once
// Read-modify-write of a small file shared by several processes. A lock file beside it
// ("<name>.lock") keeps two writers from losing each other's change, and the new content
// replaces the old in one rename, so a crash leaves either the old or the new file whole.
#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace store {

// The current content, or nullopt when the file does not exist. Throws base::Error when the
// file exists but cannot be read.
std::optional<QByteArray> readFileIfExists(const QString& fileName);

// Under the lock, reads the file (nullopt when missing), passes it to edit and writes what
// edit returns, unless that is nullopt or the old content. Errors raised by edit leave the
// file as it was; failing to lock, read or write throws base::Error naming the file.
using FileEdit = std::function<std::optional<QByteArray>(const std::optional<QByteArray>&)>;
void updateFile(const QString& fileName, const FileEdit& edit);

} // namespace store
