#pragma once
// The events the system's windows attach to a control, added to a Qt widget class: focus enter
// and exit, key-down and key-press in the system's terms (a handler setting its key to 0
// swallows it) and double click. Every handler runs inside the dispatch guard.
#include "platform/ui/dispatch.h"
#include "platform/ui/keys.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <functional>

namespace ui {

template <class Base> class Control : public Base {
public:
    using Base::Base;

    std::function<void()> onEnter;
    std::function<void()> onExit;
    std::function<void()> onDblClick;
    KeyDownHandler onKeyDown;
    KeyPressHandler onKeyPress;

protected:
    // Focus that moves inside the window counts; a popup or another window taking it does not.
    static bool movesFocus(const QFocusEvent* event) {
        return event->reason() != Qt::PopupFocusReason &&
               event->reason() != Qt::ActiveWindowFocusReason;
    }

    void focusInEvent(QFocusEvent* event) override {
        Base::focusInEvent(event);
        if (onEnter && movesFocus(event))
            guarded(onEnter);
    }
    void focusOutEvent(QFocusEvent* event) override {
        Base::focusOutEvent(event);
        if (onExit && movesFocus(event))
            guarded(onExit);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (runKeyHandlers(*event, onKeyDown, onKeyPress))
            return;
        handleKey(event);
    }
    // The control's own handling of a key that the handlers let through.
    virtual void handleKey(QKeyEvent* event) { Base::keyPressEvent(event); }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        Base::mouseDoubleClickEvent(event);
        if (onDblClick)
            guarded(onDblClick);
    }
};

} // namespace ui
