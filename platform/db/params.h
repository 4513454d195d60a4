#pragma once
// Named parameters of a query (":Contor" in the SQL text).
#include "platform/db/field_type.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

namespace db {

class Param {
public:
    Param(QString name, FieldType type = FieldType::Text) : m_name(std::move(name)), m_type(type) {}
    const QString& name() const { return m_name; }
    FieldType dataType() const { return m_type; }
    void setDataType(FieldType type) { m_type = type; }
    const QVariant& value() const { return m_value; }
    bool isBound() const { return m_bound; }

    void setValue(const QVariant& v) {
        m_value = v;
        m_bound = true;
    }
    void setAsInteger(int v) {
        m_type = FieldType::Integer;
        setValue(v);
    }
    void setAsFloat(double v) {
        m_type = FieldType::Float;
        setValue(v);
    }
    void setAsString(const QString& v) {
        m_type = FieldType::Text;
        setValue(v);
    }
    void setAsDate(const QDate& v) {
        m_type = FieldType::Date;
        setValue(v);
    }
    void clear() {
        m_value = QVariant();
        m_bound = true;
    }

private:
    QString m_name;
    FieldType m_type;
    QVariant m_value;
    bool m_bound = false;
};

// Names of the parameters in SQL text, in order of first appearance (string literals and
// quoted names skipped).
QStringList parameterNames(const QString& sql);

} // namespace db
