#pragma once
// The definition of the module's own table that the host receives in its table-definition
// list, and the routine that appends a definition to the list.
#include "platform/abi/table_definition.h"

#include <QList>
#include <QString>

struct FieldSpec {
    QString name;
    hostabi::FieldTypeCode type;
    std::uint16_t size;
    std::uint8_t flag;
};

struct IndexSpec {
    QString name;   // empty for the primary index
    QString fields; // "Cod;Cod_MatPrim"
    std::uint8_t options;
};

// The list the host handed over last (kept, read by nothing else).
extern hostabi::TableDefinitionList* TableDefinitionList;

// Appends one entry: the table file name, its field descriptors and, when indexFlag is
// nonzero, its index descriptors, in arrays from the shared memory manager that belong to the
// host afterwards. A full list raises hostabi::RangeError and is left unchanged; so is a list
// when memory runs out.
void AddTableDefinition(hostabi::TableDefinitionList* list, const QString& tableName,
                        const QList<FieldSpec>& fields, std::int32_t indexFlag,
                        const QList<IndexSpec>& indexes);

// The recipe table "Reteta.DB" as the data module opens it: the key fields first, then the
// group and the quantity, with the primary index over "Cod;Cod_MatPrim".
QString recipeTableName();
QList<FieldSpec> recipeTableFields();
QList<IndexSpec> recipeTableIndexes();
