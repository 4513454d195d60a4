#pragma once
// A statement on a PostgreSQL server, its text in the server's terms. It is prepared
// on the server at its first use and run with its parameters as text (the server converts them
// to the columns' types); the first step() runs it and keeps the rows it answered, the
// following ones walk them.
#include "platform/db/connection.h"
#include "platform/db/dialect.h"

#include <functional>
#include <libpq-fe.h>
#include <optional>
#include <vector>

namespace db::postgres {

class Connection;

class Statement : public db::Statement {
public:
    Statement(Connection& connection, QueryText sql);
    ~Statement() override;

    void bind(int index, const QVariant& value) override;
    int parameterIndex(const QString& name) const override;
    bool step() override;
    void reset() override;
    bool isBusy() const { return m_result != nullptr; }
    // Sends the statement with its bound values ahead of its answer (Connection::send) and
    // resets it.
    void send(std::function<void(int)> check);

    int columnCount() const override;
    QString columnName(int i) const override;
    ColumnType columnType(int i) const override;
    bool columnIsNull(int i) const override;
    QVariant column(int i, FieldType type) const override;
    QVariant columnRaw(int i) const override;
    qint64 columnInt64(int i) const override;
    double columnDouble(int i) const override;

    // The text as sent to the server.
    const QString& text() const { return m_sql.text; }

private:
    // Runs the statement unless it ran already; its rows are then walked by step().
    void execute() const;

    Connection& m_connection;
    QueryText m_sql;
    QByteArray m_utf8;
    std::vector<std::optional<QByteArray>> m_values;
    // The name the server keeps it prepared under, and the connection's generation then.
    mutable QByteArray m_name;
    mutable quint64 m_generation = 0;
    mutable PGresult* m_result = nullptr;
    mutable int m_row = -1;
};

} // namespace db::postgres
