// Loads a small plugin the way the host loads the add-on and checks what crosses the boundary.
#include "platform/abi/export.h"
#include "platform/abi/host_string.h"
#include "platform/abi/memory_manager.h"
#include "platform/abi/table_definition.h"
#include "tests/platform/abi/module_value.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <set>
#include <string>

using namespace hostabi;

namespace {

using StringFn = void(LUMBRA_CALL*)(char**);
using ModuleValueFn = int*(LUMBRA_CALL*)(int);
using AddTableFn = void(LUMBRA_CALL*)(TableDefinitionList*);

class PluginBoundary : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_handle = dlopen(ABI_TEST_PLUGIN, RTLD_NOW | RTLD_LOCAL); }
    static void TearDownTestSuite() {
        if (s_handle)
            dlclose(s_handle);
        s_handle = nullptr;
    }
    void SetUp() override { ASSERT_NE(s_handle, nullptr) << dlerror(); }

    template <typename Fn> static Fn entry(const char* name) {
        return reinterpret_cast<Fn>(dlsym(s_handle, name));
    }

    static void* s_handle;
};
void* PluginBoundary::s_handle = nullptr;

// The defined names of a library's dynamic symbol table, without the linker's own markers.
std::set<std::string> exportedNames(const std::string& library) {
    std::set<std::string> names;
    const std::string command = std::string(ABI_TEST_NM) + " -D --defined-only '" + library + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return names;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        text.erase(text.find_last_not_of("\r\n") + 1);
        const std::string name = text.substr(text.find_last_of(' ') + 1);
        static const std::set<std::string> linkerMarkers = {"_init", "_fini", "_edata", "_end",
                                                            "__bss_start"};
        if (!name.empty() && !linkerMarkers.count(name))
            names.insert(name);
    }
    pclose(pipe);
    return names;
}

} // namespace

TEST_F(PluginBoundary, HostAndPluginKeepSeparateModuleWideValues) {
    moduleValue() = 7;
    int* pluginValue = entry<ModuleValueFn>("PluginModuleValue")(42);
    EXPECT_NE(pluginValue, &moduleValue());
    EXPECT_EQ(*pluginValue, 42);
    EXPECT_EQ(moduleValue(), 7);
}

TEST_F(PluginBoundary, StringsCrossInBothDirectionsThroughOneMemoryManager) {
    const std::size_t before = mem::blockCount();
    char* var = strFromQString(QStringLiteral("vechi"));

    // The plugin releases the host's string and stores its constant name without a copy.
    entry<StringFn>("PluginGetName")(&var);
    EXPECT_EQ(mem::blockCount(), before);
    EXPECT_EQ(strRefCount(var), kConstantRefCount);
    EXPECT_EQ(strToQString(var), QStringLiteral("Plugin de test"));

    // The plugin allocates, the host releases.
    entry<StringFn>("PluginNewString")(&var);
    EXPECT_EQ(mem::blockCount(), before + 1);
    EXPECT_EQ(strToQString(var), QStringLiteral("Reţetă")); // ț kept as its code page form
    EXPECT_EQ(strRefCount(var), 1);
    strRelease(var);
    EXPECT_EQ(mem::blockCount(), before);
}

TEST_F(PluginBoundary, HostReleasesTheArraysThePluginWrote) {
    const std::size_t before = mem::blockCount();
    TableDefinitionList list{};
    entry<AddTableFn>("PluginAddTable")(&list);
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(list.entries[0].tableName.text(), QStringLiteral("Plugin.DB"));
    EXPECT_EQ(list.entries[0].fields.get()->name.text(), QStringLiteral("Cod"));
    EXPECT_EQ(list.entries[0].indexes.get()->fieldsText(), QStringLiteral("Cod"));
    EXPECT_EQ(mem::blockCount(), before + 3); // two arrays and one string
    list.entries[0].releaseArrays();
    EXPECT_EQ(mem::blockCount(), before);
}

TEST_F(PluginBoundary, ExportsOnlyItsEntryPoints) {
    const std::set<std::string> names = exportedNames(ABI_TEST_PLUGIN);
    if (names.empty())
        GTEST_SKIP() << "no symbol lister at " << ABI_TEST_NM;
    EXPECT_EQ(names, (std::set<std::string>{"PluginAddTable", "PluginGetName", "PluginModuleValue",
                                            "PluginNewString"}));
    EXPECT_EQ(dlsym(s_handle, "_Z11moduleValuev"), nullptr);
}
