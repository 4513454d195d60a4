#include "platform/db/field_type.h"

#include <QRegularExpression>

namespace db {

QString fieldTypeName(FieldType type) {
    switch (type) {
    case FieldType::Text:
        return QStringLiteral("text");
    case FieldType::Float:
        return QStringLiteral("float");
    case FieldType::Date:
        return QStringLiteral("date");
    case FieldType::Boolean:
        return QStringLiteral("boolean");
    case FieldType::Integer:
        return QStringLiteral("integer");
    }
    return QString();
}

QString sqlColumnType(const FieldDef& def) {
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

bool parseSqlColumnType(const QString& declared, FieldType& type, int& size) {
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*([A-Za-z]+)\s*(?:\(\s*(\d+)\s*\))?\s*$)"));
    const auto m = re.match(declared);
    if (!m.hasMatch())
        return false;
    const QString name = m.captured(1).toUpper();
    size = 0;
    if (name == QLatin1String("TEXT") || name == QLatin1String("VARCHAR") ||
        name == QLatin1String("CHAR")) {
        type = FieldType::Text;
        size = m.captured(2).isEmpty() ? kDefaultTextWidth : m.captured(2).toInt();
    } else if (name == QLatin1String("FLOAT") || name == QLatin1String("REAL") ||
               name == QLatin1String("DOUBLE")) {
        type = FieldType::Float;
    } else if (name == QLatin1String("DATE")) {
        type = FieldType::Date;
    } else if (name == QLatin1String("BOOLEAN") || name == QLatin1String("BOOL")) {
        type = FieldType::Boolean;
    } else if (name == QLatin1String("INTEGER") || name == QLatin1String("INT")) {
        type = FieldType::Integer;
    } else {
        return false;
    }
    return true;
}

QStringList splitFieldList(const QString& fields) {
    QStringList out;
    for (const QString& part : fields.split(QLatin1Char(';'))) {
        const QString name = part.trimmed();
        if (!name.isEmpty())
            out << name;
    }
    return out;
}

} // namespace db
