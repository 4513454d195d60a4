#pragma once
// The host's table-definition list, and the entries and descriptor arrays an add-on writes into
// it to declare its own tables. These are binary layouts shared with the host: little-endian,
// unpadded, with the offsets checked below.
//
// The list belongs to the host; an add-on writes only its count and the entries it appends,
// never the host's own bytes. The descriptor arrays and the strings of the index descriptors
// come from the shared memory manager and belong to the host once handed over. Their addresses
// travel in 32-bit fields, which is why that manager serves memory below 4 GiB.
#include "platform/abi/little_endian.h"
#include "platform/abi/memory_manager.h"
#include "platform/abi/short_text.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace hostabi {

// A full table-definition list, a count out of range, or an address that does not fit a
// 32-bit field. It derives from a standard type so that the other side of the boundary can
// catch it by that type.
class RangeError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

// The database layer's field-type list; the codes are the enumerators' positions (String 1,
// Float 6, DataSet 29).
// clang-format off
enum class FieldTypeCode : std::uint8_t {
    Unknown, String, SmallInt, Integer, Word, Boolean, Float, Currency, Bcd, Date,             // 0-9
    Time, DateTime, Bytes, VarBytes, AutoInc, Blob, Memo, Graphic, FmtMemo, ParadoxOle,        // 10-19
    DBaseOle, TypedBinary, Cursor, FixedChar, WideString, LargeInt, Adt, Array, Reference,     // 20-28
    DataSet,                                                                                   // 29
};
// clang-format on
static_assert(std::uint8_t(FieldTypeCode::Float) == 6 &&
              std::uint8_t(FieldTypeCode::DataSet) == 29);

// Bits of an index descriptor's options.
enum IndexOption : std::uint8_t {
    IndexPrimary = 0x01,
    IndexUnique = 0x02,
    IndexDescending = 0x04,
    IndexCaseInsensitive = 0x08,
    IndexExpression = 0x10,
    IndexNonMaintained = 0x20,
};

// The 32-bit form of an address; throws RangeError for one at or above 4 GiB.
std::uint32_t toAddress32(const void* p);

// A 32-bit field holding the address of a T; 0 is null.
template <typename T> struct Address32 {
    LittleEndian<std::uint32_t> value;

    T* get() const noexcept { return reinterpret_cast<T*>(std::uintptr_t(value.get())); }
    void set(T* p) { value = toAddress32(p); }
};

struct FieldDescriptor {
    ShortText<50> name;
    FieldTypeCode type;
    LittleEndian<std::uint16_t> size; // width in characters of a text field, else 0
    std::uint8_t flag;                // the host's; passed on as given
    std::uint8_t zero;

    // Writes the name (cut to 50 characters), type, size and flag.
    void assign(const QString& fieldName, FieldTypeCode fieldType, std::uint16_t fieldSize,
                std::uint8_t fieldFlag = 0);
};

struct IndexDescriptor {
    Address32<char> name;   // host string; null for the unnamed (primary) index
    Address32<char> fields; // host string: field names separated by ";"
    std::uint8_t options;   // IndexOption bits
    std::uint8_t zero[3];

    // Writes a new host string for the name and for the fields, each holding one reference for
    // the host (an empty text stays null), and the options. Strings held before are released.
    // On failure the descriptor is left as it was.
    void assign(const QString& indexName, const QString& indexFields, std::uint8_t indexOptions);
    QString nameText() const;
    QString fieldsText() const;
};

struct TableDefinitionEntry {
    ShortText<80> tableName;
    std::uint8_t unused[3];
    LittleEndian<std::int32_t> fieldCount;
    LittleEndian<std::int32_t> indexCount;
    LittleEndian<std::int32_t> indexFlag; // nonzero when index descriptors are supplied
    Address32<FieldDescriptor> fields;
    Address32<IndexDescriptor> indexes; // written only when indexFlag is nonzero

    // The host's side: releases the descriptor arrays and the index descriptors' strings, and
    // clears their addresses and counts. The index array is taken only when indexFlag is set.
    void releaseArrays() noexcept;
};

struct TableDefinitionList {
    static constexpr std::int32_t kCapacity = 50;

    std::uint8_t hostHeader[12];
    LittleEndian<std::int32_t> count;
    std::uint8_t hostReserved[4];
    TableDefinitionEntry entries[kCapacity];

    // Counts one more entry and returns it, its bytes as the host left them. Throws RangeError
    // and leaves the list unchanged when it is full; likewise for a count outside
    // 0..kCapacity, which would put the entry outside the list.
    TableDefinitionEntry& appendEntry();
};

// A zero-filled array of count descriptors from the shared memory manager; nullptr for 0.
// Throws RangeError for a negative count, std::bad_alloc when memory is exhausted.
template <typename Descriptor> Descriptor* allocateDescriptors(std::int32_t count) {
    if (count < 0)
        throw RangeError("negative descriptor count");
    return static_cast<Descriptor*>(mem::allocate(std::size_t(count) * sizeof(Descriptor)));
}

static_assert(sizeof(FieldDescriptor) == 56);
static_assert(offsetof(FieldDescriptor, type) == 51);
static_assert(offsetof(FieldDescriptor, size) == 52);
static_assert(offsetof(FieldDescriptor, flag) == 54);
static_assert(offsetof(FieldDescriptor, zero) == 55);

static_assert(sizeof(IndexDescriptor) == 12);
static_assert(offsetof(IndexDescriptor, fields) == 4);
static_assert(offsetof(IndexDescriptor, options) == 8);

static_assert(sizeof(TableDefinitionEntry) == 104);
static_assert(offsetof(TableDefinitionEntry, unused) == 81);
static_assert(offsetof(TableDefinitionEntry, fieldCount) == 84);
static_assert(offsetof(TableDefinitionEntry, indexCount) == 88);
static_assert(offsetof(TableDefinitionEntry, indexFlag) == 92);
static_assert(offsetof(TableDefinitionEntry, fields) == 96);
static_assert(offsetof(TableDefinitionEntry, indexes) == 100);

static_assert(offsetof(TableDefinitionList, count) == 12);
static_assert(offsetof(TableDefinitionList, entries) == 20);
static_assert(sizeof(TableDefinitionList) == 20 + 50 * 104);

} // namespace hostabi
