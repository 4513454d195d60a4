#include "requirement/module_rows.h"

#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/stored_value.h"
#include "platform/db/table_name.h"

#include <QStringList>

#include <algorithm>

namespace requirement {

namespace {

// Rows per statement: well within the parameters a statement may bind on every driver.
constexpr qsizetype kRowsPerStatement = 200;

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
    // The rows' values, numbered through the whole statement.
    const auto valuesOf = [&](qsizetype count) {
        QStringList tuples;
        int parameter = 1;
        for (qsizetype r = 0; r < count; ++r) {
            QStringList marks;
            for (qsizetype i = 0; i < def.fields.size(); ++i)
                marks << d.parameter(parameter++);
            tuples << QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
        }
        return tuples.join(QStringLiteral(", "));
    };
    for (qsizetype first = 0; first < rows.size(); first += kRowsPerStatement) {
        const qsizetype count = std::min(kRowsPerStatement, rows.size() - first);
        auto statement = connection.prepare(into + valuesOf(count));
        db::StatementUse use(*statement);
        int parameter = 1;
        for (qsizetype r = first; r < first + count; ++r)
            for (qsizetype i = 0; i < def.fields.size(); ++i)
                statement->bind(parameter++, db::toStored(def.fields[i].type, rows[r].value(i)));
        statement->step();
        connection.noteWrite();
    }
}

} // namespace requirement
