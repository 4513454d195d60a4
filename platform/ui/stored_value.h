#pragma once
// The values of the binary component-stream format in which forms are described, and the tags
// that introduce them in the stream (the system's own numbering, which stored files rely on).
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <variant>
#include <vector>

namespace ui {

enum class ValueType : std::uint8_t {
    Null = 0, // also the end marker of property lists, lists and collections
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5, // 10-byte floating point
    String = 6,   // up to 255 bytes, length in one byte
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LString = 12, // longer strings, length in four bytes
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WString = 18,
    Int64 = 19,
    UTF8String = 20,
};

struct StoredValue;
struct StoredProperty;
using StoredProperties = std::vector<StoredProperty>;

// An identifier: an enumeration value, a colour name, the name of a referenced component.
struct Ident {
    QString name;
    bool operator==(const Ident&) const = default;
};
// The names of the elements of a set.
struct SetValue {
    QStringList elements;
    bool operator==(const SetValue&) const = default;
};
struct ListValue {
    std::vector<StoredValue> values;
    bool operator==(const ListValue&) const;
};
// A collection: each item with its stored properties.
struct CollectionValue {
    std::vector<StoredProperties> items;
    bool operator==(const CollectionValue&) const;
};

struct StoredValue {
    // std::monostate is nil (a reference to nothing).
    std::variant<std::monostate, bool, qint64, double, QString, Ident, SetValue, ListValue,
                 CollectionValue, QByteArray>
        value;

    StoredValue() = default;
    StoredValue(bool v) : value(v) {}
    StoredValue(int v) : value(qint64(v)) {}
    StoredValue(qint64 v) : value(v) {}
    StoredValue(double v) : value(v) {}
    StoredValue(const QString& v) : value(v) {}
    StoredValue(const char* v) : value(QString::fromUtf8(v)) {}
    StoredValue(Ident v) : value(std::move(v)) {}
    StoredValue(SetValue v) : value(std::move(v)) {}
    StoredValue(ListValue v) : value(std::move(v)) {}
    StoredValue(CollectionValue v) : value(std::move(v)) {}
    StoredValue(const QByteArray& binary) : value(binary) {}

    bool operator==(const StoredValue&) const = default;
};

struct StoredProperty {
    QString name; // a nested object's property as "Title.Caption"
    StoredValue value;
    bool operator==(const StoredProperty&) const = default;
};

// One component as written to a stream: class, name, stored properties, owned components.
struct ComponentRecord {
    QString className;
    QString name;
    StoredProperties properties;
    std::vector<ComponentRecord> children;
    bool operator==(const ComponentRecord&) const = default;
};

inline bool ListValue::operator==(const ListValue&) const = default;
inline bool CollectionValue::operator==(const CollectionValue&) const = default;

} // namespace ui
