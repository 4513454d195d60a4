#pragma once
// A push button with a modal result and the default and cancel roles. A click first sets the
// button's modal result (when it has one) on its form, then runs onClick; a modal form closes
// with that result once the click is over, unless onClick set the result back to mrNone. The
// default button answers Enter (QPushButton::setDefault), the cancel button Escape.
#include "platform/ui/control.h"
#include "platform/ui/modal_result.h"

#include <QPushButton>

namespace ui {

// The property that marks a cancel button, for the form that looks for it on Escape.
inline constexpr char kCancelRole[] = "lumbraCancel";

class Button : public Control<QPushButton> {
public:
    explicit Button(QWidget* parent = nullptr);
    Button(const QString& caption, QWidget* parent);

    ModalResult modalResult() const { return m_modalResult; }
    void setModalResult(ModalResult result) { m_modalResult = result; }
    bool isCancel() const;
    void setCancel(bool cancel);

    std::function<void()> onClick;

private:
    void clicked();

    ModalResult m_modalResult = mrNone;
};

} // namespace ui
