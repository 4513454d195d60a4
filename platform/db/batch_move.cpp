#include "platform/db/batch_move.h"

#include "platform/base/errors.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/row_insert.h"
#include "platform/db/table.h"
#include "platform/db/table_name.h"

namespace db {

using base::DatabaseError;

namespace {

// Records read and written at a time: few statements, a bounded part of the source in memory.
constexpr int kRowsAtATime = 1024;
// Rows a statement: the destination is created anew, so its statements are prepared anew on
// every copy, and a short statement is quicker to prepare than a long one.
constexpr qsizetype kRowsPerStatement = 32;

} // namespace

void BatchMove::execute() {
    if (!m_source || !m_destination)
        throw DatabaseError(QStringLiteral("A batch move needs a source and a destination."));
    if (m_destination->isActive())
        m_destination->close();
    if (!m_source->isActive())
        m_source->open();
    m_source->checkBrowseMode();

    TableDef def;
    def.name = m_destination->tableName();
    const QList<Field*> fields = m_source->dataFields();
    for (Field* f : fields)
        def.fields << FieldDef{f->fieldName(), f->dataType(), f->size(), false};

    Database& db = m_destination->database();
    m_moved = 0;
    db.transaction([&] {
        if (db.tableExists(def.name))
            db.deleteTable(def.name);
        db.createTable(def);
        m_source->readStoredInBatches(kRowsAtATime, [&](const std::vector<RecordBuffer>& rows) {
            insertRows(
                db, def.name, def.fields, qsizetype(rows.size()),
                [&](qsizetype row, qsizetype field) {
                    return rows[size_t(row)].values.value(fields[field]->index());
                },
                kRowsPerStatement);
            m_moved += int(rows.size());
        });
        db.connection().noteWrite();
    });
}

} // namespace db
