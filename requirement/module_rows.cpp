#include "requirement/module_rows.h"

#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/stored_value.h"
#include "platform/db/table_name.h"

#include <QHash>
#include <QStringList>

#include <algorithm>

namespace requirement {

namespace {

// Rows per statement: well within the parameters a statement may bind on every driver. A
// shorter rest goes in by powers of two, so that a few statement shapes serve every count and
// the connection keeps them prepared from one document to the next.
constexpr qsizetype kRowsPerStatement = 128;

qsizetype rowsInNextStatement(qsizetype left) {
    qsizetype rows = kRowsPerStatement;
    while (rows > left)
        rows /= 2;
    return rows;
}

} // namespace

void insertRows(db::Database& database, const db::TableDef& def, const QList<QVariantList>& rows) {
    if (rows.isEmpty())
        return;
    db::Connection& connection = database.connection();
    const db::Dialect& d = connection.dialect();
    QStringList columns;
    for (const db::FieldDef& f : def.fields)
        columns << d.identifier(f.name);
    const QString into =
        QStringLiteral("INSERT INTO %1 (%2) VALUES ")
            .arg(d.table(db::storedTableName(def.name)), columns.join(QStringLiteral(", ")));
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
            for (qsizetype i = 0; i < def.fields.size(); ++i) {
                if (i)
                    text += QStringLiteral(", ");
                text += d.parameter(parameter++);
            }
            text += QLatin1Char(')');
        }
        return text;
    };
    for (qsizetype first = 0; first < rows.size();) {
        const qsizetype count = rowsInNextStatement(rows.size() - first);
        auto statement = connection.prepare(textFor(count));
        db::StatementUse use(*statement);
        int parameter = 1;
        for (qsizetype r = first; r < first + count; ++r)
            for (qsizetype i = 0; i < def.fields.size(); ++i)
                statement->bind(parameter++, db::toStored(def.fields[i].type, rows[r].value(i)));
        statement->step();
        connection.noteWrite();
        first += count;
    }
}

} // namespace requirement
