#include "addon/table_definition.h"

#include "platform/base/cp1250.h"

hostabi::TableDefinitionList* TableDefinitionList = nullptr;

QString recipeTableName() {
    return QStringLiteral("Reteta.DB");
}

QList<FieldSpec> recipeTableFields() {
    using hostabi::FieldTypeCode;
    return {{QStringLiteral("Cod"), FieldTypeCode::String, 30, 0},
            {QStringLiteral("Cod_MatPrim"), FieldTypeCode::String, 30, 0},
            {QStringLiteral("Cod_Grupa"), FieldTypeCode::String, 8, 0},
            {QStringLiteral("Cant_MatPrim"), FieldTypeCode::Float, 0, 0}};
}

QList<IndexSpec> recipeTableIndexes() {
    return {{QString(), QStringLiteral("Cod;Cod_MatPrim"),
             hostabi::IndexPrimary | hostabi::IndexUnique}};
}

void AddTableDefinition(hostabi::TableDefinitionList* list, const QString& tableName,
                        const QList<FieldSpec>& fields, std::int32_t indexFlag,
                        const QList<IndexSpec>& indexes) {
    using namespace hostabi;
    if (list->count.get() >= TableDefinitionList::kCapacity)
        throw RangeError("the table-definition list is full");
    // Everything is prepared before the entry is counted, so that a failure leaves no
    // half-written entry in the host's list.
    const QByteArray nameBytes = base::cp1250::encode(tableName, QStringLiteral("table name"));
    auto* fieldArray = allocateDescriptors<FieldDescriptor>(std::int32_t(fields.size()));
    IndexDescriptor* indexArray = nullptr;
    try {
        for (int i = 0; i < fields.size(); ++i)
            fieldArray[i].assign(fields[i].name, fields[i].type, fields[i].size, fields[i].flag);
        if (indexFlag != 0) {
            indexArray = allocateDescriptors<IndexDescriptor>(std::int32_t(indexes.size()));
            for (int i = 0; i < indexes.size(); ++i)
                indexArray[i].assign(indexes[i].name, indexes[i].fields, indexes[i].options);
        }
        TableDefinitionEntry& entry = list->appendEntry();
        entry.tableName.setBytes(nameBytes);
        entry.fieldCount = std::int32_t(fields.size());
        entry.indexCount = std::int32_t(indexes.size());
        entry.indexFlag = indexFlag;
        entry.fields.set(fieldArray);
        if (indexFlag != 0)
            entry.indexes.set(indexArray);
    } catch (...) {
        if (indexArray) {
            for (int i = 0; i < indexes.size(); ++i)
                indexArray[i].assign(QString(), QString(), 0);
            mem::release(indexArray);
        }
        if (fieldArray)
            mem::release(fieldArray);
        throw;
    }
}
