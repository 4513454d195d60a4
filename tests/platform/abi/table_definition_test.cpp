#include "platform/abi/host_string.h"
#include "platform/abi/memory_manager.h"
#include "platform/abi/table_definition.h"
#include "tests/support/readable_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <vector>

using namespace hostabi;

namespace {

constexpr unsigned char kHostByte = 0xAA; // what the host left in bytes nobody should write

std::int32_t readInt32(const unsigned char* p) {
    return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                        std::uint32_t(p[3]) << 24);
}

// A host's list as raw bytes, so that offsets are checked independently of the struct.
struct RawList {
    std::vector<unsigned char> bytes =
        std::vector<unsigned char>(sizeof(TableDefinitionList), kHostByte);

    RawList(std::int32_t count = 0) { list().count = count; }
    TableDefinitionList& list() { return *reinterpret_cast<TableDefinitionList*>(bytes.data()); }
    const unsigned char* entry(int k) const { return bytes.data() + 20 + 104 * k; }
};

} // namespace

TEST(TableDefinition, EntryIsWrittenAtItsOffsetsAndAddressesDereference) {
    const std::size_t before = mem::blockCount();
    RawList raw;
    for (const char* name : {"Reteta.DB", "Second.DB"}) {
        TableDefinitionEntry& e = raw.list().appendEntry();
        e.tableName.set(QString::fromLatin1(name));
        e.fieldCount = 3;
        e.indexCount = 1;
        e.indexFlag = 1;
        auto* fields = allocateDescriptors<FieldDescriptor>(3);
        fields[0].assign(QStringLiteral("Cod"), FieldTypeCode::String, 12);
        fields[1].assign(QStringLiteral("Cod_MatPrim"), FieldTypeCode::String, 12);
        fields[2].assign(QStringLiteral("Cant_MatPrim"), FieldTypeCode::Float, 0);
        e.fields.set(fields);
        auto* indexes = allocateDescriptors<IndexDescriptor>(1);
        indexes[0].assign(QString(), QStringLiteral("Cod;Cod_MatPrim"), IndexPrimary | IndexUnique);
        e.indexes.set(indexes);
    }

    EXPECT_EQ(readInt32(raw.bytes.data() + 12), 2);
    EXPECT_EQ(raw.bytes[11], kHostByte); // host bytes around the count untouched
    EXPECT_EQ(raw.bytes[16], kHostByte);
    EXPECT_EQ(raw.entry(1)[0], 9);
    EXPECT_EQ(std::memcmp(raw.entry(1) + 1, "Second.DB", 9), 0);

    const unsigned char* e = raw.entry(0);
    EXPECT_EQ(e[0], 9);
    EXPECT_EQ(std::memcmp(e + 1, "Reteta.DB", 9), 0);
    EXPECT_EQ(e[10], kHostByte); // the rest of the name field is not written
    EXPECT_EQ(e[81], kHostByte);
    EXPECT_EQ(readInt32(e + 84), 3);
    EXPECT_EQ(readInt32(e + 88), 1);
    EXPECT_EQ(readInt32(e + 92), 1);

    const auto* fields =
        reinterpret_cast<const unsigned char*>(std::uintptr_t(std::uint32_t(readInt32(e + 96))));
    EXPECT_EQ(fields, reinterpret_cast<const unsigned char*>(raw.list().entries[0].fields.get()));
    EXPECT_EQ(fields[0], 3);
    EXPECT_EQ(std::memcmp(fields + 1, "Cod", 3), 0);
    EXPECT_EQ(fields[51], 1);  // string
    EXPECT_EQ(fields[52], 12); // size, little-endian
    EXPECT_EQ(fields[53], 0);
    EXPECT_EQ(fields[54], 0);
    EXPECT_EQ(fields[56], 11); // the second descriptor
    EXPECT_EQ(fields[56 + 56 + 51], 6);

    const auto* index =
        reinterpret_cast<const unsigned char*>(std::uintptr_t(std::uint32_t(readInt32(e + 100))));
    EXPECT_EQ(readInt32(index), 0); // unnamed primary index
    const auto* indexFields =
        reinterpret_cast<const char*>(std::uintptr_t(std::uint32_t(readInt32(index + 4))));
    EXPECT_STREQ(indexFields, "Cod;Cod_MatPrim");
    EXPECT_EQ(strRefCount(indexFields), 1); // one reference, for the host
    EXPECT_EQ(index[8], 3);
    EXPECT_EQ(index[9] | index[10] | index[11], 0);

    raw.list().entries[0].releaseArrays();
    raw.list().entries[1].releaseArrays();
    EXPECT_EQ(mem::blockCount(), before);
}

TEST(TableDefinition, ShortTextsAreCutToTheirField) {
    RawList raw;
    TableDefinitionEntry& e = raw.list().appendEntry();
    e.tableName.set(QString(100, QLatin1Char('T')));
    EXPECT_EQ(e.tableName.length, 80);
    EXPECT_EQ(e.tableName.text(), QString(80, QLatin1Char('T')));

    FieldDescriptor field{};
    field.assign(QStringLiteral("Câmp_") + QString(60, QLatin1Char('x')), FieldTypeCode::String,
                 30);
    EXPECT_EQ(field.name.length, 50);
    EXPECT_EQ(field.name.chars[1], '\xE2'); // â in code page 1250
    EXPECT_EQ(field.zero, 0);

    field.name.length = 255; // a damaged length never reads past the field
    EXPECT_EQ(field.name.bytes().size(), 50);
}

// Appending to a list that holds `count` entries.
struct AppendCase {
    std::int32_t count;
    bool accepted;
};

void PrintTo(const AppendCase& c, std::ostream* os) {
    *os << "count" << c.count << (c.accepted ? "_accepted" : "_refused");
}

class TableListAppend : public ::testing::TestWithParam<AppendCase> {};

TEST_P(TableListAppend, RefusesAFullListAndLeavesItUnchanged) {
    const AppendCase c = GetParam();
    RawList raw(c.count);
    const std::vector<unsigned char> original = raw.bytes;
    if (c.accepted) {
        TableDefinitionEntry& e = raw.list().appendEntry();
        EXPECT_EQ(reinterpret_cast<unsigned char*>(&e), raw.bytes.data() + 20 + 104 * c.count);
        EXPECT_EQ(raw.list().count, c.count + 1);
    } else {
        EXPECT_THROW(raw.list().appendEntry(), RangeError);
        EXPECT_EQ(raw.bytes, original);
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, TableListAppend,
                         ::testing::Values(AppendCase{0, true}, AppendCase{49, true},
                                           AppendCase{50, false}, AppendCase{51, false},
                                           AppendCase{-1, false}),
                         testsupport::ReadableName());

TEST(TableDefinition, RangeErrorIsAStandardOutOfRange) {
    RawList raw(50);
    EXPECT_THROW(raw.list().appendEntry(), std::out_of_range);
    EXPECT_THROW(allocateDescriptors<FieldDescriptor>(-1), RangeError);
    EXPECT_EQ(allocateDescriptors<FieldDescriptor>(0), nullptr);
}

TEST(TableDefinition, NumbersAreLittleEndianAndAddressesFit32Bits) {
    LittleEndian<std::int32_t> n{};
    n = -2;
    EXPECT_EQ(std::vector<unsigned char>(n.bytes, n.bytes + 4),
              (std::vector<unsigned char>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(n, -2);
    if constexpr (sizeof(void*) > 4) {
        EXPECT_THROW(toAddress32(reinterpret_cast<void*>(std::uintptr_t(std::uint64_t(1) << 33))),
                     RangeError);
    }
}
