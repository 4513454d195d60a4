#include "platform/ui/panel.h"

namespace ui {

Panel::Panel(QWidget* parent) : QFrame(parent) {
    setBevel(BevelCut::Raised);
}

void Panel::setBevel(BevelCut cut) {
    switch (cut) {
    case BevelCut::None:
        setFrameStyle(QFrame::NoFrame);
        break;
    case BevelCut::Lowered:
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        break;
    case BevelCut::Raised:
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        break;
    }
}

void Panel::setColor(const QColor& color) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    setPalette(palette);
    setAutoFillBackground(true);
}

} // namespace ui
