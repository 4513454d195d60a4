#pragma once
// One item of a menu model: a command, a separator (caption "-") or a submenu (an item with
// items). The group index tells a host where the item goes when it merges the menu into its
// own. The Qt actions rendered from an item follow its caption, hint, enabled and visible state,
// and are deleted with it.
#include "platform/ui/component.h"

#include <QList>
#include <QPointer>

#include <functional>

class QAction;

namespace ui {

class Menu;

class MenuItem : public Component {
public:
    // A top-level item of menu, or a child item of parent; owned by it and placed after its
    // present items.
    explicit MenuItem(Menu* menu, const QString& name = {}, const QString& caption = {});
    explicit MenuItem(MenuItem* parent, const QString& name = {}, const QString& caption = {});
    ~MenuItem() override;

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    int groupIndex() const { return m_groupIndex; }
    void setGroupIndex(int index) { m_groupIndex = index; }
    QString hint() const { return m_hint; }
    void setHint(const QString& hint);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);
    bool isSeparator() const { return m_caption == QLatin1String("-"); }

    const QList<MenuItem*>& items() const { return m_items; }
    MenuItem* parentItem() const { return m_parentItem; }

    std::function<void()> onClick;
    // Runs onClick inside the dispatch guard, as choosing the item does.
    void click();

    // Keeps action in step with the item from now on.
    void attach(QAction* action);

private:
    MenuItem(QObject* owner, const QString& name, const QString& caption);
    void updateActions();

    QString m_caption;
    QString m_hint;
    int m_groupIndex = 0;
    bool m_enabled = true;
    bool m_visible = true;
    MenuItem* m_parentItem = nullptr;
    Menu* m_menu = nullptr;
    QList<MenuItem*> m_items;
    QList<QPointer<QAction>> m_actions;

    friend class Menu;
};

} // namespace ui
