#pragma once
// A directory that exists for the life of one test and is removed afterwards.
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

class TempDir {
public:
    TempDir();
    const QString& path() const { return m_path; }
    // Creates (if needed) and returns a subdirectory.
    QString sub(const QString& name) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

} // namespace testsupport
