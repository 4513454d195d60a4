#include "tests/support/test_server.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <atomic>
#include <stdexcept>

namespace testsupport {

bool onServer() {
    return !qEnvironmentVariableIsEmpty("LUMBRA_TEST_SERVER");
}

QString testServer() {
    const QString file = qEnvironmentVariable("LUMBRA_TEST_SERVER");
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(("The test server's location file " + file.toStdString() +
                                  " cannot be read: is scripts/test-server.sh running?"));
    return QString::fromUtf8(f.readAll()).trimmed();
}

QString serverLocation(const QString& schema) {
    return testServer() + QStringLiteral(" schema=") + schema;
}

QString companyLocation(const QString& directory) {
    if (!onServer())
        return directory;
    static std::atomic<int> counter{0};
    const QString schema = QStringLiteral("t%1_%2_%3")
                               .arg(QCoreApplication::applicationPid())
                               .arg(++counter)
                               .arg(QRandomGenerator::global()->bounded(1000000));
    return serverLocation(schema);
}

} // namespace testsupport
