#pragma once
// A menu model: a main menu (handed to a host, whose menu bar takes its items) or a context menu
// of a control. Its top-level items are MenuItems; menu_renderer.h turns it into Qt menus.
#include "platform/ui/component.h"

#include <QList>

namespace ui {

class MenuItem;

class Menu : public Component {
public:
    enum class Kind { Main, Popup };

    explicit Menu(QObject* owner = nullptr, Kind kind = Kind::Main, const QString& name = {});
    ~Menu() override;

    Kind kind() const { return m_kind; }
    const QList<MenuItem*>& items() const { return m_items; }

private:
    Kind m_kind;
    QList<MenuItem*> m_items;

    friend class MenuItem;
};

} // namespace ui
