#include "platform/ui/month_calendar.h"

#include "platform/base/format_settings.h"

namespace ui {

MonthCalendar::MonthCalendar(QWidget* parent) : QCalendarWidget(parent) {
    // Day names as the date formats have them: Romanian where the system names no region.
    setLocale(base::withRomanianFallback(locale()));
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
