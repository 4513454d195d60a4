#pragma once
// A timer component whose handler runs inside the dispatch guard.
#include "platform/ui/component.h"

#include <QTimer>

#include <functional>

namespace ui {

class Timer : public Component {
public:
    explicit Timer(QObject* owner = nullptr);

    int interval() const { return m_timer.interval(); }
    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    bool isEnabled() const { return m_timer.isActive(); }
    void setEnabled(bool enabled);

    std::function<void()> onTimer;

private:
    QTimer m_timer;
};

} // namespace ui
