#include "platform/ui/form.h"

#include "platform/base/errors.h"
#include "platform/db/read_burst.h"
#include "platform/ui/application.h"
#include "platform/ui/button.h"
#include "platform/ui/component.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/key_filter.h"
#include "platform/ui/screen.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

namespace ui {

namespace {

// The dynamic property every form carries.
constexpr char kFormProperty[] = "lumbraForm";

// Deletes an MDI frame whose form was deleted on its own, so that no empty frame is left. A
// frame that deletes its children sends no ChildRemoved, so this never fires then.
class FrameKeeper : public QObject {
public:
    FrameKeeper(QMdiSubWindow* frame, const Form* form) : QObject(frame), m_form(form) {
        frame->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* frame, QEvent* event) override {
        if (event->type() == QEvent::ChildRemoved &&
            static_cast<QChildEvent*>(event)->child() == m_form)
            frame->deleteLater();
        return false;
    }

private:
    const Form* m_form;
};

} // namespace

Form::Form(QObject* owner)
    : QDialog(owner && owner->isWidgetType() ? static_cast<QWidget*>(owner) : nullptr),
      m_owner(owner), m_keys(new KeyFilter(this, KeyFilter::Scope::Widget)) {
    // Marks the widget as a form by name, which both sides of the host boundary read alike:
    // their type information is not shared, so a dynamic_cast would not see the other's forms.
    setProperty(kFormProperty, true);
    if (owner && !owner->isWidgetType())
        connect(owner, &QObject::destroyed, this, [this] { delete this; });
    m_keys->onKeyDown = [this](int& key, ShiftState shift) {
        if (onKeyDown)
            onKeyDown(key, shift);
    };
    m_keys->onKeyPress = [this](char16_t& key) {
        if (onKeyPress)
            onKeyPress(key);
    };
}

void Form::setName(const QString& name) {
    checkUniqueName(parent(), this, name);
    setObjectName(name);
}

QObject* Form::findComponent(const QString& name) const {
    return ui::findComponent(this, name);
}

void Form::setClientSize(int width, int height) {
    if (m_borderStyle == BorderStyle::Dialog && minimumSize() == maximumSize())
        setFixedSize(width, height); // a dialog border fixes the size the program gives it
    else
        resize(width, height);
    if (m_frame)
        fitFrame();
}

void Form::fitFrame() {
    // The frame's margins hold its title bar and borders.
    QMargins margins = m_frame->contentsMargins();
    if (const QLayout* layout = m_frame->layout())
        margins += layout->contentsMargins();
    m_frame->resize(size().grownBy(margins));
}

void Form::setBorderStyle(BorderStyle style) {
    m_borderStyle = style;
    if (m_frame)
        return;
    Qt::WindowFlags flags = windowFlags();
    if (style == BorderStyle::Dialog) {
        flags &= ~(Qt::WindowMinMaxButtonsHint | Qt::WindowContextHelpButtonHint);
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint;
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    setWindowFlags(flags);
}

void Form::setFormStyle(FormStyle style) {
    if (style == m_formStyle)
        return;
    if (style == FormStyle::Normal)
        throw base::Error(QStringLiteral("An MDI child cannot become a normal form"));
    QMdiArea* area = application()->mdiArea();
    if (!area)
        throw base::Error(QStringLiteral("Cannot create form. No MDI forms are currently active"));
    m_frame = area->addSubWindow(this);
    new FrameKeeper(m_frame, this);
    m_formStyle = style;
}

bool Form::keyPreview() const {
    return m_keys->scope() == KeyFilter::Scope::Subtree;
}

void Form::setKeyPreview(bool preview) {
    m_keys->setScope(preview ? KeyFilter::Scope::Subtree : KeyFilter::Scope::Widget);
}

void Form::created() {
    if (m_frame)
        show();
    guarded([this] {
        if (onCreate)
            onCreate();
    });
}

ModalResult Form::showModal() {
    if (m_modal || isVisible() || m_frame)
        throw base::Error(QStringLiteral("Cannot make a visible window modal"));
    db::ReadBurst::letGo(); // no database waits on the person
    QPointer<Form> self(this);
    m_modalResult = mrNone;
    m_modal = true;
    setWindowModality(Qt::ApplicationModal);
    show();

    auto leave = [this] {
        m_modal = false;
        hide();
        setWindowModality(Qt::NonModal);
    };
    // The loop is the form's own rather than a nested QEventLoop, so that the modal result is
    // looked at only between two events: a handler that sets it and then shows a message box,
    // or sets it back to mrNone, is never cut short by the form closing under it.
    CloseAction action = CloseAction::Hide;
    try {
        for (;;) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (!self)
                return mrCancel; // destroyed with its owner while it ran
            if (m_modalResult == mrNone && !isVisible())
                m_modalResult = mrCancel; // hidden by someone else
            if (m_modalResult == mrNone)
                continue;
            action = CloseAction::Hide;
            if (queryClose(action))
                break;
            m_modalResult = mrNone;
        }
    } catch (...) {
        if (self)
            leave();
        throw;
    }
    leave();
    if (action == CloseAction::Free)
        release();
    return m_modalResult;
}

void Form::setModalResult(ModalResult result) {
    m_modalResult = result;
}

void Form::done(int result) {
    setModalResult(static_cast<ModalResult>(result));
}

bool Form::queryClose(CloseAction& action) {
    bool canClose = true;
    if (onCloseQuery)
        onCloseQuery(canClose);
    if (!canClose)
        return false;
    if (onClose)
        onClose(action);
    return action != CloseAction::None;
}

void Form::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (m_modal) {
        // The modal loop runs the close events.
        if (m_modalResult == mrNone)
            m_modalResult = mrCancel;
        return;
    }
    CloseAction action = m_frame ? CloseAction::Minimize : CloseAction::Hide;
    bool closing = false;
    guarded([&] { closing = queryClose(action); });
    if (!closing)
        return;
    switch (action) {
    case CloseAction::Hide:
        event->accept();
        if (m_frame)
            m_frame->hide();
        break;
    case CloseAction::Free:
        event->accept();
        release();
        break;
    case CloseAction::Minimize:
        if (m_frame)
            m_frame->showMinimized();
        else
            showMinimized();
        break;
    case CloseAction::None:
        break;
    }
}

