#include "platform/db/table_name.h"

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

QString sqlTableName(const QString& fileName) {
    return QStringLiteral("main.") + quoteIdentifier(storedTableName(fileName));
}

QString translateTableFileNames(const QString& sql) {
    // Only double-quoted names are file names; string literals use single quotes.
    static const QRegularExpression re(QStringLiteral(R"("([^"]+)\.[dD][bB]")"));
    QString out = sql;
    out.replace(re, QStringLiteral("main.\"\\1\""));
    return out;
}

} // namespace db
