#include "platform/db/drivers/postgres/statement.h"

#include "platform/base/errors.h"
#include "platform/db/drivers/postgres/connection.h"
#include "platform/db/stored_value.h"

#include <QDate>
#include <QLocale>

namespace db::postgres {

namespace {

// Type numbers of the server's built-in types.
enum : Oid {
    kBool = 16,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kVarchar = 1043,
    kDate = 1082,
    kNumeric = 1700,
};

} // namespace

Statement::Statement(Connection& connection, QueryText sql)
    : m_connection(connection), m_sql(std::move(sql)), m_utf8(m_sql.text.toUtf8()),
      m_values(size_t(m_sql.parameterCount)) {}

Statement::~Statement() {
    if (m_result)
        PQclear(m_result);
}

void Statement::bind(int index, const QVariant& value) {
    if (index < 1 || index > int(m_values.size()))
        throw base::DatabaseError(QStringLiteral("Parameter %1 is out of range.").arg(index));
    auto& slot = m_values[size_t(index - 1)];
    if (!value.isValid() || value.isNull()) {
        slot.reset();
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        // The shortest text that reads back as the same double: floats round-trip exactly.
        slot = QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest).toLatin1();
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        slot = QByteArray::number(value.toLongLong());
        break;
    case QMetaType::Bool:
        slot = value.toBool() ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
        break;
    case QMetaType::QDate:
        slot = value.toDate().toString(Qt::ISODate).toLatin1();
        break;
    default:
        slot = value.toString().toUtf8();
    }
}

int Statement::parameterIndex(const QString& name) const {
    return m_sql.named.value(name);
}

void Statement::execute() const {
    if (m_result)
        return;
    std::vector<const char*> values(m_values.size());
    for (size_t i = 0; i < m_values.size(); ++i)
        values[i] = m_values[i] ? m_values[i]->constData() : nullptr;
    m_result =
        m_connection.runPrepared(m_name, m_generation, m_utf8, int(values.size()), values.data());
    m_row = -1;
}

void Statement::send(std::function<void(int)> check) {
    std::vector<const char*> values(m_values.size());
    for (size_t i = 0; i < m_values.size(); ++i)
        values[i] = m_values[i] ? m_values[i]->constData() : nullptr;
    m_connection.send(m_name, m_generation, m_utf8, int(values.size()), values.data(),
                      std::move(check));
    reset();
}

bool Statement::step() {
    execute();
    if (PQresultStatus(m_result) != PGRES_TUPLES_OK)
        return false;
    ++m_row;
    return m_row < PQntuples(m_result);
}

void Statement::reset() {
    if (m_result) {
        PQclear(m_result);
        m_result = nullptr;
    }
    m_row = -1;
    for (auto& v : m_values)
        v.reset();
}

int Statement::columnCount() const {
    // The server describes the result when it runs the statement.
    execute();
    return PQnfields(m_result);
}

QString Statement::columnName(int i) const {
    const QString name = QString::fromUtf8(PQfname(m_result, i));
    return m_sql.spelling.value(name, name);
}

ColumnType Statement::columnType(int i) const {
    const int mod = PQfmod(m_result, i);
    switch (PQftype(m_result, i)) {
    case kVarchar:
        // A width only for a stored column; an expression's text has none.
        return mod >= 4 ? ColumnType{FieldType::Text, mod - 4, true} : ColumnType{};
    case kFloat8:
        return {FieldType::Float, 0, true};
    case kDate:
        return {FieldType::Date, 0, true};
    case kBool:
        return {FieldType::Boolean, 0, true};
    case kInt4:
        return {FieldType::Integer, 0, true};
    default:
        return {};
    }
}

bool Statement::columnIsNull(int i) const {
    return PQgetisnull(m_result, m_row, i) != 0;
}

QVariant Statement::columnRaw(int i) const {
    if (PQgetisnull(m_result, m_row, i))
        return QVariant();
    const char* v = PQgetvalue(m_result, m_row, i);
    const int length = PQgetlength(m_result, m_row, i);
    switch (PQftype(m_result, i)) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        return QVariant(qint64(QByteArray::fromRawData(v, length).toLongLong()));
    case kFloat4:
    case kFloat8:
    case kNumeric:
        return QVariant(QByteArray::fromRawData(v, length).toDouble());
    case kBool:
        // As SQLite answers a truth value: 1 or 0.
        return QVariant(qint64(v[0] == 't' ? 1 : 0));
    default:
        return QVariant(QString::fromUtf8(v, length));
    }
}

qint64 Statement::columnInt64(int i) const {
    const QVariant v = columnRaw(i);
    return v.typeId() == QMetaType::Double ? qint64(v.toDouble()) : v.toLongLong();
}

double Statement::columnDouble(int i) const {
    return columnRaw(i).toDouble();
}

QVariant Statement::column(int i, FieldType type) const {
    if (PQgetisnull(m_result, m_row, i))
        return QVariant();
    switch (type) {
    case FieldType::Float:
        return fromStored(type, QVariant(columnDouble(i)));
    case FieldType::Integer:
    case FieldType::Boolean:
        return fromStored(type, QVariant(columnInt64(i)));
    case FieldType::Text:
    case FieldType::Date:
        break;
    }
    return fromStored(type, columnRaw(i));
}

} // namespace db::postgres
