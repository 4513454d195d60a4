#pragma once
// A prepared SQLite statement owned by its connection's cache. Values cross as QVariant:
// text as UTF-8 (an empty QString as empty text), dates as ISO text, booleans as 0/1, a null
// QVariant as NULL.
#include "platform/db/field_type.h"

#include <QVariant>
#include <sqlite3.h>

namespace db::sqlite {

class Connection;

class Statement {
public:
    Statement(Connection& connection, sqlite3_stmt* stmt) : m_connection(connection), m_stmt(stmt) {}
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QVariant& value); // 1-based
    void bindAll(const QVariantList& values);
    int parameterIndex(const QString& name) const; // ":Name"; 0 when absent
    int parameterCount() const { return sqlite3_bind_parameter_count(m_stmt); }

    // Steps once: true when a row is ready, false when done; throws DatabaseError.
    bool step();
    void reset();

    int columnCount() const { return sqlite3_column_count(m_stmt); }
    QString columnName(int i) const;
    QString columnDeclType(int i) const;
    bool columnIsNull(int i) const { return sqlite3_column_type(m_stmt, i) == SQLITE_NULL; }
    // The column's value converted to the field type.
    QVariant column(int i, FieldType type) const;
    // The column's value as SQLite holds it.
    QVariant columnRaw(int i) const;
    qint64 columnInt64(int i) const { return sqlite3_column_int64(m_stmt, i); }
    double columnDouble(int i) const { return sqlite3_column_double(m_stmt, i); }

    sqlite3_stmt* handle() const { return m_stmt; }

private:
    Connection& m_connection;
    sqlite3_stmt* m_stmt;
};

// Resets a statement when it leaves scope, so no read lock outlives one operation.
class StatementUse {
public:
    explicit StatementUse(Statement& s) : m_s(s) {}
    ~StatementUse() { m_s.reset(); }
    Statement* operator->() { return &m_s; }
    Statement& operator*() { return m_s; }

private:
    Statement& m_s;
};

} // namespace db::sqlite
