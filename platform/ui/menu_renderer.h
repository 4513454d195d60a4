#pragma once
// Turns menu models into Qt menus. A rendered action keeps the model item's group index
// (groupIndexOf), follows the item's state and runs its click handler when triggered.
//
// Merging puts the items of an add-on's main menu into a host's menu bar: a top-level item with
// items goes into the host's top-level menu of the same group index (of those, the one with the
// same caption when there are several), its items placed after the host's items of the same or a
// lower group index; a top-level item that finds no such menu becomes a top-level menu of its
// own, placed after the host's menus of the same or a lower group index.
#include <QPoint>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace ui {

class Menu;
class MenuItem;

// The group index of a rendered action (0 for an action that did not come from a model).
int groupIndexOf(const QAction* action);

// Fills bar with the menu's top-level items.
void renderMenuBar(QMenuBar* bar, const Menu& menu);
// A new context menu with the menu's items; the caller owns it.
QMenu* renderPopup(const Menu& menu, QWidget* parent = nullptr);
// Gives control the menu as its context menu, built afresh each time it is asked for.
void attachPopup(QWidget* control, Menu* menu);

void mergeMenu(QMenuBar* bar, const Menu& menu);
// Takes out of bar everything that mergeMenu put there from menu.
void unmergeMenu(QMenuBar* bar, const Menu& menu);

} // namespace ui
