#include "platform/db/field_type.h"

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
