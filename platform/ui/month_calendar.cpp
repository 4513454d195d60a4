#include "platform/ui/month_calendar.h"

namespace ui {

MonthCalendar::MonthCalendar(QWidget* parent) : QCalendarWidget(parent) {
    setFirstDayOfWeek(Qt::Monday);
    setNavigationBarVisible(false);
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    connect(this, &QCalendarWidget::selectionChanged, this, [this] {
        if (onChange)
            guarded(onChange);
    });
    connect(this, &QCalendarWidget::activated, this, [this] {
        if (onActivate)
            guarded(onActivate);
    });
}

} // namespace ui
