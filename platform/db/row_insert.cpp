#include "platform/db/row_insert.h"

#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/stored_value.h"
#include "platform/db/table_name.h"

#include <QHash>
#include <QStringList>

namespace db {

namespace {

constexpr qsizetype kMostValues = 999;

qsizetype rowsInNextStatement(qsizetype left, qsizetype widest) {
    qsizetype rows = widest;
    while (rows > left)
        rows /= 2;
    return rows;
}

} // namespace

void insertRows(Database& database, const QString& table, const QList<FieldDef>& fields,
                qsizetype rowCount, const RowValue& value, qsizetype mostRows) {
    if (rowCount <= 0 || fields.isEmpty())
        return;
    Connection& connection = database.connection();
    const Dialect& d = connection.dialect();
    QStringList columns;
    for (const FieldDef& f : fields)
        columns << d.identifier(f.name);
    const QString into =
        QStringLiteral("INSERT INTO %1 (%2) VALUES ")
            .arg(d.table(storedTableName(table)), columns.join(QStringLiteral(", ")));
    // The largest power of two of rows up to mostRows within the values a statement may bind.
    qsizetype widest = 1;
    while (widest * 2 <= mostRows && widest * 2 * fields.size() <= kMostValues)
        widest *= 2;
    // The statements' texts by their table and number of rows, the values numbered through the
    // whole statement; made once, as the connection keeps their statements.
    thread_local QHash<QString, QString> texts;
    const auto textFor = [&](qsizetype count) -> const QString& {
        QString& text = texts[into + d.parameter(1) + QLatin1Char('/') + QString::number(count)];
        if (!text.isEmpty())
            return text;
        text = into;
        int parameter = 1;
        for (qsizetype r = 0; r < count; ++r) {
            text += r ? QStringLiteral(", (") : QStringLiteral("(");
            for (qsizetype i = 0; i < fields.size(); ++i) {
                if (i)
                    text += QStringLiteral(", ");
                text += d.parameter(parameter++);
            }
            text += QLatin1Char(')');
        }
        return text;
    };
    for (qsizetype first = 0; first < rowCount;) {
        const qsizetype count = rowsInNextStatement(rowCount - first, widest);
        auto statement = connection.prepare(textFor(count));
        StatementUse use(*statement);
        int parameter = 1;
        for (qsizetype r = first; r < first + count; ++r)
            for (qsizetype i = 0; i < fields.size(); ++i)
                statement->bind(parameter++, toStored(fields[i].type, value(r, i)));
        statement->step();
        connection.noteWrite();
        first += count;
    }
}

void insertRows(Database& database, const TableDef& def, const QList<QVariantList>& rows) {
    insertRows(database, def.name, def.fields, rows.size(),
               [&rows](qsizetype row, qsizetype field) { return rows[row].value(field); });
}

} // namespace db
