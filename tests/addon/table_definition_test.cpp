#include "addon/table_definition.h"
#include "platform/abi/memory_manager.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

using hostabi::TableDefinitionList;

// The host's list as raw bytes, so that the test reads offsets, not the module's own types.
struct HostList {
    unsigned char* bytes =
        static_cast<unsigned char*>(hostabi::mem::allocate(sizeof(TableDefinitionList)));
    ~HostList() { hostabi::mem::release(bytes); }
    TableDefinitionList* list() { return reinterpret_cast<TableDefinitionList*>(bytes); }
    std::int32_t i32(std::size_t at) const {
        return std::int32_t(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                            std::uint32_t(bytes[at + 3]) << 24);
    }
    void setCount(std::int32_t n) { std::memcpy(bytes + 12, &n, 4); }
};

const unsigned char* at(std::uint32_t address) {
    return reinterpret_cast<const unsigned char*>(std::uintptr_t(address));
}

void addRecipeTable(TableDefinitionList* list) {
    AddTableDefinition(list, recipeTableName(), recipeTableFields(), 1, recipeTableIndexes());
}

class TableDefinition : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(TableDefinition, RecipeTableEntryAtItsOffsets) {
    const std::int32_t before = GetParam();
    HostList host;
    std::memset(host.bytes, 0xAB, 12); // the host's own bytes must stay
    host.setCount(before);
    addRecipeTable(host.list());
    EXPECT_EQ(host.i32(12), before + 1);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(host.bytes[i], 0xAB);
    const std::size_t e = 20 + 104 * std::size_t(before);
    EXPECT_EQ(host.bytes[e], 9);
    EXPECT_EQ(std::memcmp(host.bytes + e + 1, "Reteta.DB", 9), 0);
    EXPECT_EQ(host.i32(e + 84), 4);
    EXPECT_EQ(host.i32(e + 88), 1);
    EXPECT_EQ(host.i32(e + 92), 1);

    const unsigned char* fields = at(std::uint32_t(host.i32(e + 96)));
    struct Expected {
        const char* name;
        int type, size;
    };
    const Expected expected[] = {
        {"Cod", 1, 30}, {"Cod_MatPrim", 1, 30}, {"Cod_Grupa", 1, 8}, {"Cant_MatPrim", 6, 0}};
    for (int k = 0; k < 4; ++k) {
        const unsigned char* d = fields + 56 * k;
        EXPECT_EQ(d[0], std::strlen(expected[k].name));
        EXPECT_EQ(std::memcmp(d + 1, expected[k].name, d[0]), 0);
        EXPECT_EQ(d[51], expected[k].type);
        EXPECT_EQ(d[52] | d[53] << 8, expected[k].size);
        EXPECT_EQ(d[54], 0);
        EXPECT_EQ(d[55], 0);
    }
    const unsigned char* index = at(std::uint32_t(host.i32(e + 100)));
    EXPECT_EQ(index[0] | index[1] | index[2] | index[3], 0) << "the primary index has no name";
    const std::uint32_t fieldsString =
        index[4] | index[5] << 8 | index[6] << 16 | std::uint32_t(index[7]) << 24;
    EXPECT_STREQ(reinterpret_cast<const char*>(at(fieldsString)), "Cod;Cod_MatPrim");
    EXPECT_EQ(index[8], 3) << "primary and unique";
    host.list()->entries[before].releaseArrays();
}

INSTANTIATE_TEST_SUITE_P(EmptyAndAlmostFull, TableDefinition, ::testing::Values(0, 49));

TEST(TableDefinitionFull, AFullListIsRefusedUnchanged) {
    HostList host;
    host.setCount(50);
    std::vector<unsigned char> before(host.bytes, host.bytes + sizeof(TableDefinitionList));
    const auto blocks = hostabi::mem::blockCount();
    EXPECT_THROW(addRecipeTable(host.list()), hostabi::RangeError);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), host.bytes));
    EXPECT_EQ(hostabi::mem::blockCount(), blocks) << "nothing is left allocated";
}

} // namespace
