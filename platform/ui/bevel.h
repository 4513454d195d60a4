#pragma once
// A bevelled box, frame or line drawn behind the controls around it; it takes no mouse input.
#include "platform/ui/panel.h"

namespace ui {

class Bevel : public QFrame {
public:
    enum class Shape { Box, Frame, HorizontalLine, VerticalLine };

    explicit Bevel(QWidget* parent = nullptr);
    void setShape(Shape shape, BevelCut cut = BevelCut::Lowered);
};

} // namespace ui
