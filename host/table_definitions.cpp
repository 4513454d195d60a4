#include "host/table_definitions.h"

#include "platform/base/errors.h"
#include "platform/db/field_type.h"

namespace host {

using hostabi::FieldTypeCode;

namespace {

// Bounds for what one entry may declare; far above any real table, low enough that a
// damaged count cannot make the host walk through memory.
constexpr std::int32_t kMaxFields = 255;
constexpr std::int32_t kMaxIndexes = 64;

void checkCount(std::int32_t count, std::int32_t max, const char* what, const QString& table) {
    if (count < 0 || count > max)
        throw base::Error(QStringLiteral("The add-on declared %1 %2 for the table %3.")
                              .arg(count)
                              .arg(QString::fromLatin1(what), table));
}

} // namespace

db::FieldType fieldTypeOf(FieldTypeCode code, const QString& where) {
    switch (code) {
    case FieldTypeCode::String:
        return db::FieldType::Text;
    case FieldTypeCode::Float:
        return db::FieldType::Float;
    case FieldTypeCode::Date:
        return db::FieldType::Date;
    case FieldTypeCode::Boolean:
        return db::FieldType::Boolean;
    default:
        throw base::Error(
            QStringLiteral("The field %1 has the type code %2, which the host does not store.")
                .arg(where)
                .arg(int(code)));
    }
}

db::TableDef toTableDef(const hostabi::TableDefinitionEntry& entry) {
    db::TableDef def;
    def.name = entry.tableName.text();
    if (def.name.trimmed().isEmpty())
        throw base::Error(QStringLiteral("The add-on declared a table without a name."));

    const std::int32_t fieldCount = entry.fieldCount;
    checkCount(fieldCount, kMaxFields, "fields", def.name);
    const hostabi::FieldDescriptor* fields = entry.fields.get();
    if (fieldCount > 0 && !fields)
        throw base::Error(
            QStringLiteral("The add-on declared the fields of %1 without their array.")
                .arg(def.name));
    for (std::int32_t i = 0; i < fieldCount; ++i) {
        const hostabi::FieldDescriptor& d = fields[i];
        db::FieldDef f;
        f.name = d.name.text();
        f.type = fieldTypeOf(d.type, def.name + QLatin1Char('.') + f.name);
        if (f.type == db::FieldType::Text)
            f.size = d.size.get() > 0 ? int(d.size.get()) : db::kDefaultTextWidth;
        def.fields << f;
    }

    // Without the flag the index address was never written and may hold anything.
    if (entry.indexFlag == 0)
        return def;
    const std::int32_t indexCount = entry.indexCount;
    checkCount(indexCount, kMaxIndexes, "indexes", def.name);
    const hostabi::IndexDescriptor* indexes = entry.indexes.get();
    if (indexCount > 0 && !indexes)
        throw base::Error(
            QStringLiteral("The add-on declared the indexes of %1 without their array.")
                .arg(def.name));
    for (std::int32_t i = 0; i < indexCount; ++i) {
        const hostabi::IndexDescriptor& d = indexes[i];
        db::IndexDef index;
        index.name = d.nameText();
        index.fields = db::splitFieldList(d.fieldsText());
        index.primary = (d.options & hostabi::IndexPrimary) != 0;
        index.unique = index.primary || (d.options & hostabi::IndexUnique) != 0;
        def.indexes << index;
    }
    return def;
}

TableDefinitionBuffer::TableDefinitionBuffer()
    : m_list(static_cast<hostabi::TableDefinitionList*>(
          hostabi::mem::allocate(sizeof(hostabi::TableDefinitionList)))) {}

TableDefinitionBuffer::~TableDefinitionBuffer() {
    clear();
    hostabi::mem::release(m_list);
}

QList<db::TableDef> TableDefinitionBuffer::tableDefs() const {
    const std::int32_t count = m_list->count;
    if (count < 0 || count > hostabi::TableDefinitionList::kCapacity)
        throw base::Error(
            QStringLiteral("The table-definition list counts %1 entries.").arg(count));
    QList<db::TableDef> defs;
    for (std::int32_t i = 0; i < count; ++i)
        defs << toTableDef(m_list->entries[i]);
    return defs;
}

void TableDefinitionBuffer::clear() noexcept {
    const std::int32_t count = m_list->count;
    // A damaged count releases nothing rather than something that was never allocated.
    if (count > 0 && count <= hostabi::TableDefinitionList::kCapacity)
        for (std::int32_t i = 0; i < count; ++i)
            m_list->entries[i].releaseArrays();
    m_list->count = 0;
}

} // namespace host
