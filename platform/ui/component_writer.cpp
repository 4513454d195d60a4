#include "platform/ui/component_writer.h"

#include "platform/base/cp1250.h"
#include "platform/ui/file_stream.h"

#include <QIODevice>
#include <QtEndian>

#include <bit>
#include <limits>

namespace ui {
namespace {

template <class... Fs> struct Overloaded : Fs... { using Fs::operator()...; };

} // namespace

std::array<std::uint8_t, 10> toExtended(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const auto exponent = int((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    std::uint64_t mantissa = 0;
    int extended = 0;
    if (exponent == 0x7FF) { // infinity or NaN
        extended = 0x7FFF;
        mantissa = (std::uint64_t(1) << 63) | (fraction << 11);
    } else if (exponent != 0) {
        extended = exponent - 1023 + 16383;
        mantissa = (std::uint64_t(1) << 63) | (fraction << 11);
    } else if (fraction != 0) { // subnormal: fraction * 2^-1074, normalised
        const int shift = std::countl_zero(fraction);
        mantissa = fraction << shift;
        extended = 15372 - shift;
    }
    std::array<std::uint8_t, 10> bytes{};
    qToLittleEndian(mantissa, bytes.data());
    qToLittleEndian(std::uint16_t(extended | ((bits >> 63) << 15)), bytes.data() + 8);
    return bytes;
}

void ComponentWriter::writeRecord(const ComponentRecord& component) {
    writeBytes(QByteArrayLiteral("TPF0"));
    writeComponent(component);
}

void ComponentWriter::writeComponent(const ComponentRecord& component) {
    writeShortString(component.className);
    writeShortString(component.name);
    for (const StoredProperty& property : component.properties)
        writeProperty(property);
    writeTag(ValueType::Null);
    for (const ComponentRecord& child : component.children)
        writeComponent(child);
    writeTag(ValueType::Null);
}

void ComponentWriter::writeProperty(const StoredProperty& property) {
    writeShortString(property.name);
    writeValue(property.value);
}

void ComponentWriter::writeValue(const StoredValue& value) {
    std::visit(Overloaded{
                   [this](std::monostate) { writeTag(ValueType::Nil); },
                   [this](bool v) { writeTag(v ? ValueType::True : ValueType::False); },
                   [this](qint64 v) { writeInteger(v); },
                   [this](double v) {
                       writeTag(ValueType::Extended);
                       const auto bytes = toExtended(v);
                       writeBytes(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                             qsizetype(bytes.size())));
                   },
                   [this](const QString& v) { writeText(v); },
                   [this](const Ident& v) { writeIdent(v.name); },
                   [this](const SetValue& v) {
                       writeTag(ValueType::Set);
                       for (const QString& element : v.elements)
                           writeShortString(element);
                       writeShortString(QString());
                   },
                   [this](const ListValue& v) {
                       writeTag(ValueType::List);
                       for (const StoredValue& item : v.values)
                           writeValue(item);
                       writeTag(ValueType::Null);
                   },
                   [this](const CollectionValue& v) {
                       writeTag(ValueType::Collection);
                       for (const StoredProperties& item : v.items) {
                           writeTag(ValueType::List);
                           for (const StoredProperty& property : item)
                               writeProperty(property);
                           writeTag(ValueType::Null);
                       }
                       writeTag(ValueType::Null);
                   },
                   [this](const QByteArray& v) {
                       writeTag(ValueType::Binary);
                       writeLittleEndian(qint32(v.size()));
                       writeBytes(v);
                   },
               },
               value.value);
}

void ComponentWriter::writeTag(ValueType type) {
    writeBytes(QByteArray(1, char(static_cast<std::uint8_t>(type))));
}

void ComponentWriter::writeShortString(const QString& text) {
    const QByteArray bytes = base::cp1250::encode(text);
    if (bytes.size() > 255)
        throw StreamError(QStringLiteral("Name longer than 255 characters: %1").arg(text));
    writeBytes(QByteArray(1, char(bytes.size())) + bytes);
}

void ComponentWriter::writeInteger(qint64 value) {
    auto fits = [value](auto limits) {
        return value >= decltype(limits)::min() && value <= decltype(limits)::max();
    };
    if (fits(std::numeric_limits<qint8>())) {
        writeTag(ValueType::Int8);
        writeLittleEndian(qint8(value));
    } else if (fits(std::numeric_limits<qint16>())) {
        writeTag(ValueType::Int16);
        writeLittleEndian(qint16(value));
    } else if (fits(std::numeric_limits<qint32>())) {
        writeTag(ValueType::Int32);
        writeLittleEndian(qint32(value));
    } else {
        writeTag(ValueType::Int64);
        writeLittleEndian(value);
    }
}

void ComponentWriter::writeText(const QString& text) {
    const QByteArray bytes = base::cp1250::encode(text);
    if (bytes.size() <= 255) {
        writeTag(ValueType::String);
        writeBytes(QByteArray(1, char(bytes.size())));
    } else {
        writeTag(ValueType::LString);
        writeLittleEndian(qint32(bytes.size()));
    }
    writeBytes(bytes);
}

void ComponentWriter::writeIdent(const QString& name) {
    static const std::pair<QLatin1String, ValueType> kSpecial[] = {
        {QLatin1String("False"), ValueType::False},
        {QLatin1String("True"), ValueType::True},
        {QLatin1String("nil"), ValueType::Nil},
        {QLatin1String("Null"), ValueType::Null},
    };
    for (const auto& [special, type] : kSpecial)
        if (name.compare(special, Qt::CaseInsensitive) == 0) {
            writeTag(type);
            return;
        }
    writeTag(ValueType::Ident);
    writeShortString(name);
}

void ComponentWriter::writeBytes(const QByteArray& bytes) {
    if (m_out.write(bytes) != bytes.size())
        throw StreamError(QStringLiteral("Stream write error"));
}

template <class T> void ComponentWriter::writeLittleEndian(T value) {
    QByteArray bytes(sizeof(T), Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    writeBytes(bytes);
}

} // namespace ui
