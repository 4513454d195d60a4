#pragma once
// The calendar button of a date edit: a holder with one speed button that fills it from its top
// left corner, showing the calendar picture (normal and disabled images). Holder and button are
// never smaller than 18 by 18 pixels, whatever size they are given. Pressing the button with the
// left mouse button first puts the focus on the focus control (the date edit) when it can take
// it; the space bar clicks the button while the holder has the focus. A click runs onClick.
#include "platform/ui/speed_button.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class TDateEditBtn : public QWidget {
public:
    static constexpr int kMinimumSize = 18;

    explicit TDateEditBtn(QWidget* parent = nullptr);

    ui::SpeedButton* button() const { return m_button; }
    QWidget* focusControl() const { return m_focusControl; }
    void setFocusControl(QWidget* control) { m_focusControl = control; }
    // Clicks the speed button.
    void click();

    std::function<void()> onClick;

    // The calendar picture: two 16 by 16 images side by side, normal and disabled.
    static QPixmap calendarGlyph();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeFocusForPress();

    ui::SpeedButton* m_button;
    QPointer<QWidget> m_focusControl;
};
