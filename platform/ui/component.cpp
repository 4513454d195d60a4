#include "platform/ui/component.h"

#include "platform/base/errors.h"

namespace ui {

void checkUniqueName(const QObject* owner, const QObject* object, const QString& name) {
    if (!owner || name.isEmpty())
        return;
    for (const QObject* sibling : owner->children())
        if (sibling != object && sibling->objectName().compare(name, Qt::CaseInsensitive) == 0)
            throw base::Error(QStringLiteral("A component named %1 already exists").arg(name));
}

void Component::setName(const QString& name) {
    checkUniqueName(parent(), this, name);
    setObjectName(name);
}

QObject* Component::findComponent(const QString& name) const {
    return ui::findComponent(this, name);
}

QObject* findComponent(const QObject* owner, const QString& name) {
    if (!owner || name.isEmpty())
        return nullptr;
    for (QObject* child : owner->children())
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return child;
    for (QObject* child : owner->children())
        if (QObject* found = findComponent(child, name))
            return found;
    return nullptr;
}

} // namespace ui
