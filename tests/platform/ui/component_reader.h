#pragma once
// Reads the binary component-stream format, written independently of the writer, so that the
// tests check what the writer put into the bytes. Malformed input throws std::runtime_error.
#include "platform/ui/stored_value.h"

#include <QByteArray>

namespace testsupport {

class ComponentReader {
public:
    explicit ComponentReader(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    // The signature "TPF0" and one component.
    ui::ComponentRecord readRecord();
    bool atEnd() const { return m_pos == m_bytes.size(); }
    qsizetype position() const { return m_pos; }

private:
    ui::ComponentRecord readComponent();
    ui::StoredProperties readPropertiesUntilEnd();
    ui::StoredValue readValue();
    std::uint8_t readByte();
    QByteArray take(qsizetype count);
    qint64 readSigned(int size);
    QString readShortString();

    QByteArray m_bytes;
    qsizetype m_pos = 0;
};

// The double that a 10-byte extended value stands for (exact for what the writer writes).
double fromExtended(const QByteArray& tenBytes);

} // namespace testsupport
