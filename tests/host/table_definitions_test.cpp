// Reading the table definitions that add-ons append to the host's list.
#include "host/table_definitions.h"
#include "platform/abi/memory_manager.h"
#include "platform/base/errors.h"
#include "tests/support/readable_name.h"

#include <gtest/gtest.h>

using namespace hostabi;
using host::TableDefinitionBuffer;

namespace {

struct FieldIn {
    const char* name;
    FieldTypeCode type;
    std::uint16_t size;
};
struct IndexIn {
    const char* name;
    const char* fields;
    std::uint8_t options;
};

// Appends an entry the way an add-on does.
TableDefinitionEntry& append(TableDefinitionList& list, const char* table,
                             const QList<FieldIn>& fields, const QList<IndexIn>& indexes,
                             bool indexFlag = true) {
    TableDefinitionEntry& entry = list.appendEntry();
    entry.tableName.set(QString::fromUtf8(table));
    entry.fieldCount = std::int32_t(fields.size());
    entry.indexCount = std::int32_t(indexes.size());
    entry.indexFlag = indexFlag ? 1 : 0;
    auto* fieldArray = allocateDescriptors<FieldDescriptor>(std::int32_t(fields.size()));
    for (int i = 0; i < fields.size(); ++i)
        fieldArray[i].assign(QString::fromUtf8(fields[i].name), fields[i].type, fields[i].size);
    entry.fields.set(fieldArray);
    if (indexFlag) {
        auto* indexArray = allocateDescriptors<IndexDescriptor>(std::int32_t(indexes.size()));
        for (int i = 0; i < indexes.size(); ++i)
            indexArray[i].assign(QString::fromUtf8(indexes[i].name),
                                 QString::fromUtf8(indexes[i].fields), indexes[i].options);
        entry.indexes.set(indexArray);
    }
    return entry;
}

} // namespace

TEST(TableDefinitions, RecipeTableBecomesItsTableDefinition) {
    TableDefinitionBuffer buffer;
    append(*buffer.list(), "Reteta.DB",
           {{"Cod", FieldTypeCode::String, 30},
            {"Cod_MatPrim", FieldTypeCode::String, 30},
            {"Cod_Grupa", FieldTypeCode::String, 8},
            {"Cant_MatPrim", FieldTypeCode::Float, 0}},
           {{"", "Cod;Cod_MatPrim", IndexPrimary | IndexUnique}});

    const QList<db::TableDef> defs = buffer.tableDefs();
    ASSERT_EQ(defs.size(), 1);
    const db::TableDef& t = defs[0];
    EXPECT_EQ(t.name, "Reteta.DB");
    ASSERT_EQ(t.fields.size(), 4);
    EXPECT_EQ(t.fields[0].name, "Cod");
    EXPECT_EQ(t.fields[0].type, db::FieldType::Text);
    EXPECT_EQ(t.fields[0].size, 30);
    EXPECT_EQ(t.fields[2].name, "Cod_Grupa");
    EXPECT_EQ(t.fields[2].size, 8);
    EXPECT_EQ(t.fields[3].type, db::FieldType::Float);
    ASSERT_EQ(t.indexes.size(), 1);
    EXPECT_TRUE(t.indexes[0].primary);
    EXPECT_TRUE(t.indexes[0].unique);
    EXPECT_EQ(t.indexes[0].fields, (QStringList{"Cod", "Cod_MatPrim"}));
}

struct TypeCase {
    FieldTypeCode code;
    std::uint16_t size;
    db::FieldType type;
    int expectedSize;
};

namespace hostabi {
// Names the codes the cases use; others by number.
void PrintTo(FieldTypeCode code, std::ostream* os) {
    switch (code) {
    case FieldTypeCode::Unknown:
        *os << "Unknown";
        return;
    case FieldTypeCode::String:
        *os << "String";
        return;
    case FieldTypeCode::SmallInt:
        *os << "SmallInt";
        return;
    case FieldTypeCode::Boolean:
        *os << "Boolean";
        return;
    case FieldTypeCode::Float:
        *os << "Float";
        return;
    case FieldTypeCode::Currency:
        *os << "Currency";
        return;
    case FieldTypeCode::Date:
        *os << "Date";
        return;
    case FieldTypeCode::DateTime:
        *os << "DateTime";
        return;
    case FieldTypeCode::Memo:
        *os << "Memo";
        return;
    case FieldTypeCode::DataSet:
        *os << "DataSet";
        return;
    default:
        *os << "Code" << int(code);
        return;
    }
}
} // namespace hostabi

void PrintTo(const TypeCase& c, std::ostream* os) {
    PrintTo(c.code, os);
    *os << " size " << c.size;
}

class FieldTypes : public ::testing::TestWithParam<TypeCase> {};

TEST_P(FieldTypes, MapToTheEngineTypes) {
    const TypeCase c = GetParam();
    TableDefinitionBuffer buffer;
    append(*buffer.list(), "T.DB", {{"F", c.code, c.size}}, {});
    const db::FieldDef f = buffer.tableDefs().at(0).fields.at(0);
    EXPECT_EQ(f.type, c.type);
    EXPECT_EQ(f.size, c.expectedSize);
}

