#pragma once
// The table-definition list the host hands to its add-ons, and the table definitions the host
// reads back out of it to create the add-ons' tables.
//
// The list comes from the shared memory manager, zero-filled, so that an add-on may allocate
// and the host release. The host owns everything in it once the add-on returns: the
// descriptor arrays and index strings of every entry in use are released with the list.
// Reading never trusts the add-on's numbers: a count out of range, a missing array or a type
// the engine does not store is an error naming the table, never a read past the data.
#include "platform/abi/table_definition.h"
#include "platform/db/field_type.h"

#include <QList>

namespace host {

// The database type of a field type code: 1 string -> text, 6 float, 9 date, 5 boolean.
// Throws base::Error for any other code.
db::FieldType fieldTypeOf(hostabi::FieldTypeCode code, const QString& where);

// One entry as a table definition: text fields keep their size (the engine's default width
// when the add-on gives 0); indexes keep their name, fields and the primary and unique bits.
db::TableDef toTableDef(const hostabi::TableDefinitionEntry& entry);

class TableDefinitionBuffer {
public:
    TableDefinitionBuffer();
    ~TableDefinitionBuffer();
    TableDefinitionBuffer(const TableDefinitionBuffer&) = delete;
    TableDefinitionBuffer& operator=(const TableDefinitionBuffer&) = delete;

    hostabi::TableDefinitionList* list() const { return m_list; }
    // The entries in use, in order. Throws base::Error for a count outside 0..50.
    QList<db::TableDef> tableDefs() const;
    // Releases the arrays of the entries in use and empties the list.
    void clear() noexcept;

private:
    hostabi::TableDefinitionList* m_list;
};

} // namespace host
