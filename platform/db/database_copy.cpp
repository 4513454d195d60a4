#include "platform/db/database_copy.h"

#include "platform/base/errors.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/stored_value.h"
#include "platform/db/table_name.h"

namespace db {

using base::DatabaseError;

namespace {

qint64 countRows(Database& d, const QString& table) {
    Connection& c = d.connection();
    auto s = c.prepare(QStringLiteral("SELECT COUNT(*) FROM %1").arg(c.dialect().table(table)));
    StatementUse use(*s);
    return s->step() ? s->columnInt64(0) : 0;
}

} // namespace

QList<CopiedTable> copyDatabase(Database& from, Database& to,
                                const std::function<void(const CopiedTable&)>& progress) {
    const QStringList existing = to.tableNames();
    if (!existing.isEmpty())
        throw DatabaseError(
            QStringLiteral("The target %1 already holds tables (%2); a company is moved "
                           "only into a place that holds none.")
                .arg(to.directory(), existing.join(QStringLiteral(", "))));
    QList<CopiedTable> copied;
    Connection& target = to.connection();
    to.transaction([&] {
        for (const QString& name : from.tableNames()) {
            const TableDef def = from.tableStructure(name);
            to.createTable(def);
            // Each side in its own engine's terms; the records in their order of entry.
            const Dialect& source = from.connection().dialect();
            const Dialect& dest = target.dialect();
            QStringList readCols, writeCols, marks;
            for (const FieldDef& f : def.fields) {
                readCols << source.identifier(f.name);
                writeCols << dest.identifier(f.name);
                marks << dest.parameter(int(marks.size()) + 1);
            }
            auto read = from.connection().prepare(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                                                      .arg(readCols.join(QStringLiteral(", ")),
                                                           source.table(def.name), source.rowId()));
            auto write =
                target.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(dest.table(def.name), writeCols.join(QStringLiteral(", ")),
                                        marks.join(QStringLiteral(", "))));
            CopiedTable table{def.name, 0};
            StatementUse reading(*read);
            while (read->step()) {
                StatementUse writing(*write);
                for (int i = 0; i < def.fields.size(); ++i)
                    write->bind(i + 1,
                                toStored(def.fields[i].type, read->column(i, def.fields[i].type)));
                write->step();
                ++table.rows;
            }
            copied << table;
        }
        target.noteWrite();
        // Counted inside the transaction: a difference leaves the target as it was.
        for (const CopiedTable& t : copied) {
            const qint64 source = countRows(from, t.name), written = countRows(to, t.name);
            if (source != t.rows || written != t.rows)
                throw DatabaseError(
                    QStringLiteral("Table %1: %2 records at the source, %3 copied, %4 at the "
                                   "target. Nothing was moved.")
                        .arg(t.name)
                        .arg(source)
                        .arg(t.rows)
                        .arg(written));
        }
    });
    for (const CopiedTable& t : copied)
        if (progress)
            progress(t);
    return copied;
}

} // namespace db
