#pragma once
// The catalog selection that the recipe editor and the requirement sheet call on Ctrl+Enter.
#include <QString>

class QObject;

// Shows the catalog window "Selectie de articole" modally, owned by owner, opened on the given
// group and article as far as they are found. Accepted (OK, Enter, a double click on an article):
// groupCode and articleCode receive the current group's and article's codes (the article code is
// empty when the group has no articles) and the result is true. Cancelled: both stay as they
// were and the result is false. A catalog that cannot be opened shows its error box and raises
// base::Abort; a layout file that can be neither opened nor created raises the stream error.
bool SelectCatalogArticle(QObject* owner, QString& groupCode, QString& articleCode);
