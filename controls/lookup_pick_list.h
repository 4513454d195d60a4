#pragma once
// The pick list of a lookup field, beside the field rather than in a grid: the values its
// lookup dataset offers, and what choosing one of them writes. Widget-free: the grid's cell
// editor shows the list and hands the choice back here.
#include <QString>
#include <QStringList>

namespace db {
class DataSet;
class Field;
} // namespace db

// The result values of the lookup field's dataset, in its order, at most maxItems of them. The
// lookup dataset is walked with its controls switched off and put back on the record it was on.
// Empty when the field is no lookup field or its dataset is closed.
QStringList lookupPickList(const db::Field& field, int maxItems);

// Writes into the key fields of dataSet's current record (editing it) the keys of the lookup
// record whose result is value; the lookup field follows its keys. Keys of a value the lookup
// dataset does not hold are emptied.
void chooseLookupValue(db::DataSet& dataSet, const db::Field& field, const QString& value);
