#pragma once
// The toolkit's application object of one side of the host boundary: the main window (which holds
// the MDI children and stands behind top-level windows), the desktop seam through which message
// boxes, beeps and the cursor go, and the general error box for errors that no handler caught.
// Each side has its own object; the module's start-up entry point installs the host's object in
// its place (setApplication), so that every window the module makes belongs to the host's
// application. Qt's single QApplication serves both.
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <exception>
#include <functional>

class QMdiArea;

namespace ui {

class Desktop;

class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    QMainWindow* mainWindow() const { return m_mainWindow; }
    void setMainWindow(QMainWindow* window) { m_mainWindow = window; }
    // The MDI area of the main window (its central widget), or null when it has none.
    QMdiArea* mdiArea() const;

    // The desktop seam in force; the Qt desktop unless a test or host installed another.
    Desktop& desktop() const;
    // Installs a desktop (not owned); null puts the Qt desktop back.
    void setDesktop(Desktop* desktop) { m_desktop = desktop; }

    // Shows an error that a handler let through: by onException when it is set, otherwise in
    // the general error box (an error box with the error's message and OK).
    void showException(const std::exception& error);
    std::function<void(const std::exception&)> onException;

    // Lets Qt deliver the pending events (a long operation keeps its windows painted).
    void processMessages();

private:
    QPointer<QMainWindow> m_mainWindow;
    Desktop* m_desktop = nullptr;
};

// The application object in force on this side: its own until setApplication installs another.
Application* application();
// Installs an application object (not owned); null puts this side's own object back.
void setApplication(Application* application);

} // namespace ui
