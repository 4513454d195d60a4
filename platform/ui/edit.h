#pragma once
// A one-line edit box. A maximum length of 0 means no limit; onChange runs on every change of
// the text, the program's own changes included.
#include "platform/ui/control.h"

#include <QLineEdit>

namespace ui {

class Edit : public Control<QLineEdit> {
public:
    explicit Edit(QWidget* parent = nullptr) : Control<QLineEdit>(parent) {
        connect(this, &QLineEdit::textChanged, this, [this] {
            if (onChange)
                guarded(onChange);
        });
    }

    void setMaxLength(int length) { QLineEdit::setMaxLength(length > 0 ? length : 32767); }

    std::function<void()> onChange;
};

} // namespace ui
