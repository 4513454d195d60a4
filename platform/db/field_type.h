#pragma once
// Field types and the structure of a table as the engine stores it.
#include <QList>
#include <QString>
#include <QStringList>

namespace db {

enum class FieldType { Text, Float, Date, Boolean, Integer };

// Data fields are stored; lookup and calculated fields are computed, never stored.
enum class FieldKind { Data, Lookup, Calculated };

// Width of a text field when none is given.
constexpr int kDefaultTextWidth = 20;

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0; // characters of code page 1250, for text fields
    bool required = false;
};

struct IndexDef {
    QString name;       // ignored for the primary index
    QStringList fields; // in key order
    bool primary = false;
    bool unique = false; // a primary index is always unique
};

struct TableDef {
    QString name; // table file name; ".DB" and letter case are ignored
    QList<FieldDef> fields;
    QList<IndexDef> indexes;
};

QString fieldTypeName(FieldType type);

// Splits "Cod_Grupa;Cod_articol" into its field names (blanks trimmed, empty parts dropped).
QStringList splitFieldList(const QString& fields);

} // namespace db
