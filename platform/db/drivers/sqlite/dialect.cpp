#include "platform/db/drivers/sqlite/dialect.h"

#include "platform/db/table_name.h"

#include <QRegularExpression>

namespace db::sqlite {

const Dialect& Dialect::instance() {
    static const Dialect dialect;
    return dialect;
}

QString Dialect::identifier(const QString& name) const {
    return quoteIdentifier(name);
}

QString Dialect::table(const QString& storedName) const {
    return QStringLiteral("main.") + quoteIdentifier(storedName);
}

QString Dialect::parameter(int n) const {
    return QLatin1Char('?') + QString::number(n);
}

QString Dialect::columnType(const FieldDef& def) const {
    switch (def.type) {
    case FieldType::Text:
        return QStringLiteral("TEXT(%1)").arg(def.size > 0 ? def.size : kDefaultTextWidth);
    case FieldType::Float:
        return QStringLiteral("FLOAT");
    case FieldType::Date:
        return QStringLiteral("DATE");
    case FieldType::Boolean:
        return QStringLiteral("BOOLEAN");
    case FieldType::Integer:
        return QStringLiteral("INTEGER");
    }
    return QString();
}

QString Dialect::total(const QString& expression) const {
    return QStringLiteral("TOTAL(%1)").arg(expression);
}

QString Dialect::orderTerm(const QString& column, bool descending, bool orderByIndex) const {
    return (orderByIndex ? column : QStringLiteral("+") + column) +
           (descending ? QStringLiteral(" DESC") : QString());
}

QString Dialect::eachListsRecords(const QString& valuesList, const QString& table,
                                  const QString& matches) const {
    // SQLite joins nested loops, the lists outside: each list is one search of an index.
    return QStringLiteral("(VALUES %1) AS k JOIN %2 AS t ON %3").arg(valuesList, table, matches);
}

QString Dialect::sameValue(const QString& column, const QString& value) const {
    return column + QStringLiteral(" IS ") + value;
}

QueryText Dialect::query(const QString& sql) const {
    return QueryText{translateTableFileNames(sql, *this), 0, {}, {}};
}

ColumnType parseColumnType(const QString& declared) {
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*([A-Za-z]+)\s*(?:\(\s*(\d+)\s*\))?\s*$)"));
    const auto m = re.match(declared);
    ColumnType out;
    if (!m.hasMatch())
        return out;
    const QString name = m.captured(1).toUpper();
    out.known = true;
    if (name == QLatin1String("TEXT") || name == QLatin1String("VARCHAR") ||
        name == QLatin1String("CHAR")) {
        out.type = FieldType::Text;
        out.size = m.captured(2).isEmpty() ? kDefaultTextWidth : m.captured(2).toInt();
    } else if (name == QLatin1String("FLOAT") || name == QLatin1String("REAL") ||
               name == QLatin1String("DOUBLE")) {
        out.type = FieldType::Float;
    } else if (name == QLatin1String("DATE")) {
        out.type = FieldType::Date;
    } else if (name == QLatin1String("BOOLEAN") || name == QLatin1String("BOOL")) {
        out.type = FieldType::Boolean;
    } else if (name == QLatin1String("INTEGER") || name == QLatin1String("INT")) {
        out.type = FieldType::Integer;
    } else {
        out.known = false;
    }
    return out;
}

} // namespace db::sqlite
