#include "platform/ui/speed_button.h"

#include <QIcon>
#include <QPixmap>

namespace ui {

SpeedButton::SpeedButton(QWidget* parent) : Control<QToolButton>(parent) {
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (onClick)
            guarded(onClick);
    });
}

void SpeedButton::setGlyph(const QPixmap& glyph, int numGlyphs) {
    numGlyphs = qMax(1, numGlyphs);
    const int width = glyph.width() / numGlyphs;
    QIcon icon;
    icon.addPixmap(glyph.copy(0, 0, width, glyph.height()), QIcon::Normal);
    if (numGlyphs > 1)
        icon.addPixmap(glyph.copy(width, 0, width, glyph.height()), QIcon::Disabled);
    setIcon(icon);
    setIconSize(QSize(width, glyph.height()));
}

} // namespace ui
