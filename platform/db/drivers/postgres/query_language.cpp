#include "platform/db/drivers/postgres/query_language.h"

#include <algorithm>

namespace db::postgres {

namespace {

bool isIdentStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}
bool isIdentPart(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

} // namespace

QueryText translateQuery(const QString& sql) {
    QueryText out;
    QString& t = out.text;
    t.reserve(sql.size() + 16);
    const int n = int(sql.size());
    int i = 0;
    auto remember = [&](const QString& word) {
        const QString lower = word.toLower();
        if (!out.spelling.contains(lower))
            out.spelling.insert(lower, word);
    };
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'')) {
            // A string literal, '' inside it being a quote.
            int j = i + 1;
            while (j < n) {
                if (sql[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && sql[j + 1] == QLatin1Char('\'')) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            t += sql.mid(i, j - i + 1);
            i = j + 1;
        } else if (c == QLatin1Char('"')) {
            int j = i + 1;
            QString name;
            while (j < n) {
                if (sql[j] == QLatin1Char('"')) {
                    if (j + 1 < n && sql[j + 1] == QLatin1Char('"')) {
                        name += QLatin1Char('"');
                        j += 2;
                        continue;
                    }
                    break;
                }
                name += sql[j++];
            }
            remember(name);
            QString folded = name.toLower();
            folded.replace(QLatin1Char('"'), QLatin1String("\"\""));
            t += QLatin1Char('"') + folded + QLatin1Char('"');
            i = j + 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            int j = sql.indexOf(QLatin1Char('\n'), i);
            if (j < 0)
                j = n;
            t += sql.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('?')) {
            int j = i + 1;
            while (j < n && sql[j].isDigit())
                ++j;
            int number;
            if (j > i + 1) {
                number = sql.mid(i + 1, j - i - 1).toInt();
            } else {
                number = out.parameterCount + 1;
            }
            out.parameterCount = std::max(out.parameterCount, number);
            t += QLatin1Char('$') + QString::number(number);
            i = j;
        } else if (c == QLatin1Char(':') && i + 1 < n && sql[i + 1] == QLatin1Char(':')) {
            t += QLatin1String("::");
            i += 2;
        } else if (c == QLatin1Char(':') && i + 1 < n && isIdentStart(sql[i + 1])) {
            int j = i + 1;
            while (j < n && isIdentPart(sql[j]))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1);
            int number = out.named.value(name);
            if (number == 0) {
                number = ++out.parameterCount;
                out.named.insert(name, number);
            }
            t += QLatin1Char('$') + QString::number(number);
            i = j;
        } else if (isIdentStart(c)) {
            int j = i + 1;
            while (j < n && isIdentPart(sql[j]))
                ++j;
            const QString word = sql.mid(i, j - i);
            if (word.compare(QLatin1String("main"), Qt::CaseInsensitive) == 0 && j < n &&
                sql[j] == QLatin1Char('.')) {
                i = j + 1; // the schema is the connection's search path
                continue;
            }
            remember(word);
            t += word;
            i = j;
        } else if (c.isDigit()) {
            // A number, so that "1e5" or "2x" is not read as an identifier.
            int j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('.')))
                ++j;
            t += sql.mid(i, j - i);
            i = j;
        } else {
            t += c;
            ++i;
        }
    }
    return out;
}

int countParameters(const QString& sql) {
    int count = 0;
    const int n = int(sql.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int close = int(sql.indexOf(c, i + 1));
            i = close < 0 ? n : close;
        } else if (c == QLatin1Char('$') && i + 1 < n && sql[i + 1].isDigit() &&
                   (i == 0 || !sql[i - 1].isLetterOrNumber())) {
            int j = i + 1;
            while (j < n && sql[j].isDigit())
                ++j;
            count = std::max(count, sql.mid(i + 1, j - i - 1).toInt());
            i = j - 1;
        }
    }
    return count;
}

} // namespace db::postgres
