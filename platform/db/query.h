#pragma once
// A query dataset: SQL text with named parameters run on one database. Quoted table file
// names ("Temp.Db") are understood. An open query holds its whole result (no read lock is
// kept between operations) and is read-only. Its fields come from the result's columns
// unless declared; a declared field must be a column of the result.
#include "platform/db/data_set.h"
#include "platform/db/params.h"

#include <vector>

namespace db {

class Database;
class Session;

class Query : public DataSet {
public:
    explicit Query(QString name = QString());
    ~Query() override;

    const QString& databaseName() const { return m_databaseName; }
    void setDatabaseName(const QString& name);
    // The session that resolves the database name; the side's own session when not set.
    void setSession(Session* session) { m_session = session; }
    // The text; lines are joined with carriage return and line feed.
    void setSql(const QStringList& lines);
    void setSqlText(const QString& text);
    const QString& sqlText() const { return m_sql; }

    QList<Param>& params() { return m_params; }
    Param& paramByName(const QString& name); // throws when absent

    // Runs a statement that returns no records (in a transaction of its own unless one is open);
    // answers the number of rows changed.
    int execSql();

    bool canModify() const override { return false; }
    int rawCount() override { return int(m_rows.size()); }

protected:
    void doOpen() override;
    void doClose() override;
    bool rawFirst(RecordBuffer& out) override;
    bool rawLast(RecordBuffer& out) override;
    bool rawNext(const RecordBuffer& from, RecordBuffer& out) override;
    bool rawPrior(const RecordBuffer& from, RecordBuffer& out) override;
    bool rawRefetch(RecordBuffer& rec) override;
    void rawInsert(RecordBuffer& rec) override;
    void rawUpdate(const RecordBuffer& original, RecordBuffer& rec) override;
    void rawDelete(const RecordBuffer& original) override;

private:
    Database& database();
    QString m_databaseName;
    Session* m_session = nullptr;
    QString m_sql;
    QList<Param> m_params;
    std::vector<RecordBuffer> m_rows;
    Database* m_database = nullptr;
};

} // namespace db
