#include "platform/ui/button.h"

#include "platform/ui/form.h"

namespace ui {

Button::Button(QWidget* parent) : Button(QString(), parent) {}

Button::Button(const QString& caption, QWidget* parent) : Control<QPushButton>(caption, parent) {
    connect(this, &QAbstractButton::clicked, this, [this] { clicked(); });
}

bool Button::isCancel() const {
    return property(kCancelRole).toBool();
}

void Button::setCancel(bool cancel) {
    setProperty(kCancelRole, cancel);
}

void Button::clicked() {
    if (m_modalResult != mrNone)
        if (Form* form = parentForm(this))
            form->setModalResult(m_modalResult);
    if (onClick)
        guarded(onClick);
}

} // namespace ui
