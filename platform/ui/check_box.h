#pragma once
// A check box with a caption. onClick runs when the person changes it (a click or the space
// bar), not when the program sets it.
#include "platform/ui/control.h"

#include <QCheckBox>

namespace ui {

class CheckBox : public Control<QCheckBox> {
public:
    CheckBox(const QString& caption, QWidget* parent) : Control<QCheckBox>(caption, parent) {
        connect(this, &QCheckBox::clicked, this, [this] {
            if (onClick)
                guarded(onClick);
        });
    }

    std::function<void()> onClick;
};

} // namespace ui
