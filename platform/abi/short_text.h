#pragma once
// A short text of the host's layouts: a length byte followed by at most N characters in code
// page 1250. Writing touches only the length byte and the characters written; the rest of the
// field keeps whatever it held. Reading never goes past the field, whatever the length byte.
#include "platform/base/cp1250.h"

#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace hostabi {

template <std::size_t N> struct ShortText {
    static_assert(N <= 255, "the length is one byte");

    std::uint8_t length;
    char chars[N];

    // Writes text cut to N characters; throws base::ConversionError for a character outside
    // the code page.
    void set(const QString& text) { setBytes(base::cp1250::encode(text)); }
    void setBytes(const QByteArray& bytes) {
        const auto n = std::min<std::size_t>(std::size_t(bytes.size()), N);
        length = static_cast<std::uint8_t>(n);
        std::memcpy(chars, bytes.constData(), n);
    }
    QByteArray bytes() const {
        return QByteArray(chars, qsizetype(std::min<std::size_t>(length, N)));
    }
    QString text() const { return base::cp1250::decode(bytes()); }
};

} // namespace hostabi
