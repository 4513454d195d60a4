// Loads the built add-on library as the host does and drives it through its entry points.
#include "addon/entry_points.h"
#include "platform/abi/host_string.h"
#include "platform/abi/memory_manager.h"
#include "platform/abi/table_definition.h"
#include "platform/ui/application.h"
#include "platform/ui/menu.h"
#include "platform/ui/menu_item.h"
#include "platform/ui/screen.h"

#include <QObject>
#include <cstdio>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

std::set<std::string> exportedNames(const std::string& library) {
    std::set<std::string> names;
    const std::string command = std::string(LUMBRA_NM) + " -D --defined-only '" + library + "'";
    FILE* pipe = popen(command.c_str(), "r");
    char line[1024];
    while (pipe && std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        text.erase(text.find_last_not_of("\r\n") + 1);
        const std::string name = text.substr(text.find_last_of(' ') + 1);
        if (!name.empty() && name != "_init" && name != "_fini" && name != "_edata" &&
            name != "_end" && name != "__bss_start")
            names.insert(name);
    }
    if (pipe)
        pclose(pipe);
    return names;
}

class AddOnLibrary : public ::testing::Test {
protected:
    static void* s_handle;
    static void SetUpTestSuite() {
        s_handle = dlopen(LUMBRA_ADDON, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(s_handle, nullptr) << dlerror();
    }
    template <class Fn> static Fn entry(const char* name) {
        return reinterpret_cast<Fn>(dlsym(s_handle, name));
    }
};
void* AddOnLibrary::s_handle = nullptr;

TEST_F(AddOnLibrary, ExportsExactlyTheSevenEntryPoints) {
    EXPECT_EQ(exportedNames(LUMBRA_ADDON),
              (std::set<std::string>{"InitAddOnDLL", "ClearAddOnDLL", "VelAddOnMainForm",
                                     "VelAddOnAddTables", "VelAddOnGetName", "VelAddOnChangeDB",
                                     "VelAddOnDocInForm"}));
}

TEST_F(AddOnLibrary, LifecycleInTheHostsCallingOrder) {
    ui::Application hostApplication;
    ui::Screen hostScreen;
    entry<InitAddOnDLLProc>("InitAddOnDLL")(&hostScreen, &hostApplication);

    char* name = hostabi::strFromQString(QStringLiteral("vechi"));
    for (int i = 0; i < 2; ++i) {
        entry<VelAddOnGetNameProc>("VelAddOnGetName")(&name);
        EXPECT_EQ(hostabi::strToQString(name), "Productie-calcul necesar tehnic");
        EXPECT_EQ(hostabi::strRefCount(name), hostabi::kConstantRefCount)
            << "the module's constant, not a copy";
    }
    hostabi::strRelease(name);

    auto docInForm = entry<VelAddOnDocInFormProc>("VelAddOnDocInForm");
    EXPECT_EQ(docInForm(nullptr, nullptr), nullptr) << "before the main form there is no menu";

    QObject owner;
    ui::Menu* mainMenu = entry<VelAddOnMainFormProc>("VelAddOnMainForm")(&owner);
    ASSERT_NE(mainMenu, nullptr);
    ASSERT_EQ(mainMenu->items().size(), 1);
    const ui::MenuItem* sistem = mainMenu->items().front();
    EXPECT_EQ(sistem->caption(), "&Sistem");
    EXPECT_EQ(sistem->groupIndex(), 0);
    QStringList captions;
    for (const ui::MenuItem* item : sistem->items()) {
        captions << item->caption();
        EXPECT_EQ(item->groupIndex(), 5);
    }
    EXPECT_EQ(captions, (QStringList{"-", "Retete de productie", "&Configurare productie"}));

    ui::Menu* docIn = docInForm(nullptr, nullptr);
    ASSERT_NE(docIn, nullptr);
    EXPECT_EQ(docInForm(nullptr, nullptr), docIn) << "the same menu every time";
    EXPECT_EQ(docIn->items().front()->caption(), "&Document");
    EXPECT_EQ(docIn->items().front()->items().back()->caption(), "Calcul necesar tehnic");

    auto* list = static_cast<hostabi::TableDefinitionList*>(
        hostabi::mem::allocate(sizeof(hostabi::TableDefinitionList)));
    entry<VelAddOnAddTablesProc>("VelAddOnAddTables")(list);
    ASSERT_EQ(list->count.get(), 5);
    EXPECT_EQ(list->entries[0].tableName.text(), "Reteta.DB");
    EXPECT_EQ(list->entries[1].tableName.text(), "Consum.DB");
    EXPECT_EQ(list->entries[2].tableName.text(), "Stornare.DB");
    EXPECT_EQ(list->entries[3].tableName.text(), "ConsStoc.DB");
    EXPECT_EQ(list->entries[4].tableName.text(), "ConsRet.DB");
    for (int i = 0; i < 5; ++i)
        list->entries[i].releaseArrays();
    hostabi::mem::release(list);

    entry<ClearAddOnDLLProc>("ClearAddOnDLL")();
}

} // namespace
