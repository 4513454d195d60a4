#include "platform/db/params.h"

namespace db {

QStringList parameterNames(const QString& sql) {
    QStringList names;
    for (int i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int close = sql.indexOf(c, i + 1);
            i = close < 0 ? sql.size() : close;
        } else if (c == QLatin1Char(':') && i + 1 < sql.size() &&
                   (sql.at(i + 1).isLetter() || sql.at(i + 1) == QLatin1Char('_'))) {
            int j = i + 1;
            while (j < sql.size() &&
                   (sql.at(j).isLetterOrNumber() || sql.at(j) == QLatin1Char('_')))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1);
            bool seen = false;
            for (const QString& n : names)
                seen = seen || n.compare(name, Qt::CaseInsensitive) == 0;
            if (!seen)
                names << name;
            i = j - 1;
        }
    }
    return names;
}

} // namespace db