INSTANTIATE_TEST_SUITE_P(
    TableDefinitions, FieldTypes,
    ::testing::Values(TypeCase{FieldTypeCode::String, 12, db::FieldType::Text, 12},
                      // A string without a size gets the engine's default width.
                      TypeCase{FieldTypeCode::String, 0, db::FieldType::Text, 20},
                      TypeCase{FieldTypeCode::Float, 0, db::FieldType::Float, 0},
                      TypeCase{FieldTypeCode::Date, 0, db::FieldType::Date, 0},
                      TypeCase{FieldTypeCode::Boolean, 0, db::FieldType::Boolean, 0},
                      // A size on a type without a width means nothing.
                      TypeCase{FieldTypeCode::Float, 8, db::FieldType::Float, 0}),
    testsupport::ReadableName());

class UnstoredTypes : public ::testing::TestWithParam<FieldTypeCode> {};

TEST_P(UnstoredTypes, AreRefusedNamingTheField) {
    TableDefinitionBuffer buffer;
    append(*buffer.list(), "Ciudat.DB",
           {{"Cod", FieldTypeCode::String, 5}, {"Poza", GetParam(), 0}}, {});
    try {
        buffer.tableDefs();
        FAIL() << "an unstored type was accepted";
    } catch (const base::Error& e) {
        EXPECT_TRUE(e.message().contains("Ciudat.DB.Poza")) << e.message().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(TableDefinitions, UnstoredTypes,
                         ::testing::Values(FieldTypeCode::Unknown, FieldTypeCode::SmallInt,
                                           FieldTypeCode::Currency, FieldTypeCode::DateTime,
                                           FieldTypeCode::Memo, FieldTypeCode::DataSet),
                         testsupport::ReadableName());

struct IndexCase {
    std::uint8_t options;
    bool primary;
    bool unique;
};

void PrintTo(const IndexCase& c, std::ostream* os) {
    *os << "options " << int(c.options);
}

class IndexOptions : public ::testing::TestWithParam<IndexCase> {};

TEST_P(IndexOptions, KeepThePrimaryAndUniqueBits) {
    const IndexCase c = GetParam();
    TableDefinitionBuffer buffer;
    append(*buffer.list(), "T.DB",
           {{"A", FieldTypeCode::String, 4}, {"B", FieldTypeCode::Float, 0}},
           {{"DupaB", "B; A", c.options}});
    const db::IndexDef index = buffer.tableDefs().at(0).indexes.at(0);
    EXPECT_EQ(index.name, "DupaB");
    EXPECT_EQ(index.fields, (QStringList{"B", "A"}));
    EXPECT_EQ(index.primary, c.primary);
    EXPECT_EQ(index.unique, c.unique);
}

INSTANTIATE_TEST_SUITE_P(
    TableDefinitions, IndexOptions,
    ::testing::Values(IndexCase{0, false, false}, IndexCase{IndexUnique, false, true},
                      IndexCase{IndexPrimary | IndexUnique, true, true},
                      // A primary index is unique even without the bit.
                      IndexCase{IndexPrimary, true, true},
                      IndexCase{IndexDescending | IndexCaseInsensitive, false, false}),
    testsupport::ReadableName());

TEST(TableDefinitions, WithoutTheIndexFlagTheIndexAddressIsNeverRead) {
    TableDefinitionBuffer buffer;
    TableDefinitionEntry& entry =
        append(*buffer.list(), "T.DB", {{"A", FieldTypeCode::String, 4}}, {}, false);
    // What an add-on that supplies no indexes may leave there.
    entry.indexCount = 3;
    entry.indexes.value = 0xDEADBEEFu;
    const db::TableDef def = buffer.tableDefs().at(0);
    EXPECT_TRUE(def.indexes.isEmpty());
}

TEST(TableDefinitions, DamagedEntriesAreErrorsNotReads) {
    {
        TableDefinitionBuffer buffer;
        append(*buffer.list(), "T.DB", {{"A", FieldTypeCode::String, 4}}, {}).fieldCount = -1;
        EXPECT_THROW(buffer.tableDefs(), base::Error);
    }
    {
        TableDefinitionBuffer buffer;
        TableDefinitionEntry& entry =
            append(*buffer.list(), "T.DB", {{"A", FieldTypeCode::String, 4}}, {});
        mem::release(entry.fields.get());
        entry.fields.value = 0; // counted fields without their array
        EXPECT_THROW(buffer.tableDefs(), base::Error);
    }
    {
        TableDefinitionBuffer buffer;
        buffer.list()->count = 51;
        EXPECT_THROW(buffer.tableDefs(), base::Error);
        buffer.list()->count = 0;
    }
}

TEST(TableDefinitions, TheBufferReleasesWhatTheAddOnsAllocated) {
    const std::size_t before = mem::blockCount();
    {
        TableDefinitionBuffer buffer;
        append(*buffer.list(), "A.DB", {{"A", FieldTypeCode::String, 4}},
               {{"", "A", IndexPrimary}});
        append(*buffer.list(), "B.DB", {{"B", FieldTypeCode::Float, 0}}, {{"Idx", "B", 0}});
        EXPECT_GT(mem::blockCount(), before + 2);
        buffer.clear();
        EXPECT_EQ(buffer.list()->count, 0);
        EXPECT_EQ(mem::blockCount(), before + 1); // the list itself
    }
    EXPECT_EQ(mem::blockCount(), before);
}
