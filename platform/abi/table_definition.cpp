#include "platform/abi/table_definition.h"

#include "platform/abi/host_string.h"

namespace hostabi {

std::uint32_t toAddress32(const void* p) {
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    if (address > 0xFFFFFFFFu)
        throw RangeError("address does not fit a 32-bit field");
    return static_cast<std::uint32_t>(address);
}

void FieldDescriptor::assign(const QString& fieldName, FieldTypeCode fieldType,
                             std::uint16_t fieldSize, std::uint8_t fieldFlag) {
    name.set(fieldName);
    type = fieldType;
    size = fieldSize;
    flag = fieldFlag;
}

void IndexDescriptor::assign(const QString& indexName, const QString& indexFields,
                             std::uint8_t indexOptions) {
    HostString newName(indexName);
    HostString newFields(indexFields);
    const std::uint32_t nameAddress = toAddress32(newName.get());
    const std::uint32_t fieldsAddress = toAddress32(newFields.get());

    char* old = name.get();
    strRelease(old);
    old = fields.get();
    strRelease(old);
    name.value = nameAddress;
    fields.value = fieldsAddress;
    newName.take();
    newFields.take();
    options = indexOptions;
}

QString IndexDescriptor::nameText() const {
    return strToQString(name.get());
}

QString IndexDescriptor::fieldsText() const {
    return strToQString(fields.get());
}

void TableDefinitionEntry::releaseArrays() noexcept {
    // Without the flag the index address was never written and may hold anything.
    IndexDescriptor* array = indexFlag != 0 ? indexes.get() : nullptr;
    if (array) {
        for (std::int32_t i = 0; i < indexCount; ++i) {
            char* s = array[i].name.get();
            strRelease(s);
            s = array[i].fields.get();
            strRelease(s);
        }
        mem::release(array);
    }
    mem::release(fields.get());
    fields.value = 0;
    indexes.value = 0;
    fieldCount = 0;
    indexCount = 0;
}

TableDefinitionEntry& TableDefinitionList::appendEntry() {
    const std::int32_t used = count;
    if (used >= kCapacity)
        throw RangeError("the table-definition list is full (50 entries)");
    if (used < 0)
        throw RangeError("the table-definition list has a negative count");
    count = used + 1;
    return entries[used];
}

} // namespace hostabi
