// One QApplication for the tests of the host and of the windows that read the environment (the
// catalog window, the backups), on the offscreen platform unless told otherwise. The registry,
// the engine configuration and the user's private directory of the whole run live in a
// temporary directory: the host writes all three, and so does the add-on it loads, which reads
// them from the environment rather than from this process's variables. No alias of the
// machine's own configuration reaches the tests.
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
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CONFIG_HOME", root + "/config");

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // Numbers and dates as a Romanian user sees them, whatever the machine's locale.
    base::setFormatSettings(base::FormatSettings{});
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
