#include "platform/db/stored_value.h"

#include "platform/base/cp1250.h"

#include <QDate>

namespace db {

QVariant toStored(FieldType type, const QVariant& value) {
    if (type == FieldType::Text && isNullValue(value))
        return QVariant(QStringLiteral(""));
    return value;
}

QVariant toStoredKey(FieldType type, const QVariant& value) {
    switch (type) {
    case FieldType::Text:
        return QVariant(base::cp1250::normalize(isNullValue(value) ? QString() : value.toString()) +
                        QStringLiteral(""));
    case FieldType::Float:
        return isNullValue(value) ? value : QVariant(value.toDouble());
    default:
        return value;
    }
}

QVariant fromStored(FieldType type, const QVariant& stored) {
    if (isNullValue(stored))
        return QVariant();
    switch (type) {
    case FieldType::Text: {
        const QString text = stored.typeId() == QMetaType::Double
                                 ? QString::number(stored.toDouble(), 'g', 15)
                                 : stored.toString();
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case FieldType::Float:
        return QVariant(stored.toDouble());
    case FieldType::Integer:
        return QVariant(int(stored.toLongLong()));
    case FieldType::Boolean:
        return QVariant(stored.toLongLong() != 0);
    case FieldType::Date: {
        const QDate d = QDate::fromString(stored.toString(), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    }
    return QVariant();
}

} // namespace db
