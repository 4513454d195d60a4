#include "platform/ui/application.h"

#include "platform/db/read_burst.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMdiArea>

namespace ui {
namespace {

Application* g_current = nullptr;

Application& ownApplication() {
    static Application own;
    return own;
}

QtDesktop& qtDesktop() {
    static QtDesktop desktop;
    return desktop;
}

} // namespace

Application::Application() = default;

QMdiArea* Application::mdiArea() const {
    return m_mainWindow ? qobject_cast<QMdiArea*>(m_mainWindow->centralWidget()) : nullptr;
}

Desktop& Application::desktop() const {
    return m_desktop ? *m_desktop : qtDesktop();
}

void Application::showException(const std::exception& error) {
    if (onException) {
        onException(error);
        return;
    }
    // what() is UTF-8 for the system's own errors (base::Error) and plain ASCII for others.
    db::ReadBurst::letGo();
    desktop().messageBox(MessageKind::Error, captionOf(MessageKind::Error),
                         QString::fromUtf8(error.what()), MessageButton::Ok, {});
}

void Application::processMessages() {
    QCoreApplication::processEvents();
}

Application* application() {
    return g_current ? g_current : &ownApplication();
}

void setApplication(Application* application) {
    g_current = application;
}

} // namespace ui
