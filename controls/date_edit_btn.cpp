#include "controls/date_edit_btn.h"

#include "platform/ui/dispatch.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace {

bool canTakeFocus(const QWidget* widget) {
    return widget && (widget->focusPolicy() & Qt::TabFocus) && widget->isVisible() &&
           widget->isEnabled() && !widget->hasFocus();
}

void drawCalendar(QPainter& painter, int left, const QColor& ink, const QColor& header,
                  const QColor& page) {
    painter.fillRect(left + 1, 2, 14, 13, page);
    painter.fillRect(left + 1, 2, 14, 4, header);
    painter.setPen(ink);
    painter.drawRect(left + 1, 2, 13, 12);
    painter.drawLine(left + 4, 1, left + 4, 3);
    painter.drawLine(left + 11, 1, left + 11, 3);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column)
            painter.drawPoint(left + 3 + column * 3, 8 + row * 2);
}

} // namespace

TDateEditBtn::TDateEditBtn(QWidget* parent) : QWidget(parent), m_button(new ui::SpeedButton(this)) {
    setMinimumSize(kMinimumSize, kMinimumSize);
    setFocusPolicy(Qt::NoFocus); // not a tab stop
    m_button->setMinimumSize(kMinimumSize, kMinimumSize);
    m_button->setGlyph(calendarGlyph(), 2);
    m_button->installEventFilter(this);
    m_button->onClick = [this] {
        if (onClick)
            onClick();
    };
    resize(20, 25);
}

QPixmap TDateEditBtn::calendarGlyph() {
    QPixmap glyph(32, 16);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    drawCalendar(painter, 0, Qt::black, QColor(192, 0, 0), Qt::white);
    drawCalendar(painter, 16, QColor(128, 128, 128), QColor(192, 192, 192), QColor(224, 224, 224));
    return glyph;
}

void TDateEditBtn::click() {
    m_button->click();
}

void TDateEditBtn::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_button->setGeometry(0, 0, width(), height());
}

void TDateEditBtn::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->modifiers()) {
        click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TDateEditBtn::takeFocusForPress() {
    if (canTakeFocus(m_focusControl))
        m_focusControl->setFocus(Qt::OtherFocusReason);
    else if (canTakeFocus(this))
        setFocus(Qt::OtherFocusReason);
}

bool TDateEditBtn::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_button && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        takeFocusForPress();
    return QWidget::eventFilter(watched, event);
}