void Form::reject() {
    for (QPushButton* button : findChildren<QPushButton*>())
        if (button->property(kCancelRole).toBool() && button->isVisible() && button->isEnabled()) {
            button->click();
            return;
        }
}

void Form::release() {
    if (m_frame)
        m_frame->deleteLater();
    else
        deleteLater();
}

void Form::bringToFront() {
    if (m_frame) {
        setVisible(true);
        if (m_frame->isMinimized())
            m_frame->showNormal();
        if (QMdiArea* area = m_frame->mdiArea())
            area->setActiveSubWindow(m_frame);
        return;
    }
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void Form::setVisible(bool visible) {
    if (visible && !isVisible())
        placeOnScreen();
    QDialog::setVisible(visible);
    if (m_frame)
        m_frame->setVisible(visible);
}

namespace {

// A new MDI window goes one title bar below and to the right of the last one shown, wholly in
// the area: where it would reach past the area's right or bottom edge the cascade starts again
// at the top left corner.
QPoint cascadePosition(const QMdiSubWindow& frame, const QWidget& area) {
    const int step = frame.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &frame);
    QPoint position(0, 0);
    if (const QMdiArea* mdi = frame.mdiArea()) {
        const QList<QMdiSubWindow*> shown = mdi->subWindowList(QMdiArea::CreationOrder);
        for (auto it = shown.crbegin(); it != shown.crend(); ++it) {
            if (*it != &frame && (*it)->isVisible() && !(*it)->isMinimized() &&
                !(*it)->isMaximized()) {
                position = (*it)->pos() + QPoint(step, step);
                break;
            }
        }
    }
    if (position.x() + frame.width() > area.width() ||
        position.y() + frame.height() > area.height())
        position = QPoint(0, 0);
    return position;
}

} // namespace

void Form::placeOnScreen() {
    if (m_frame) {
        fitFrame();
        const QWidget* area = m_frame->parentWidget();
        if (!area)
            return;
        if (m_position == FormPosition::ScreenCenter)
            m_frame->move((area->width() - m_frame->width()) / 2,
                          (area->height() - m_frame->height()) / 2);
        else
            m_frame->move(cascadePosition(*m_frame, *area));
        return;
    }
    if (m_borderStyle == BorderStyle::Dialog)
        setFixedSize(size());
    if (m_position == FormPosition::ScreenCenter)
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        ui::screen()->availableGeometry()));
}

Form* parentForm(QWidget* widget) {
    for (; widget; widget = widget->parentWidget())
        if (widget->property(kFormProperty).toBool())
            return static_cast<Form*>(widget);
    return nullptr;
}

} // namespace ui
