#pragma once
// The query language of the module (SQL text with "?", "?N" and ":Name" parameters) in the
// server's terms: parameters become "$N", a schema prefix main. is dropped (the connection's
// search path names the company's schema), and quoted identifiers are folded to lower case, as
// the server folds unquoted ones, so that "Stoc" and Stoc name one table. The spellings of the
// identifiers in the text are kept to give result columns their names back.
#include "platform/db/dialect.h"

namespace db::postgres {

QueryText translateQuery(const QString& sql);

// The number of parameters ("$N") of a statement written in the server's own terms.
int countParameters(const QString& sql);

} // namespace db::postgres
