#include "platform/ui/timer.h"

#include "platform/ui/dispatch.h"

namespace ui {

Timer::Timer(QObject* owner) : Component(owner) {
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (onTimer)
            guarded(onTimer);
    });
}

void Timer::setEnabled(bool enabled) {
    if (enabled)
        m_timer.start();
    else
        m_timer.stop();
}

} // namespace ui
