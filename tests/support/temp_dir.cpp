#include "tests/support/temp_dir.h"

#include <QDir>
#include <stdexcept>

namespace testsupport {

TempDir::TempDir() : m_dir(QDir::tempPath() + QStringLiteral("/lumbra-test-XXXXXX")) {
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary directory");
    m_path = m_dir.path();
}

QString TempDir::sub(const QString& name) const {
    QDir(m_path).mkpath(name);
    return m_path + QLatin1Char('/') + name;
}

} // namespace testsupport
