#include "platform/ui/menu_item.h"

#include "platform/ui/dispatch.h"
#include "platform/ui/menu.h"

#include <QAction>
#include <QMenu>

namespace ui {

MenuItem::MenuItem(QObject* owner, const QString& name, const QString& caption)
    : Component(owner), m_caption(caption) {
    setName(name);
}

MenuItem::MenuItem(Menu* menu, const QString& name, const QString& caption)
    : MenuItem(static_cast<QObject*>(menu), name, caption) {
    m_menu = menu;
    menu->m_items.append(this);
}

MenuItem::MenuItem(MenuItem* parent, const QString& name, const QString& caption)
    : MenuItem(static_cast<QObject*>(parent), name, caption) {
    m_parentItem = parent;
    parent->m_items.append(this);
}

MenuItem::~MenuItem() {
    for (MenuItem* item : m_items)
        item->m_parentItem = nullptr;
    if (m_parentItem)
        m_parentItem->m_items.removeOne(this);
    if (m_menu)
        m_menu->m_items.removeOne(this);
    // An action without its item could do nothing; a submenu's action goes with its QMenu.
    for (const QPointer<QAction>& action : m_actions) {
        if (!action)
            continue;
        if (QMenu* submenu = action->menu())
            delete submenu;
        else
            delete action.data();
    }
}

void MenuItem::setCaption(const QString& caption) {
    m_caption = caption;
    updateActions();
}

void MenuItem::setHint(const QString& hint) {
    m_hint = hint;
    updateActions();
}

void MenuItem::setEnabled(bool enabled) {
    m_enabled = enabled;
    updateActions();
}

void MenuItem::setVisible(bool visible) {
    m_visible = visible;
    updateActions();
}

void MenuItem::click() {
    if (onClick)
        guarded(onClick);
}

void MenuItem::attach(QAction* action) {
    m_actions.append(action);
    updateActions();
}

void MenuItem::updateActions() {
    m_actions.removeAll(nullptr);
    for (QAction* action : std::as_const(m_actions)) {
        action->setSeparator(isSeparator());
        // A separator carries no text: styles would draw the "-" beside the line.
        action->setText(isSeparator() ? QString() : m_caption);
        action->setStatusTip(m_hint);
        action->setToolTip(m_hint);
        action->setEnabled(m_enabled);
        action->setVisible(m_visible);
    }
}

} // namespace ui
