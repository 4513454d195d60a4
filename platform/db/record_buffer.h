#pragma once
// One record as a dataset holds it: an identity in its store and one value per field
// (data, lookup and calculated fields alike; a null QVariant is an empty value).
#include <QVariant>
#include <QVector>

namespace db {

struct RecordBuffer {
    qint64 id = 0; // the store's identity of the record (Dialect::rowId), or a row index
    QVector<QVariant> values;
    QVector<QVariant> key; // the store's ordering values (tables: the index columns)
};

// A saved position: the identity of a record. Invalid when id < 0.
struct Bookmark {
    qint64 id = -1;
    bool isValid() const { return id >= 0; }
    bool operator==(const Bookmark&) const = default;
};

} // namespace db
