#pragma once
// A plain month grid: a header of short day names, weeks that start on Monday, the chosen day
// highlighted; no navigation bar and no week numbers (its window supplies those controls). It
// shows the date it is given and does not follow today's date by itself.
#include "platform/ui/dispatch.h"

#include <QCalendarWidget>

#include <functional>

namespace ui {

class MonthCalendar : public QCalendarWidget {
public:
    explicit MonthCalendar(QWidget* parent = nullptr);

    QDate date() const { return selectedDate(); }
    void setDate(const QDate& date) { setSelectedDate(date); }

    // Runs on every change of the chosen day.
    std::function<void()> onChange;
    // Runs on a double click on a day and on Enter.
    std::function<void()> onActivate;
};

} // namespace ui
