#pragma once
// A window of the system: a QDialog with the events and modes its windows are described with.
//
// - Owner: a form is destroyed with its owner. A widget owner is also the form's parent window;
//   a form owned by a non-visual component is a top-level window that dies with that component.
// - created(): a subclass builds its controls in its constructor and then calls created(), which
//   shows an MDI child and runs onCreate (an error there goes to the general error box).
// - Closing runs onCloseQuery (which may refuse) and onClose, which chooses the close action:
//   hide (the default), free (the form is deleted once control is back in the event loop),
//   minimize (the default of an MDI child) or none (the form stays open).
// - showModal() runs the form modally until its modal result is set (a button with a modal
//   result, setModalResult, the close box gives mrCancel) and returns that result. The close
//   events run as the form closes; when they refuse, the form stays open with mrNone. An error
//   raised by them ends the modal run and is rethrown by showModal.
// - Key preview: the form's onKeyDown and onKeyPress see the keys of its controls before the
//   focused control does; without it they see only keys that reach the form itself.
// - Enter presses the default button (QPushButton::setDefault); Escape presses the cancel button
//   (Button::setCancel) and does nothing when there is none.
#include "platform/ui/keys.h"
#include "platform/ui/modal_result.h"

#include <QDialog>
#include <QMdiSubWindow>
#include <QPointer>

#include <functional>

namespace ui {

class KeyFilter;

enum class CloseAction { None, Hide, Free, Minimize };
enum class FormStyle { Normal, MdiChild };
enum class BorderStyle { Sizeable, Dialog };
enum class FormPosition { Designed, ScreenCenter };

class Form : public QDialog {
public:
    explicit Form(QObject* owner = nullptr);

    QString name() const { return objectName(); }
    void setName(const QString& name);
    QObject* owner() const { return m_owner; }
    // The component of that name among the form's components (controls at any depth).
    QObject* findComponent(const QString& name) const;

    QString caption() const { return windowTitle(); }
    void setCaption(const QString& caption) { setWindowTitle(caption); }
    void setClientSize(int width, int height);

    FormPosition position() const { return m_position; }
    void setPosition(FormPosition position) { m_position = position; }
    BorderStyle borderStyle() const { return m_borderStyle; }
    // A dialog border has a title and a close box only and cannot be resized.
    void setBorderStyle(BorderStyle style);
    FormStyle formStyle() const { return m_formStyle; }
    // MdiChild makes the form a child window of the application's MDI area; throws base::Error
    // when the application has no main window with an MDI area.
    void setFormStyle(FormStyle style);
    bool keyPreview() const;
    void setKeyPreview(bool preview);

    ModalResult showModal();
    ModalResult modalResult() const { return m_modalResult; }
    void setModalResult(ModalResult result);
    bool isShowingModal() const { return m_modal; }

    // Deletes the form (and its MDI frame) once control is back in the event loop.
    void release();
    // Shows the form in front of the others, restoring it when it is minimized.
    void bringToFront();
    // The frame of an MDI child, null for other forms.
    QMdiSubWindow* mdiFrame() const { return m_frame; }

    std::function<void()> onCreate;
    std::function<void(bool& canClose)> onCloseQuery;
    std::function<void(CloseAction& action)> onClose;
    KeyDownHandler onKeyDown;
    KeyPressHandler onKeyPress;

    void setVisible(bool visible) override;
    void done(int result) override;

protected:
    // Call at the end of the subclass constructor, once its controls exist.
    void created();

    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // Runs onCloseQuery and onClose; false when the form is to stay open. Lets errors through.
    bool queryClose(CloseAction& action);
    void placeOnScreen();
    void fitFrame();

    QObject* m_owner;
    QPointer<QMdiSubWindow> m_frame;
    KeyFilter* m_keys;
    FormPosition m_position = FormPosition::Designed;
    BorderStyle m_borderStyle = BorderStyle::Sizeable;
    FormStyle m_formStyle = FormStyle::Normal;
    ModalResult m_modalResult = mrNone;
    bool m_modal = false;
};

// The form a widget sits on (the widget itself when it is a form), or null.
Form* parentForm(QWidget* widget);

} // namespace ui
