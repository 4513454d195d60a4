#include "controls/br_date_form.h"

#include "platform/base/format_settings.h"
#include "platform/ui/bevel.h"
#include "platform/ui/button.h"
#include "platform/ui/label.h"
#include "platform/ui/month_calendar.h"
#include "platform/ui/speed_button.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLocale>

namespace {

QString monthTitle(const QDate& date) {
    const QStringList& names = base::formatSettings().longMonthNames;
    const QString month = names.size() == 12 ? names.at(date.month() - 1)
                                             : QLocale().standaloneMonthName(date.month());
    return QStringLiteral("%1, %2").arg(month).arg(date.year(), 4, 10, QLatin1Char('0'));
}

} // namespace

TBrDateForm::TBrDateForm(QObject* owner) : ui::Form(owner) {
    // No component name: a popup released a moment ago may still exist beside a new one.
    setCaption(QStringLiteral("Selecteaza data"));
    QFont bold = font();
    bold.setPointSize(8);
    bold.setBold(true);
    setFont(bold);

    // The calendar first: it is first in the tab order and has the focus on opening.
    Calendar1 = new ui::MonthCalendar(this);
    Calendar1->setObjectName(QStringLiteral("Calendar1"));
    Bevel1 = new ui::Bevel(this);
    Bevel1->setShape(ui::Bevel::Shape::Box, ui::BevelCut::Raised);
    PrevMonthBtn = new ui::SpeedButton(this);
    PrevMonthBtn->setObjectName(QStringLiteral("PrevMonthBtn"));
    PrevMonthBtn->setArrowType(Qt::LeftArrow);
    NextMonthBtn = new ui::SpeedButton(this);
    NextMonthBtn->setObjectName(QStringLiteral("NextMonthBtn"));
    NextMonthBtn->setArrowType(Qt::RightArrow);
    TitleLabel = new ui::Label(this);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    TitleLabel->setAlignment(Qt::AlignCenter);
    BitBtn1 = new ui::Button(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setModalResult(ui::mrOk);
    BitBtn1->setDefault(true);
    BitBtn2 = new ui::Button(QStringLiteral("&Renunta"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setModalResult(ui::mrCancel);
    BitBtn2->setCancel(true);
    BitBtn1->setAutoDefault(false);
    BitBtn2->setAutoDefault(false);

    const QSize calendar = Calendar1->sizeHint().expandedTo(QSize(210, 120));
    const int margin = 8;
    const int titleHeight = 24;
    Bevel1->setGeometry(margin, margin, calendar.width() + 2 * margin,
                        calendar.height() + titleHeight + 3 * margin);
    PrevMonthBtn->setGeometry(2 * margin, 2 * margin, 22, 22);
    NextMonthBtn->setGeometry(calendar.width() + margin - 22 + margin, 2 * margin, 22, 22);
    TitleLabel->setGeometry(2 * margin + 24, 2 * margin, calendar.width() - 48, 22);
    Calendar1->setGeometry(2 * margin, 2 * margin + titleHeight + margin / 2, calendar.width(),
                           calendar.height());
    const int buttonsTop = Bevel1->geometry().bottom() + margin;
    const int clientWidth = calendar.width() + 4 * margin;
    BitBtn1->setGeometry(clientWidth / 2 - 85, buttonsTop, 80, 25);
    BitBtn2->setGeometry(clientWidth / 2 + 5, buttonsTop, 80, 25);
    setClientSize(clientWidth, buttonsTop + 25 + margin);
    setBorderStyle(ui::BorderStyle::Dialog);
    setPosition(ui::FormPosition::ScreenCenter);

    PrevMonthBtn->onClick = [this] { moveMonths(-1); };
    NextMonthBtn->onClick = [this] { moveMonths(1); };
    Calendar1->onChange = [this] { Calendar1Change(); };
    Calendar1->onActivate = [this] { setModalResult(ui::mrOk); };
    // Page Up and Page Down reach the calendar's day grid, which has the keyboard focus.
    Calendar1->installEventFilter(this);
    if (auto* days = Calendar1->findChild<QAbstractItemView*>())
        days->installEventFilter(this);
    Calendar1->setDate(QDate::currentDate());
    Calendar1Change();
    Calendar1->setFocus();
    created();
}

void TBrDateForm::Calendar1Change() {
    TitleLabel->setCaption(monthTitle(Calendar1->date()));
}

void TBrDateForm::moveMonths(int months) {
    // Qt keeps the day, or takes the last day of a shorter month.
    Calendar1->setDate(Calendar1->date().addMonths(months));
}

bool TBrDateForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown) {
            moveMonths(key->key() == Qt::Key_PageUp ? -1 : 1);
            return true;
        }
    }
    return ui::Form::eventFilter(watched, event);
}

bool PickDate(QWidget* owner, QDate& date) {
    auto* form = new TBrDateForm(owner);
    if (date.isValid())
        form->Calendar1->setDate(date);
    ui::ModalResult result = ui::mrNone;
    try {
        result = form->showModal();
    } catch (...) {
        form->release();
        throw;
    }
    const bool confirmed = result == ui::mrOk;
    if (confirmed)
        date = form->Calendar1->date();
    form->release();
    return confirmed;
}
