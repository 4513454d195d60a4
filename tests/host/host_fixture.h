#pragma once
// A host program started on a company in a temporary directory, with the message boxes
// recorded instead of shown, and helpers to read the main window's menus.
#include "host/host_main_window.h"
#include "host/host_program.h"
#include "tests/platform/ui/recording_desktop.h"
#include "tests/support/temp_dir.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>

#include <memory>

namespace hosttest {

class HostTest : public testsupport::UiTest {
protected:
    // Each test keeps the host's settings file in a folder of its own: tests run in parallel
    // processes of one executable, whose default settings file they would share.
    void SetUp() override {
        qputenv("LUMBRA_HOST_SETTINGS",
                QFile::encodeName(m_settingsDir.path() + QStringLiteral("/lumbra-host.INI")));
        UiTest::SetUp();
    }
    void TearDown() override {
        program.reset();
        UiTest::TearDown();
        qunsetenv("LUMBRA_HOST_SETTINGS");
    }

    void start(const QString& companyDirectory, const QString& addOnPath) {
        program = std::make_unique<host::HostProgram>(
            host::HostProgram::Options{companyDirectory, false, addOnPath, QString()});
        settle();
    }
    host::HostMainWindow* window() const { return program->mainWindow(); }

    static void settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    QMenu* topMenu(const QString& caption) const {
        for (QAction* action : window()->menuBar()->actions())
            if (action->text() == caption)
                return action->menu();
        return nullptr;
    }
    // The captions of a top-level menu's items, "-" for separators.
    QStringList captions(const QString& menu) const {
        QStringList list;
        if (QMenu* m = topMenu(menu))
            for (const QAction* action : m->actions())
                list << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return list;
    }
    QAction* action(const QString& menu, const QString& caption) const {
        if (QMenu* m = topMenu(menu))
            for (QAction* a : m->actions())
                if (a->text() == caption)
                    return a;
        return nullptr;
    }

    testsupport::TempDir dir;
    std::unique_ptr<host::HostProgram> program;

private:
    testsupport::TempDir m_settingsDir;
};

} // namespace hosttest
