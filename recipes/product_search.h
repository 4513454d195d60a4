#pragma once
// The incremental search over the recipe editor's products. The text typed so far is kept for
// the whole module, so that the production data module's notification can empty it when the
// current product changes for any other reason than the search itself.
#include <QString>

namespace db {
class DataSource;
class Field;
} // namespace db

// The search typed so far over the products, empty at start.
extern QString ProductSearchText;
// True only while the search itself moves the products cursor.
extern bool ProductSearchActive;

// Empties the search text and, while a recipe editor is open, the label that shows it.
void ResetProductSearch();

// The products' data-change notification: a change of the whole current product (a move, an
// open, a refresh) that the search did not make empties the search; a change of one field
// does not.
void CatalogSourceDataChange(db::DataSource& source, db::Field* field);

// Applies one key, given as a virtual-key code, to the search text: Backspace drops the last
// character, a letter, a main-keyboard digit or the space bar adds its character (letters as
// capitals). False for any other key, which leaves the text alone and starts no search.
bool applyProductSearchKey(QString& text, int key);
