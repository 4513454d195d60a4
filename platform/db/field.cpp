#include "platform/db/field.h"

#include "platform/base/cp1250.h"
#include "platform/base/date_text.h"
#include "platform/base/errors.h"
#include "platform/base/float_text.h"
#include "platform/db/data_set.h"

#include <QDateTime>
#include <cmath>

namespace db {

using base::ConversionError;
using base::DatabaseError;

Field::Field(DataSet& dataSet, QString name, FieldType type, int size, FieldKind kind)
    : m_dataSet(dataSet), m_name(std::move(name)), m_type(type),
      m_size(type == FieldType::Text ? (size > 0 ? size : kDefaultTextWidth) : 0), m_kind(kind) {}

int Field::displayWidth() const {
    if (m_displayWidth > 0)
        return m_displayWidth;
    switch (m_type) {
    case FieldType::Text:
        return m_size;
    case FieldType::Date:
        return 10;
    case FieldType::Boolean:
        return 5;
    default:
        return 10;
    }
}

void Field::setLookup(DataSet* lookupDataSet, const QString& keyFields,
                      const QString& lookupKeyFields, const QString& resultField) {
    m_lookupDataSet = lookupDataSet;
    m_keyFields = keyFields;
    m_lookupKeyFields = lookupKeyFields;
    m_lookupResultField = resultField;
}

QVariant Field::value() const {
    if (m_validating)
        return *m_validating;
    const QVariant* v = m_dataSet.activeValue(*this);
    return v ? *v : QVariant();
}

bool Field::isNull() const {
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}

QString Field::asString() const {
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return QString();
    switch (m_type) {
    case FieldType::Text:
        return v.toString();
    case FieldType::Float:
        return base::formatFloatGeneral(v.toDouble());
    case FieldType::Integer:
        return QString::number(v.toLongLong());
    case FieldType::Date:
        return base::dateToText(v.toDate());
    case FieldType::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    }
    return v.toString();
}

double Field::asFloat() const {
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return 0;
    if (m_type == FieldType::Text)
        return base::textToFloat(v.toString());
    return v.toDouble();
}

int Field::asInteger() const {
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return 0;
    if (m_type == FieldType::Text)
        return int(std::llround(base::textToFloat(v.toString())));
    return int(std::llround(v.toDouble()));
}

QDate Field::asDate() const {
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return QDate();
    if (m_type == FieldType::Text)
        return base::textToDate(v.toString());
    return v.toDate();
}

bool Field::asBoolean() const {
    const QVariant v = value();
    return v.isValid() && !v.isNull() && v.toBool();
}

QVariant Field::convert(const QVariant& value) const {
    if (!value.isValid() || value.isNull())
        return QVariant();
    const bool isText =
        value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray;
    switch (m_type) {
    case FieldType::Text: {
        QString s;
        if (value.typeId() == QMetaType::Double)
            s = base::formatFloatGeneral(value.toDouble());
        else if (value.typeId() == QMetaType::QDate)
            s = base::dateToText(value.toDate());
        else
            s = value.toString();
        if (s.isEmpty())
            return QVariant();
        s = base::cp1250::checked(s, m_name);
        if (s.size() > m_size)
            throw ConversionError(
                QStringLiteral(
                    "The text '%1' is too long for the field %2 (at most %3 characters).")
                    .arg(s, m_name)
                    .arg(m_size));
        return s;
    }
    case FieldType::Float:
    case FieldType::Integer: {
        double d = 0;
        if (isText) {
            const QString s = value.toString();
            if (s.trimmed().isEmpty())
                return QVariant();
            if (!base::tryTextToFloat(s, d))
                throw ConversionError(
                    QStringLiteral("'%1' is not a valid number for the field %2.").arg(s, m_name));
        } else {
            bool ok = false;
            d = value.toDouble(&ok);
            if (!ok || !std::isfinite(d))
                throw ConversionError(
                    QStringLiteral("The value is not a valid number for the field %1.")
                        .arg(m_name));
        }
        if (m_type == FieldType::Integer) {
            if (d != std::floor(d) || std::fabs(d) > 2147483647.0)
                throw ConversionError(
                    QStringLiteral("'%1' is not a valid whole number for the field %2.")
                        .arg(base::formatFloatGeneral(d), m_name));
            return int(d);
        }
        return d;
    }
    case FieldType::Date: {
        if (value.typeId() == QMetaType::QDate) {
            if (!value.toDate().isValid())
                throw ConversionError(QStringLiteral("Invalid date for the field %1.").arg(m_name));
            return value.toDate();
        }
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().date();
        const QString s = value.toString();
        if (s.trimmed().isEmpty())
            return QVariant();
        QDate d;
        if (!base::tryTextToDate(s, d))
            throw ConversionError(
                QStringLiteral("'%1' is not a valid date for the field %2.").arg(s, m_name));
        return d;
    }
    case FieldType::Boolean: {
        if (isText) {
            const QString s = value.toString().trimmed().toLower();
            if (s.isEmpty())
                return QVariant();
            if (s == QLatin1String("true") || s == QLatin1String("1") || s == QLatin1String("da"))
                return true;
            if (s == QLatin1String("false") || s == QLatin1String("0") || s == QLatin1String("nu"))
                return false;
            throw ConversionError(
                QStringLiteral("'%1' is not a valid logical value for the field %2.")
                    .arg(value.toString(), m_name));
        }
        return value.toBool();
    }
    }
    return value;
}

void Field::setValue(const QVariant& value) {
    const DataSetState state = m_dataSet.state();
    if (m_kind == FieldKind::Calculated && state == DataSetState::CalcFields) {
        m_dataSet.m_active->values[m_index] = convert(value);
        return;
    }
    if (state != DataSetState::Edit && state != DataSetState::Insert)
        throw DatabaseError(
            QStringLiteral("Dataset %1 is not in edit or insert mode.").arg(m_dataSet.name()),
            DatabaseError::Kind::InvalidState);
    if (m_kind != FieldKind::Data)
        throw DatabaseError(QStringLiteral("Field %1 cannot be modified.").arg(m_name),
                            DatabaseError::Kind::InvalidState);
    if (m_readOnly)
        throw DatabaseError(QStringLiteral("Field %1 cannot be modified.").arg(m_name),
                            DatabaseError::Kind::InvalidState);
    const QVariant converted = convert(value);
    if (onValidate) {
        struct Restore {
            const QVariant*& slot;
            ~Restore() { slot = nullptr; }
        } restore{m_validating};
        m_validating = &converted;
        onValidate(*this);
    }
    m_dataSet.storeValue(*this, converted);
}

void Field::setAsString(const QString& text) {
    setValue(QVariant(text));
}

} // namespace db
