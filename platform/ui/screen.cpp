#include "platform/ui/screen.h"

#include "platform/ui/application.h"

#include <QGuiApplication>
#include <QScreen>

namespace ui {
namespace {

Screen* g_current = nullptr;

Screen& ownScreen() {
    static Screen own;
    return own;
}

} // namespace

void Screen::setCursor(Cursor cursor) {
    m_cursor = cursor;
    application()->desktop().setCursor(cursor);
}

QRect Screen::availableGeometry() const {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->availableGeometry() : QRect(0, 0, 1024, 768);
}

Screen* screen() {
    return g_current ? g_current : &ownScreen();
}

void setScreen(Screen* screen) {
    g_current = screen;
}

} // namespace ui
