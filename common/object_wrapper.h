#pragma once
// A component that carries one object into the component stream, so that objects that are not
// components themselves (a grid's columns) can be written as component records. It wraps either a
// persistent object (WrappedPersistent, written with its stored properties) or a component
// (WrappedComponent, written as a reference to it by name), never both, and a text
// (CurrentClassName). Properties are written in that order; a reference that is not set is not
// written.
#include "platform/ui/component.h"
#include "platform/ui/persistent.h"

#include <QPointer>

class TObjectWrapper : public ui::Component {
public:
    explicit TObjectWrapper(QObject* owner = nullptr) : ui::Component(owner) {}

    const TPersistent* wrappedPersistent() const { return m_persistent; }
    // Setting one reference clears the other.
    void setWrappedPersistent(const TPersistent* object);
    const QObject* wrappedComponent() const { return m_component; }
    void setWrappedComponent(const QObject* component);
    const QString& currentClassName() const { return m_currentClassName; }
    void setCurrentClassName(const QString& text) { m_currentClassName = text; }

    // The wrapper as one component record: class TObjectWrapper, no component name.
    ui::ComponentRecord record() const;

private:
    const TPersistent* m_persistent = nullptr;
    QPointer<const QObject> m_component;
    QString m_currentClassName;
};
