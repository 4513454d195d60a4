// One QApplication for the catalog window's tests, on the offscreen platform unless told
// otherwise. The engine configuration and the registry of the whole run live in a temporary
// directory, so that no alias of the machine's own configuration reaches the tests; each test
// defines MAGNIS on its own company.
#include "platform/base/format_settings.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir environment;
    const QByteArray root = QFile::encodeName(environment.path());
    qputenv("LUMBRA_REGISTRY_ROOT", root + "/registry");
    qputenv("LUMBRA_ENGINE_CONFIG", root + "/engine.ini");

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    base::setFormatSettings(base::FormatSettings{});
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
