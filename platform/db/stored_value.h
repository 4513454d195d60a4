#pragma once
// The one conversion between field values and what the database stores, for every statement
// the engine runs (tables, queries, batch move):
//   - to the store: an empty text is stored as '' rather than NULL, so that unique keys treat
//     two empty codes as equal and an empty code sorts and compares like any other value; other
//     values go as they are (the statement binds dates as ISO text, booleans as 0/1);
//   - key values, as they are compared in an index: text in its code-page-1250 form (the
//     comma-below letters as their cedilla forms), numbers as doubles, empty text as '';
//   - from the store: '' is an empty text (null), a number in a text column reads as its text,
//     dates are read from ISO text, anything unreadable is null.
#include "platform/db/field_type.h"

#include <QVariant>

namespace db {

QVariant toStored(FieldType type, const QVariant& value);
QVariant toStoredKey(FieldType type, const QVariant& value);
QVariant fromStored(FieldType type, const QVariant& stored);

inline bool isNullValue(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

} // namespace db
