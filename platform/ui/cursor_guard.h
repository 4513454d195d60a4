#pragma once
// Shows a cursor (the hourglass unless told otherwise) on the current screen for the life of a
// scope and puts back the cursor shown before on every way out, an exception included. Guards
// nest: the inner one restores the hourglass of the outer one.
#include "platform/ui/screen.h"

namespace ui {

class CursorGuard {
public:
    explicit CursorGuard(Cursor cursor = Cursor::HourGlass)
        : m_screen(screen()), m_previous(m_screen->cursor()) {
        m_screen->setCursor(cursor);
    }
    ~CursorGuard() { m_screen->setCursor(m_previous); }
    CursorGuard(const CursorGuard&) = delete;
    CursorGuard& operator=(const CursorGuard&) = delete;

private:
    Screen* m_screen;
    Cursor m_previous;
};

} // namespace ui
