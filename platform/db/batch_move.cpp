#include "platform/db/batch_move.h"

#include "platform/base/errors.h"
#include "platform/db/connection.h"
#include "platform/db/controls_disabled.h"
#include "platform/db/database.h"
#include "platform/db/stored_value.h"
#include "platform/db/table.h"
#include "platform/db/table_name.h"

namespace db {

using base::DatabaseError;

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
    Connection& c = db.connection();
    const Dialect& d = c.dialect();
    QStringList cols, marks;
    for (Field* f : fields) {
        cols << d.identifier(f->fieldName());
        marks << d.parameter(int(marks.size()) + 1);
    }
    m_moved = 0;
    db.transaction([&] {
        if (db.tableExists(def.name))
            db.deleteTable(def.name);
        db.createTable(def);
        auto s =
            c.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(d.table(storedTableName(def.name)), cols.join(QStringLiteral(", ")),
                               marks.join(QStringLiteral(", "))));
        {
            const ControlsDisabled quiet(*m_source);
            for (m_source->first(); !m_source->eof(); m_source->next()) {
                if (m_source->isEmpty())
                    break;
                StatementUse use(*s);
                for (int i = 0; i < fields.size(); ++i)
                    s->bind(i + 1, toStored(fields[i]->dataType(), fields[i]->value()));
                s->step();
                ++m_moved;
            }
        }
        c.noteWrite();
    });
}

} // namespace db
