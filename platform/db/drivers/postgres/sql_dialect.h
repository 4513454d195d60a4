#pragma once
// Translates a statement from the engine's dialect into the server's: "?", "?N" and ":Name"
// parameters become "$N", the schema prefix main. is dropped (the connection's search path
// names the company's schema), and quoted identifiers are folded to lower case, as the server
// folds unquoted ones, so that "Stoc" and Stoc name one table as they do on SQLite. The
// spellings of the identifiers in the text are kept to give result columns their names back.
#include <QHash>
#include <QString>

namespace db::postgres {

struct TranslatedSql {
    QString text;
    int parameterCount = 0;
    QHash<QString, int> named;        // ":Name" (as written) -> parameter number
    QHash<QString, QString> spelling; // lower-case identifier -> as written in the statement
};

TranslatedSql translateSql(const QString& sql);

} // namespace db::postgres
