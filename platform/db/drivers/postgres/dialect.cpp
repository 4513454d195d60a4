#include "platform/db/drivers/postgres/dialect.h"

#include "platform/db/drivers/postgres/query_language.h"
#include "platform/db/table_name.h"

#include <QRegularExpression>

namespace db::postgres {

const Dialect& Dialect::instance() {
    static const Dialect dialect;
    return dialect;
}

QString Dialect::identifier(const QString& name) const {
    return quoteIdentifier(name.toLower());
}

QString Dialect::table(const QString& storedName) const {
    return identifier(storedName);
}

QString Dialect::parameter(int n) const {
    return QLatin1Char('$') + QString::number(n);
}

QString Dialect::typedParameter(int n, FieldType type) const {
    const QString p = parameter(n);
    switch (type) {
    case FieldType::Text:
        return QStringLiteral("CAST(%1 AS varchar)").arg(p);
    case FieldType::Float:
        return QStringLiteral("CAST(%1 AS double precision)").arg(p);
    case FieldType::Integer:
        return QStringLiteral("CAST(%1 AS integer)").arg(p);
    case FieldType::Boolean:
        return QStringLiteral("CAST(%1 AS boolean)").arg(p);
    case FieldType::Date:
        return QStringLiteral("CAST(%1 AS date)").arg(p);
    }
    return p;
}

QString Dialect::columnType(const FieldDef& f) const {
    switch (f.type) {
    case FieldType::Text:
        return QStringLiteral("varchar(%1) COLLATE \"C\"")
            .arg(f.size > 0 ? f.size : kDefaultTextWidth);
    case FieldType::Float:
        return QStringLiteral("double precision");
    case FieldType::Date:
        return QStringLiteral("date");
    case FieldType::Boolean:
        return QStringLiteral("boolean");
    case FieldType::Integer:
        return QStringLiteral("integer");
    }
    return QString();
}

QString Dialect::total(const QString& expression) const {
    return QStringLiteral("coalesce(sum(%1), 0)").arg(expression);
}

QString Dialect::orderTerm(const QString& column, bool descending, bool) const {
    // The indexes keep empty values first; these terms read them forwards and backwards.
    return column +
           (descending ? QStringLiteral(" DESC NULLS LAST") : QStringLiteral(" NULLS FIRST"));
}

QString Dialect::lockRows() const {
    return QStringLiteral(" FOR UPDATE");
}

QString Dialect::eachListsRecords(const QString& valuesList, const QString& table,
                                  const QString& matches) const {
    // OFFSET 0 keeps the planner from turning the lateral read back into a join.
    return QStringLiteral("(VALUES %1) AS k CROSS JOIN LATERAL (SELECT * FROM %2 AS t WHERE %3 "
                          "OFFSET 0) AS t")
        .arg(valuesList, table, matches);
}

QString Dialect::sameValue(const QString& column, const QString& value) const {
    return column + QStringLiteral(" IS NOT DISTINCT FROM ") + value;
}

QueryText Dialect::query(const QString& sql) const {
    return translateQuery(translateTableFileNames(sql, *this));
}

ColumnType parseColumnType(const QString& type) {
    static const QRegularExpression varchar(QStringLiteral(R"(^character varying\((\d+)\)$)"));
    const auto m = varchar.match(type);
    ColumnType out;
    out.known = true;
    if (m.hasMatch()) {
        out.type = FieldType::Text;
        out.size = m.captured(1).toInt();
    } else if (type == QLatin1String("text") || type == QLatin1String("character varying")) {
        out.type = FieldType::Text;
        out.size = 255;
    } else if (type == QLatin1String("double precision") || type == QLatin1String("real")) {
        out.type = FieldType::Float;
    } else if (type == QLatin1String("date")) {
        out.type = FieldType::Date;
    } else if (type == QLatin1String("boolean")) {
        out.type = FieldType::Boolean;
    } else if (type == QLatin1String("integer") || type == QLatin1String("smallint") ||
               type == QLatin1String("bigint")) {
        out.type = FieldType::Integer;
    } else {
        out.known = false;
    }
    return out;
}

} // namespace db::postgres
