#include "platform/ui/menu.h"

#include "platform/ui/menu_item.h"

namespace ui {

Menu::Menu(QObject* owner, Kind kind, const QString& name) : Component(owner), m_kind(kind) {
    setName(name);
}

Menu::~Menu() {
    // The items are deleted after this body, by QObject; they must not reach back into a
    // half-destroyed menu.
    for (MenuItem* item : m_items)
        item->m_menu = nullptr;
}

} // namespace ui
