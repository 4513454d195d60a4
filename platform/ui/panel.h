#pragma once
// A container with a raised, lowered or no bevel and an optional background colour.
#include <QFrame>

namespace ui {

enum class BevelCut { None, Lowered, Raised };

class Panel : public QFrame {
public:
    explicit Panel(QWidget* parent = nullptr);

    void setBevel(BevelCut cut);
    void setColor(const QColor& color);
};

} // namespace ui
