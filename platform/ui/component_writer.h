#pragma once
// Writes components in the binary component-stream format in which forms are described. A record
// is the signature "TPF0" followed by one component: its class name and component name as short
// strings (a length byte and the bytes), its stored properties (each a short-string name and a
// typed value) closed by a zero byte, its owned components, and a closing zero byte.
//
// Values: integers in the smallest of 1, 2, 4 or 8 little-endian bytes; text in code page 1250
// (a character outside it is refused with base::ConversionError), with a one-byte length up to
// 255 bytes and a four-byte length beyond; identifiers True, False, nil and Null by their own
// tags; floating point as 10-byte extended; a set as its element names closed by an empty name;
// a list as its values closed by a zero byte; a collection as its items, each a list of its stored
// properties, closed by a zero byte. A write that cannot be completed throws StreamError.
#include "platform/ui/stored_value.h"

#include <array>

class QIODevice;

namespace ui {

class ComponentWriter {
public:
    explicit ComponentWriter(QIODevice& out) : m_out(out) {}

    // The signature and the component.
    void writeRecord(const ComponentRecord& component);
    // The component alone (an owned component inside a record).
    void writeComponent(const ComponentRecord& component);
    void writeProperty(const StoredProperty& property);
    void writeValue(const StoredValue& value);

private:
    void writeTag(ValueType type);
    void writeShortString(const QString& text);
    void writeInteger(qint64 value);
    void writeText(const QString& text);
    void writeIdent(const QString& name);
    void writeBytes(const QByteArray& bytes);
    template <class T> void writeLittleEndian(T value);

    QIODevice& m_out;
};

// The 10-byte extended (x87) form of a double: 64-bit mantissa with its integer bit, 15-bit
// exponent and sign, little-endian. Exact: every double has one.
std::array<std::uint8_t, 10> toExtended(double value);

} // namespace ui
