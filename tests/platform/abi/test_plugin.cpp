// A small add-on for the boundary tests: it links the abi layer and the module-value library
// statically and exports four entry points, nothing else.
#include "platform/abi/export.h"
#include "platform/abi/host_string_var.h"
#include "platform/abi/table_definition.h"
#include "tests/platform/abi/module_value.h"

namespace {
constexpr auto kName = hostabi::constHostString("Plugin de test");
}

LUMBRA_EXPORT void LUMBRA_CALL PluginGetName(char** var) {
    hostabi::HostStringVar(var).store(kName);
}

LUMBRA_EXPORT void LUMBRA_CALL PluginNewString(char** var) {
    hostabi::HostStringVar(var).store(QStringLiteral("Rețetă"));
}

// Sets the plugin's own module-wide value and returns its address.
LUMBRA_EXPORT int* LUMBRA_CALL PluginModuleValue(int value) {
    moduleValue() = value;
    return &moduleValue();
}

LUMBRA_EXPORT void LUMBRA_CALL PluginAddTable(hostabi::TableDefinitionList* list) {
    hostabi::TableDefinitionEntry& entry = list->appendEntry();
    entry.tableName.set(QStringLiteral("Plugin.DB"));
    entry.fieldCount = 1;
    entry.indexCount = 1;
    entry.indexFlag = 1;
    auto* fields = hostabi::allocateDescriptors<hostabi::FieldDescriptor>(1);
    fields[0].assign(QStringLiteral("Cod"), hostabi::FieldTypeCode::String, 12);
    entry.fields.set(fields);
    auto* indexes = hostabi::allocateDescriptors<hostabi::IndexDescriptor>(1);
    indexes[0].assign(QString(), QStringLiteral("Cod"),
                      hostabi::IndexPrimary | hostabi::IndexUnique);
    entry.indexes.set(indexes);
}
