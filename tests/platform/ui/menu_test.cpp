// Menu models rendered as Qt menus and merged into a host's menu bar by group index.
#include "recording_desktop.h"

#include "platform/ui/menu.h"
#include "platform/ui/menu_item.h"
#include "platform/ui/menu_renderer.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <memory>

using namespace ui;

namespace {

MenuItem* item(Menu* menu, const char* caption, int groupIndex) {
    auto* result = new MenuItem(menu, QString(), QString::fromUtf8(caption));
    result->setGroupIndex(groupIndex);
    return result;
}

MenuItem* item(MenuItem* parent, const char* caption, int groupIndex) {
    auto* result = new MenuItem(parent, QString(), QString::fromUtf8(caption));
    result->setGroupIndex(groupIndex);
    return result;
}

QStringList captions(const QWidget* widget) {
    QStringList list;
    for (const QAction* action : widget->actions())
        list << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return list;
}

QMenu* topMenu(const QMenuBar& bar, const QString& caption) {
    for (QAction* action : bar.actions())
        if (action->text() == caption)
            return action->menu();
    return nullptr;
}

class MenuTest : public testsupport::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        MenuItem* system = item(&host, "&Sistem", 0);
        item(system, "&Deschide firma", 0);
        item(system, "&Iesire", 9);
        item(&host, "&Document", 1);
        item(item(&host, "&Ajutor", 9), "&Despre", 9);
        item(topMenu_document(), "&Intrari", 1);

        MenuItem* addonSystem = item(&addon, "&Sistem", 0);
        item(addonSystem, "-", 5);
        recipes = item(addonSystem, "Retete de productie", 5);
        recipes->setHint(QStringLiteral("Specifica necesarul tehnic"));
        item(addonSystem, "&Configurare productie", 5);
        item(item(&addon, "&Productie", 3), "Rapoarte", 0);
        renderMenuBar(&bar, host);
    }
    MenuItem* topMenu_document() { return host.items().at(1); }

    Menu host;
    Menu addon;
    MenuItem* recipes = nullptr;
    QMenuBar bar;
};

TEST_F(MenuTest, MergePlacesItemsByGroupIndex) {
    mergeMenu(&bar, addon);
    EXPECT_EQ(captions(&bar), (QStringList{"&Sistem", "&Document", "&Productie", "&Ajutor"}));
    EXPECT_EQ(captions(topMenu(bar, "&Sistem")),
              (QStringList{"&Deschide firma", "-", "Retete de productie", "&Configurare productie",
                           "&Iesire"}));

    unmergeMenu(&bar, addon);
    EXPECT_EQ(captions(&bar), (QStringList{"&Sistem", "&Document", "&Ajutor"}));
    EXPECT_EQ(captions(topMenu(bar, "&Sistem")), (QStringList{"&Deschide firma", "&Iesire"}));
}

TEST_F(MenuTest, MergedActionsRunTheAddOnsHandlersAndFollowItsItems) {
    int clicks = 0;
    recipes->onClick = [&] { ++clicks; };
    mergeMenu(&bar, addon);
    QAction* action = topMenu(bar, "&Sistem")->actions().at(2);
    EXPECT_EQ(action->statusTip(), QStringLiteral("Specifica necesarul tehnic"));
    EXPECT_EQ(groupIndexOf(action), 5);
    action->trigger();
    EXPECT_EQ(clicks, 1);

    recipes->setEnabled(false);
    recipes->setCaption(QStringLiteral("Retete"));
    EXPECT_FALSE(action->isEnabled());
    EXPECT_EQ(action->text(), QStringLiteral("Retete"));

    delete recipes; // the add-on's menu goes away: so do its actions in the host's menu
    EXPECT_EQ(captions(topMenu(bar, "&Sistem")),
              (QStringList{"&Deschide firma", "-", "&Configurare productie", "&Iesire"}));
}

TEST_F(MenuTest, SameGroupIndexPrefersTheMenuWithTheSameCaption) {
    item(item(&host, "&Fereastra", 1), "Aliniere", 0);
    bar.clear();
    renderMenuBar(&bar, host);
    Menu documents;
    item(item(&documents, "&fereastra", 1), "Cascada", 2);
    mergeMenu(&bar, documents);
    EXPECT_EQ(captions(topMenu(bar, "&Fereastra")), (QStringList{"Aliniere", "Cascada"}));
    EXPECT_EQ(captions(topMenu(bar, "&Document")), QStringList{"&Intrari"});
}

TEST_F(MenuTest, PopupReflectsItemStateWhenBuilt) {
    Menu popup(nullptr, Menu::Kind::Popup);
    auto* copy =
        new MenuItem(&popup, QStringLiteral("RetetaPopCopy"), QStringLiteral("Copiaza reteta"));
    auto* paste =
        new MenuItem(&popup, QStringLiteral("RetetaPopPaste"), QStringLiteral("Lipeste reteta"));
    paste->setEnabled(false);
    copy->onClick = [&] {
        copy->setEnabled(false);
        paste->setEnabled(true);
    };
    std::unique_ptr<QMenu> first(renderPopup(popup));
    first->actions().at(0)->trigger();
    std::unique_ptr<QMenu> second(renderPopup(popup));
    EXPECT_FALSE(second->actions().at(0)->isEnabled());
    EXPECT_TRUE(second->actions().at(1)->isEnabled());
    EXPECT_EQ(popup.findComponent(QStringLiteral("retetapoppaste")), paste);
}

} // namespace
