#include "platform/ui/menu_renderer.h"

#include "platform/ui/caption.h"
#include "platform/ui/menu.h"
#include "platform/ui/menu_item.h"

#include <QAbstractScrollArea>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace ui {
namespace {

constexpr char kGroupIndex[] = "lumbraGroupIndex";
constexpr char kMergedFrom[] = "lumbraMergedFrom";

// A Qt action for item: a submenu with the item's items, or a command; parent owns it.
QAction* renderItem(MenuItem* item, QWidget* parent) {
    QAction* action = nullptr;
    if (!item->items().isEmpty()) {
        auto* submenu = new QMenu(parent);
        for (MenuItem* child : item->items())
            submenu->addAction(renderItem(child, submenu));
        action = submenu->menuAction();
    } else {
        action = new QAction(parent);
        QObject::connect(action, &QAction::triggered, action, [target = QPointer<MenuItem>(item)] {
            if (target)
                target->click();
        });
    }
    action->setProperty(kGroupIndex, item->groupIndex());
    item->attach(action);
    return action;
}

// The first action of widget whose group index is greater than groupIndex, or null (append).
QAction* insertionPoint(const QWidget* widget, int groupIndex) {
    for (QAction* action : widget->actions())
        if (groupIndexOf(action) > groupIndex)
            return action;
    return nullptr;
}

QMenu* hostMenuFor(const QMenuBar* bar, const MenuItem* item) {
    QMenu* found = nullptr;
    for (QAction* action : bar->actions()) {
        QMenu* menu = action->menu();
        if (!menu || groupIndexOf(action) != item->groupIndex() ||
            action->property(kMergedFrom).isValid())
            continue;
        if (captionText(action->text())
                .compare(captionText(item->caption()), Qt::CaseInsensitive) == 0)
            return menu;
        if (!found)
            found = menu;
    }
    return found;
}

void removeMerged(QWidget* widget, quintptr source) {
    for (QAction* action : widget->actions()) {
        if (action->property(kMergedFrom).toULongLong() == source) {
            widget->removeAction(action);
            if (QMenu* submenu = action->menu())
                submenu->deleteLater();
            else
                action->deleteLater();
        } else if (QMenu* submenu = action->menu()) {
            removeMerged(submenu, source);
        }
    }
}

} // namespace

int groupIndexOf(const QAction* action) {
    return action->property(kGroupIndex).toInt();
}

void renderMenuBar(QMenuBar* bar, const Menu& menu) {
    for (MenuItem* item : menu.items())
        bar->addAction(renderItem(item, bar));
}

QMenu* renderPopup(const Menu& menu, QWidget* parent) {
    auto* popup = new QMenu(parent);
    for (MenuItem* item : menu.items())
        popup->addAction(renderItem(item, popup));
    return popup;
}

void attachPopup(QWidget* control, Menu* menu) {
    control->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(control, &QWidget::customContextMenuRequested, control,
                     [control, model = QPointer<Menu>(menu)](const QPoint& pos) {
                         if (!model)
                             return;
                         // Scroll areas report the position in their viewport.
                         const auto* area = qobject_cast<QAbstractScrollArea*>(control);
                         const QWidget* origin = area ? area->viewport() : control;
                         QMenu* popup = renderPopup(*model, control);
                         popup->setAttribute(Qt::WA_DeleteOnClose);
                         popup->popup(origin->mapToGlobal(pos));
                     });
}

void mergeMenu(QMenuBar* bar, const Menu& menu) {
    const QVariant source = QVariant::fromValue(reinterpret_cast<quintptr>(&menu));
    for (MenuItem* item : menu.items()) {
        QMenu* host = item->items().isEmpty() ? nullptr : hostMenuFor(bar, item);
        if (host) {
            for (MenuItem* child : item->items()) {
                QAction* action = renderItem(child, host);
                action->setProperty(kMergedFrom, source);
                host->insertAction(insertionPoint(host, child->groupIndex()), action);
            }
        } else {
            QAction* action = renderItem(item, bar);
            action->setProperty(kMergedFrom, source);
            bar->insertAction(insertionPoint(bar, item->groupIndex()), action);
        }
    }
}

void unmergeMenu(QMenuBar* bar, const Menu& menu) {
    removeMerged(bar, reinterpret_cast<quintptr>(&menu));
}

} // namespace ui
