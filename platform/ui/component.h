#pragma once
// A named object with an owner. The owner destroys what it owns (Qt's parent-child ownership,
// so any QObject, a host's window for one, can own a component); a name is unique among the
// components of one owner, compared without regard to case, as the system's names are.
#include <QObject>
#include <QString>

namespace ui {

class Component : public QObject {
public:
    explicit Component(QObject* owner = nullptr) : QObject(owner) {}

    QString name() const { return objectName(); }
    // Throws base::Error when another component of the same owner has the name.
    void setName(const QString& name);
    QObject* owner() const { return parent(); }

    // The component of that name among those this one owns, at any depth; null when none.
    QObject* findComponent(const QString& name) const;
};

// Throws base::Error when another child of owner than object is named name (case-insensitive).
void checkUniqueName(const QObject* owner, const QObject* object, const QString& name);

// The object named name among those owned by owner, searched through the whole ownership tree
// (a form's controls sit inside panels), compared without regard to case; null when none.
QObject* findComponent(const QObject* owner, const QString& name);

} // namespace ui
