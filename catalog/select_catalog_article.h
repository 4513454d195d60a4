#pragma once
// The catalog selection that the recipe editor and the requirement sheet call on Ctrl+Enter.
#include <QString>

class QObject;

// Shows the catalog window "Selectie de articole" modally, owned by owner, opened on the given
// group (its class and group lists moved there, falling back to the first class and group when
// the group is unknown or empty) and on the given article of that group when it is there.
// Accepted (OK, Enter, a double click on an article): groupCode and articleCode receive the
// current group's and article's codes (the article code is empty when the group has no articles)
// and the result is true. Cancelled (Renunta, Escape, the close box): both stay as they were and
// the result is false. A catalog that cannot be opened shows its error box and throws
// base::Abort; a layout file "catlook.cfg" that can be neither opened nor created throws
// ui::StreamError. Either way both codes stay as they were.
bool SelectCatalogArticle(QObject* owner, QString& groupCode, QString& articleCode);
