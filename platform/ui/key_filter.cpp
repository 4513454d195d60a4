#include "platform/ui/key_filter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace ui {

KeyFilter::KeyFilter(QWidget* watched, Scope scope)
    : QObject(watched), m_watched(watched), m_scope(scope) {
    install();
}

KeyFilter::~KeyFilter() {
    uninstall();
}

void KeyFilter::setScope(Scope scope) {
    if (scope == m_scope)
        return;
    uninstall();
    m_scope = scope;
    install();
}

void KeyFilter::install() {
    // A subtree's keys are delivered to whichever control has the focus; only the application
    // sees them all before the control does.
    if (m_scope == Scope::Subtree)
        qApp->installEventFilter(this);
    else if (m_watched)
        m_watched->installEventFilter(this);
}

void KeyFilter::uninstall() {
    if (m_scope == Scope::Subtree) {
        if (qApp)
            qApp->removeEventFilter(this);
    } else if (m_watched) {
        m_watched->removeEventFilter(this);
    }
}

bool KeyFilter::eventFilter(QObject* receiver, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !m_watched)
        return false;
    if (m_scope == Scope::Subtree) {
        // An unhandled key travels up to the parents; handle it once, where it starts.
        if (!receiver->isWidgetType() || forwardingKey())
            return false;
        auto* widget = static_cast<QWidget*>(receiver);
        const QWidget* focus = QApplication::focusWidget();
        if ((focus && widget != focus) || (!focus && widget != widget->window()))
            return false;
        if (widget != m_watched && !m_watched->isAncestorOf(widget))
            return false;
    } else if (receiver != m_watched) {
        return false;
    }
    return runKeyHandlers(*static_cast<QKeyEvent*>(event), onKeyDown, onKeyPress);
}

} // namespace ui
