#include "platform/db/drivers/sqlite/statement.h"

#include "platform/db/drivers/sqlite/connection.h"
#include "platform/db/drivers/sqlite/dialect.h"
#include "platform/db/stored_value.h"

#include <QDate>

namespace db::sqlite {

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

void Statement::bind(int index, const QVariant& value) {
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::Bool:
            rc = sqlite3_bind_int(m_stmt, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::QDate: {
            const QByteArray iso = value.toDate().toString(Qt::ISODate).toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, iso.constData(), int(iso.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray utf8 = value.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()),
                                   SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        m_connection.raise(rc, QStringLiteral("bind"));
}

int Statement::parameterIndex(const QString& name) const {
    return sqlite3_bind_parameter_index(m_stmt, (QLatin1Char(':') + name).toUtf8().constData());
}

bool Statement::step() {
    if (!sqlite3_stmt_busy(m_stmt))
        m_connection.noteExecuted();
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(m_stmt);
    m_connection.raise(rc, QString());
}

void Statement::reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

QString Statement::columnName(int i) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt, i));
}

ColumnType Statement::columnType(int i) const {
    const char* t = sqlite3_column_decltype(m_stmt, i);
    return t ? parseColumnType(QString::fromUtf8(t)) : ColumnType{};
}

QVariant Statement::columnRaw(int i) const {
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, i));
    case SQLITE_TEXT:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i)),
                              sqlite3_column_bytes(m_stmt, i)));
    default:
        return QVariant();
    }
}

QVariant Statement::column(int i, FieldType type) const {
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_NULL:
        return QVariant();
    default:
        break;
    }
    // Numbers are read as SQLite converts them for the field, the rest as stored.
    switch (type) {
    case FieldType::Float:
        return fromStored(type, QVariant(sqlite3_column_double(m_stmt, i)));
    case FieldType::Integer:
    case FieldType::Boolean:
        return fromStored(type, QVariant(qint64(sqlite3_column_int64(m_stmt, i))));
    case FieldType::Text:
    case FieldType::Date:
        break;
    }
    return fromStored(type, columnRaw(i));
}

} // namespace db::sqlite
