// Code page 1250 conversion. The input is read both as stored bytes and as typed text (UTF-8).
// Rules: bytes decode and encode back to themselves, except the five the code page leaves
// unassigned; a text is representable exactly when no character is named as the first one
// outside the code page; a representable text encodes, and decodes back as its normalized form;
// any other text is refused with a conversion error.
#include "platform/base/cp1250.h"
#include "platform/base/errors.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray stored = fuzz::bytes(data, size);
    const QString decoded = base::cp1250::decode(stored);
    FUZZ_CHECK(decoded.size() == stored.size(), QString::fromLatin1(stored.toHex()));
    const bool unassigned = decoded.contains(QChar(0xFFFD));
    try {
        const QByteArray again = base::cp1250::encode(decoded);
        FUZZ_CHECK(!unassigned && again == stored, QString::fromLatin1(stored.toHex()));
    } catch (const base::ConversionError&) {
        FUZZ_CHECK(unassigned, QString::fromLatin1(stored.toHex()));
    }

    const QString typed = fuzz::utf8(data, size);
    const bool representable = base::cp1250::isRepresentable(typed);
    FUZZ_CHECK(representable == base::cp1250::firstUnrepresentable(typed).isNull(), typed);
    try {
        const QByteArray encoded = base::cp1250::encode(typed);
        FUZZ_CHECK(representable, typed);
        FUZZ_CHECK(base::cp1250::decode(encoded) == base::cp1250::normalize(typed), typed);
        FUZZ_CHECK(base::cp1250::checked(typed, QStringLiteral("f")) ==
                       base::cp1250::normalize(typed),
                   typed);
    } catch (const base::ConversionError&) {
        FUZZ_CHECK(!representable, typed);
    }
    return 0;
}
