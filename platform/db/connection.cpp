#include "platform/db/connection.h"

#include "platform/base/errors.h"

#include <QDir>
#include <QFile>

namespace db {

using base::DatabaseError;

void Statement::bindAll(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values[i]);
}

std::shared_ptr<Statement> Connection::prepareQuery(const QString& sql) {
    return prepare(dialect().query(sql).text);
}

void Connection::stepDeferred(Statement& s, const std::function<void(int)>& check) {
    {
        StatementUse use(s);
        s.step();
    }
    check(changes());
}

void Connection::begin() {
    if (m_depth == 0) {
        beginTransaction();
        m_rollbackOnly = false;
        m_stampAtBegin = m_stamp;
    }
    ++m_depth;
}

void Connection::commit() {
    if (m_depth == 0)
        throw DatabaseError(QStringLiteral("No transaction is active."),
                            DatabaseError::Kind::InvalidState);
    if (m_depth > 1) {
        --m_depth;
        return;
    }
    if (m_rollbackOnly) {
        rollback();
        throw DatabaseError(QStringLiteral("The transaction was rolled back."));
    }
    try {
        commitTransaction();
    } catch (...) {
        rollback();
        throw;
    }
    m_depth = 0;
}

void Connection::rollback() {
    if (m_depth == 0)
        return;
    if (m_depth > 1) {
        // An inner level gives up: the outermost level must not commit half the work.
        --m_depth;
        m_rollbackOnly = true;
        return;
    }
    m_depth = 0;
    m_rollbackOnly = false;
    rollbackTransaction();
    if (m_stamp == m_stampAtBegin)
        return; // nothing was written: what datasets show is still true
    ++m_stamp;
    // Copy: a listener may unregister itself. A rollback runs while an error unwinds (from a
    // WriteScope's destructor): a dataset that cannot re-read now (the server is gone) shows
    // what it showed and re-reads on its next move, rather than ending the program.
    const auto listeners = m_rollbackListeners;
    for (const auto& [key, fn] : listeners) {
        try {
            fn();
        } catch (const base::Error&) {
        }
    }
}

void Connection::addRollbackListener(const void* key, std::function<void()> listener) {
    m_rollbackListeners[key] = std::move(listener);
}

void Connection::removeRollbackListener(const void* key) {
    m_rollbackListeners.erase(key);
}

WriteScope::WriteScope(Connection& c) : m_c(c) {
    m_c.begin();
}

WriteScope::~WriteScope() {
    if (!m_done)
        m_c.rollback();
}

void WriteScope::commit() {
    m_done = true;
    m_c.commit();
}

bool isServerLocation(const QString& location) {
    return location.trimmed().startsWith(QLatin1String("postgres:"), Qt::CaseInsensitive);
}

QString serverLocationOf(const QString& location) {
    if (isServerLocation(location))
        return location.trimmed();
    if (location.isEmpty())
        return QString();
    QFile f(QDir(location).filePath(QString::fromLatin1(kServerLocationFile)));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        if (!isServerLocation(text))
            throw DatabaseError(QStringLiteral("The file %1 does not name a database server: %2")
                                    .arg(f.fileName(), text),
                                DatabaseError::Kind::NotConnected);
        return text;
    }
    return QString();
}

} // namespace db
