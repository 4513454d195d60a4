#include "platform/db/table_name.h"

#include "platform/db/dialect.h"

#include <QRegularExpression>

namespace db {

QString storedTableName(const QString& fileName) {
    QString name = fileName.trimmed();
    if (name.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        name.chop(3);
    return name;
}

QString quoteIdentifier(const QString& name) {
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString translateTableFileNames(const QString& sql, const Dialect& dialect) {
    // Only double-quoted names are file names; string literals use single quotes.
    static const QRegularExpression re(QStringLiteral(R"("([^"]+)\.[dD][bB]")"));
    QString out;
    qsizetype done = 0;
    for (auto it = re.globalMatch(sql); it.hasNext();) {
        const auto m = it.next();
        out += QStringView(sql).mid(done, m.capturedStart(0) - done);
        out += dialect.table(m.captured(1));
        done = m.capturedEnd(0);
    }
    if (done == 0)
        return sql;
    out += QStringView(sql).mid(done);
    return out;
}

} // namespace db
