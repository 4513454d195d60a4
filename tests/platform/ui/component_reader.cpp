#include "component_reader.h"

#include "platform/base/cp1250.h"

#include <QtEndian>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace testsupport {

using ui::ValueType;

double fromExtended(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const auto mantissa = qFromLittleEndian<quint64>(data);
    const auto signAndExponent = qFromLittleEndian<quint16>(data + 8);
    const int exponent = signAndExponent & 0x7FFF;
    const double sign = (signAndExponent & 0x8000) ? -1.0 : 1.0;
    if (exponent == 0x7FFF)
        return (mantissa << 1) ? std::numeric_limits<double>::quiet_NaN()
                               : sign * std::numeric_limits<double>::infinity();
    return sign * std::ldexp(double(mantissa), exponent - 16383 - 63);
}

ui::ComponentRecord ComponentReader::readRecord() {
    if (take(4) != "TPF0")
        throw std::runtime_error("no signature");
    return readComponent();
}

ui::ComponentRecord ComponentReader::readComponent() {
    ui::ComponentRecord record;
    record.className = readShortString();
    record.name = readShortString();
    record.properties = readPropertiesUntilEnd();
    while (m_pos < m_bytes.size() && m_bytes.at(m_pos) != 0)
        record.children.push_back(readComponent());
    if (readByte() != 0)
        throw std::runtime_error("no end of children");
    return record;
}

ui::StoredProperties ComponentReader::readPropertiesUntilEnd() {
    ui::StoredProperties properties;
    while (m_pos < m_bytes.size() && m_bytes.at(m_pos) != 0) {
        QString name = readShortString();
        properties.push_back({name, readValue()});
    }
    if (readByte() != 0)
        throw std::runtime_error("no end of properties");
    return properties;
}

ui::StoredValue ComponentReader::readValue() {
    switch (static_cast<ValueType>(readByte())) {
    case ValueType::Nil:
        return {};
    case ValueType::False:
        return false;
    case ValueType::True:
        return true;
    case ValueType::Int8:
        return readSigned(1);
    case ValueType::Int16:
        return readSigned(2);
    case ValueType::Int32:
        return readSigned(4);
    case ValueType::Int64:
        return readSigned(8);
    case ValueType::Extended:
        return fromExtended(take(10));
    case ValueType::String:
        return base::cp1250::decode(take(readByte()));
    case ValueType::LString:
        return base::cp1250::decode(take(readSigned(4)));
    case ValueType::Ident:
        return ui::Ident{readShortString()};
    case ValueType::Binary:
        return take(readSigned(4));
    case ValueType::Set: {
        ui::SetValue set;
        for (QString element = readShortString(); !element.isEmpty(); element = readShortString())
            set.elements << element;
        return set;
    }
    case ValueType::List: {
        ui::ListValue list;
        while (m_pos < m_bytes.size() && m_bytes.at(m_pos) != 0)
            list.values.push_back(readValue());
        readByte();
        return list;
    }
    case ValueType::Collection: {
        ui::CollectionValue collection;
        while (m_pos < m_bytes.size() && m_bytes.at(m_pos) != 0) {
            if (static_cast<ValueType>(readByte()) != ValueType::List)
                throw std::runtime_error("collection item is not a list");
            collection.items.push_back(readPropertiesUntilEnd());
        }
        readByte();
        return collection;
    }
    default:
        throw std::runtime_error("unexpected value type");
    }
}

std::uint8_t ComponentReader::readByte() {
    return std::uint8_t(take(1).at(0));
}

QByteArray ComponentReader::take(qsizetype count) {
    if (count < 0 || m_pos + count > m_bytes.size())
        throw std::runtime_error("read past the end");
    QByteArray bytes = m_bytes.mid(m_pos, count);
    m_pos += count;
    return bytes;
}

qint64 ComponentReader::readSigned(int size) {
    const QByteArray bytes = take(size);
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    switch (size) {
    case 1:
        return qint8(data[0]);
    case 2:
        return qFromLittleEndian<qint16>(data);
    case 4:
        return qFromLittleEndian<qint32>(data);
    default:
        return qFromLittleEndian<qint64>(data);
    }
}

QString ComponentReader::readShortString() {
    return base::cp1250::decode(take(readByte()));
}

} // namespace testsupport
