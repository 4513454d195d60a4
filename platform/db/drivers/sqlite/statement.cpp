#include "platform/db/drivers/sqlite/statement.h"

#include "platform/db/drivers/sqlite/connection.h"
#include "platform/db/drivers/sqlite/dialect.h"
#include "platform/db/stored_value.h"

#include <QDate>

#include <cstdio>

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
            const QDate date = value.toDate();
            if (date.year() > 0 && date.year() <= 9999) {
                char iso[11];
                std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", date.year(), date.month(),
                              date.day());
                rc = sqlite3_bind_text(m_stmt, index, iso, 10, SQLITE_TRANSIENT);
            } else {
                const QByteArray text = date.toString(Qt::ISODate).toUtf8();
                rc = sqlite3_bind_text(m_stmt, index, text.constData(), int(text.size()),
                                       SQLITE_TRANSIENT);
            }
            break;
        }
        case QMetaType::QString:
            rc = bindText(index, *static_cast<const QString*>(value.constData()));
            break;
        default:
            rc = bindText(index, value.toString());
        }
    }
    if (rc != SQLITE_OK)
        m_connection.raise(rc, QStringLiteral("bind"));
}

int Statement::bindText(int index, const QString& text) {
    // Codes and names are mostly ASCII: copied byte for byte into a buffer the statement keeps,
    // where a conversion would allocate for every value bound. SQLite copies what it is given.
    const qsizetype n = text.size();
    const ushort* from = text.utf16();
    m_text.resize(n);
    char* to = m_text.data();
    for (qsizetype i = 0; i < n; ++i) {
        if (from[i] >= 0x80) {
            m_text = text.toUtf8();
            break;
        }
        to[i] = char(from[i]);
    }
    return sqlite3_bind_text(m_stmt, index, m_text.constData(), int(m_text.size()),
                             SQLITE_TRANSIENT);
}

int Statement::parameterIndex(const QString& name) const {
    return sqlite3_bind_parameter_index(m_stmt, (QLatin1Char(':') + name).toUtf8().constData());
}

bool Statement::step() {
    if (!sqlite3_stmt_busy(m_stmt)) {
        m_connection.noteExecuted();
        m_connection.beforeStep(m_stmt);
    }
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
