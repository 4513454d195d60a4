#include "catalog/select_catalog_article.h"

// Placeholder until the catalog window lands.
bool SelectCatalogArticle(QObject*, QString&, QString&) { return false; }
