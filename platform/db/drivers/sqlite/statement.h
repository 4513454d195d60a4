#pragma once
// A prepared SQLite statement owned by its connection's cache. Values cross as QVariant:
// text as UTF-8 (an empty QString as empty text), dates as ISO text, booleans as 0/1, a null
// QVariant as NULL.
#include "platform/db/connection.h"

#include <QVariant>
#include <sqlite3.h>

namespace db::sqlite {

class Connection;

class Statement : public db::Statement {
public:
    Statement(Connection& connection, sqlite3_stmt* stmt)
        : m_connection(connection), m_stmt(stmt) {}
    ~Statement() override;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QVariant& value) override;   // 1-based
    int parameterIndex(const QString& name) const override; // "Name" for ":Name"; 0 when absent
    int parameterCount() const { return sqlite3_bind_parameter_count(m_stmt); }

    bool step() override;
    void reset() override;

    int columnCount() const override { return sqlite3_column_count(m_stmt); }
    QString columnName(int i) const override;
    ColumnType columnType(int i) const override;
    bool columnIsNull(int i) const override {
        return sqlite3_column_type(m_stmt, i) == SQLITE_NULL;
    }
    QVariant column(int i, FieldType type) const override;
    QVariant columnRaw(int i) const override;
    qint64 columnInt64(int i) const override { return sqlite3_column_int64(m_stmt, i); }
    double columnDouble(int i) const override { return sqlite3_column_double(m_stmt, i); }

    sqlite3_stmt* handle() const { return m_stmt; }

private:
    int bindText(int index, const QString& text);

    Connection& m_connection;
    sqlite3_stmt* m_stmt;
    QByteArray m_text; // the last text bound, as UTF-8
};

using StatementUse = db::StatementUse;

} // namespace db::sqlite
