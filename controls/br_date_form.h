#pragma once
// The calendar popup "Selecteaza data": a month calendar (weeks from Monday) under the month and
// year of the chosen date ("MMMM, YYYY"), with buttons for the previous and next month, OK and
// "&Renunta". Page Up and Page Down in the calendar move one month back or forward, keeping the
// day of the month or lowering it to the last day of a shorter month. A double click on a day, or
// Enter, closes with OK; Escape cancels.
#include "platform/ui/form.h"

#include <QDate>

class QAbstractItemView;

namespace ui {
class Bevel;
class Button;
class Label;
class MonthCalendar;
class SpeedButton;
} // namespace ui

class TBrDateForm : public ui::Form {
public:
    explicit TBrDateForm(QObject* owner = nullptr);

    ui::Bevel* Bevel1;
    ui::Label* TitleLabel;
    ui::SpeedButton* PrevMonthBtn;
    ui::SpeedButton* NextMonthBtn;
    ui::MonthCalendar* Calendar1;
    ui::Button* BitBtn1;
    ui::Button* BitBtn2;

    // Moves the chosen date by months, keeping the day where the month has it.
    void moveMonths(int months);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Calendar1Change();
};

// Shows the calendar popup, owned by owner, on the date (today when it is invalid). True when the
// person confirmed; the date is then the chosen one, otherwise it is left as it was.
bool PickDate(QWidget* owner, QDate& date);
