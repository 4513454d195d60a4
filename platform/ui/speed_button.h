#pragma once
// A flat button with a picture that never takes the focus (a tool button). Its glyph may hold
// several images side by side, as the system's button bitmaps do: normal, then disabled.
#include "platform/ui/control.h"

#include <QToolButton>

namespace ui {

class SpeedButton : public Control<QToolButton> {
public:
    explicit SpeedButton(QWidget* parent = nullptr);

    // Splits glyph into numGlyphs images of equal width: the first shows normally, the second
    // (when present) while the button is disabled.
    void setGlyph(const QPixmap& glyph, int numGlyphs = 1);

    std::function<void()> onClick;
};

} // namespace ui
