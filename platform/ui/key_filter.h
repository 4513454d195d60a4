#pragma once
// Runs key-down and key-press handlers, in the system's terms, for the keys of a widget. With
// Scope::Widget it sees the keys that reach the widget itself; with Scope::Subtree it sees the
// keys of every control inside the widget before the focused control does (a form's key
// preview). A handler that sets its key to 0 swallows the key.
#include "platform/ui/keys.h"

#include <QObject>
#include <QPointer>

namespace ui {

class KeyFilter : public QObject {
public:
    enum class Scope { Widget, Subtree };

    // Owned by the watched widget.
    KeyFilter(QWidget* watched, Scope scope);
    ~KeyFilter() override;

    Scope scope() const { return m_scope; }
    void setScope(Scope scope);

    KeyDownHandler onKeyDown;
    KeyPressHandler onKeyPress;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    void install();
    void uninstall();

    QPointer<QWidget> m_watched;
    Scope m_scope;
};

} // namespace ui
