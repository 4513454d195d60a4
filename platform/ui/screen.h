#pragma once
// The toolkit's screen object of one side of the host boundary: the mouse cursor shown over the
// application's windows and the screen area in which forms are centred. Like the Application,
// each side has its own and the module's start-up installs the host's in its place, so that the
// hourglass a module window sets shows on the host's screen.
#include "platform/ui/desktop.h"

#include <QRect>

namespace ui {

class Screen {
public:
    Screen() = default;
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    Cursor cursor() const { return m_cursor; }
    // Shows the cursor through the desktop seam of the current application.
    void setCursor(Cursor cursor);

    // The work area of the primary screen (without task bars), where forms are centred.
    QRect availableGeometry() const;

private:
    Cursor m_cursor = Cursor::Default;
};

// The screen object in force on this side: its own until setScreen installs another.
Screen* screen();
// Installs a screen object (not owned); null puts this side's own object back.
void setScreen(Screen* screen);

} // namespace ui
