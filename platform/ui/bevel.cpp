#include "platform/ui/bevel.h"

namespace ui {

Bevel::Bevel(QWidget* parent) : QFrame(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    lower();
    setShape(Shape::Box);
}

void Bevel::setShape(Shape shape, BevelCut cut) {
    const int shadow = cut == BevelCut::Raised ? QFrame::Raised : QFrame::Sunken;
    switch (shape) {
    case Shape::Box:
        setFrameStyle(QFrame::Panel | shadow);
        break;
    case Shape::Frame:
        setFrameStyle(QFrame::Box | shadow);
        break;
    case Shape::HorizontalLine:
        setFrameStyle(QFrame::HLine | shadow);
        break;
    case Shape::VerticalLine:
        setFrameStyle(QFrame::VLine | shadow);
        break;
    }
}

} // namespace ui
