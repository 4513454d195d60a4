#include "controls/date_edit.h"

#include "controls/br_date_form.h"
#include "controls/date_edit_btn.h"
#include "platform/base/date_text.h"
#include "platform/base/errors.h"
#include "platform/base/format_settings.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/message_box.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

namespace {

constexpr int kBorderWidth = 1;

} // namespace

TDateEdit::TDateEdit(QWidget* parent)
    : ui::MaskEdit(parent), m_date(QDate::currentDate()), m_button(new TDateEditBtn(this)) {
    // Every date of the module is day first from the first date edit on.
    base::formatSettings().shortDateFormat = QStringLiteral("DD/MM/YYYY");
    setEditMask(QStringLiteral("!00/00/0000"));
    showDate();
    m_button->resize(20, 20);
    m_button->setFocusControl(this);
    m_button->setCursor(Qt::ArrowCursor);
    m_button->onClick = [this] { OpenCalendar(); };
    setMinimumHeight(minimumHeightForFont());
    placeButton();
}

void TDateEdit::showDate() {
    setText(base::dateToText(m_date));
}

bool TDateEdit::parse(QDate& date) const {
    QString text = displayText();
    text.remove(QLatin1Char('_'));
    return base::tryTextToDate(text, date);
}

QDate TDateEdit::value() {
    QDate parsed;
    if (parse(parsed)) {
        m_date = parsed;
        return m_date;
    }
    ui::beep();
    showDate();
    if (!isVisible() || !isEnabled())
        throw base::Error(QStringLiteral("Cannot focus a disabled or invisible window"));
    setFocus(Qt::OtherFocusReason);
    return m_date;
}

void TDateEdit::setValue(const QDate& date) {
    m_date = date;
    showDate();
}

void TDateEdit::OpenCalendar() {
    QDate parsed;
    if (parse(parsed))
        m_date = parsed;
    QDate picked = m_date;
    if (PickDate(this, picked)) {
        m_date = picked;
        showDate();
    }
}

void TDateEdit::focusInEvent(QFocusEvent* event) {
    ui::MaskEdit::focusInEvent(event);
    if (m_autoSelect && event->reason() != Qt::MouseFocusReason)
        selectAll();
}

void TDateEdit::focusOutEvent(QFocusEvent* event) {
    if (movesFocus(event)) {
        QDate parsed;
        if (parse(parsed)) {
            m_date = parsed;
        } else {
            ui::beep();
            showDate();
            QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
        }
    }
    // Then the mask's own check of blank required places.
    ui::MaskEdit::focusOutEvent(event);
}

void TDateEdit::handleKey(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers().testFlag(Qt::ControlModifier)) {
        ui::guarded([this] { OpenCalendar(); });
        return;
    }
    if (refusesClipboard() &&
        (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste)))
        return;
    if (padsOneDigit(event->text()))
        return;
    ui::MaskEdit::handleKey(event);
}

bool TDateEdit::padsOneDigit(const QString& typed) {
    // "15.3.2025" typed as a person says it: a separator after a single digit of the day or the
    // month takes that digit as the whole number, instead of leaving a blank place ("15.3_.2025")
    // that the date then refuses.
    if (typed.size() != 1 || isReadOnly() || hasSelectedText())
        return false;
    const QChar c = typed.at(0);
    if (c != base::formatSettings().dateSeparator && c != QLatin1Char('.') &&
        c != QLatin1Char('/') && c != QLatin1Char('-'))
        return false;
    // The day's places are 0-1 and the month's 3-4 ("!00/00/0000").
    const int caret = cursorPosition();
    const QString shown = displayText();
    if ((caret != 1 && caret != 4) || shown.size() < caret + 2 || !shown.at(caret - 1).isDigit() ||
        shown.at(caret).isDigit())
        return false;
    const QString padded = QStringLiteral("0") + shown.at(caret - 1);
    setCursorPosition(caret - 1);
    insert(padded);
    setCursorPosition(caret + 2);
    return true;
}

void TDateEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    if (refusesClipboard())
        for (QAction* action : menu->actions())
            if (action->objectName() == QLatin1String("edit-cut") ||
                action->objectName() == QLatin1String("edit-paste"))
                action->setEnabled(false);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

int TDateEdit::minimumHeightForFont() const {
    const int fontHeight = fontMetrics().height();
    const int systemHeight = QFontMetrics(QApplication::font()).height();
    return fontHeight + qMin(fontHeight, systemHeight) / 4 + 4 * kBorderWidth + 2;
}

void TDateEdit::setCtl3D(bool on) {
    m_ctl3D = on;
    placeButton();
}

void TDateEdit::placeButton() {
    const int h = height();
    const int w = width();
    if (m_ctl3D) {
        const int buttonWidth = qMin(h - 5, 24);
        m_button->setGeometry(w - buttonWidth - 5, 0, buttonWidth, h - 5);
    } else {
        const int buttonWidth = qMin(h, 24);
        m_button->setGeometry(w - buttonWidth, 0, buttonWidth, h);
    }
    // The text stops where the button begins.
    setTextMargins(0, 0, qMax(0, w - m_button->x()), 0);
}

void TDateEdit::resizeEvent(QResizeEvent* event) {
    ui::MaskEdit::resizeEvent(event);
    placeButton();
}

void TDateEdit::changeEvent(QEvent* event) {
    ui::MaskEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        setMinimumHeight(minimumHeightForFont());
        placeButton();
    }
}
