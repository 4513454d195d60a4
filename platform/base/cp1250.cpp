#include "platform/base/cp1250.h"

#include "platform/base/errors.h"

#include <array>

namespace base::cp1250 {
namespace {

// Unicode of the bytes 0x80..0xFF; 0 marks the five unassigned bytes.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x0000, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, //
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x0000, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, //
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, //
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, //
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, //
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, //
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, //
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, //
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, //
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, //
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, //
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, //
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, //
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, //
};

QChar mapCommaBelow(QChar c) {
    switch (c.unicode()) {
    case 0x0219:
        return QChar(0x015F); // ș -> ş
    case 0x021B:
        return QChar(0x0163); // ț -> ţ
    case 0x0218:
        return QChar(0x015E); // Ș -> Ş
    case 0x021A:
        return QChar(0x0162); // Ț -> Ţ
    default:
        return c;
    }
}

} // namespace

int byteOf(QChar c) {
    c = mapCommaBelow(c);
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u;
    for (int i = 0; i < 128; ++i)
        if (kHighHalf[i] == u)
            return 0x80 + i;
    return -1;
}

QString normalize(const QString& text) {
    // Most text has nothing to map: it is handed back without a copy.
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (mapCommaBelow(text.at(at)) == text.at(at))
            continue;
        QString out = text;
        QChar* c = out.data();
        for (qsizetype i = at; i < out.size(); ++i)
            c[i] = mapCommaBelow(c[i]);
        return out;
    }
    return text;
}

QChar firstUnrepresentable(const QString& text) {
    for (QChar c : text)
        if (byteOf(c) < 0)
            return c;
    return QChar();
}

bool isRepresentable(const QString& text) {
    return firstUnrepresentable(text).isNull();
}

QString checked(const QString& text, const QString& fieldName) {
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (byteOf(text.at(at)) >= 0)
            continue;
        // A character beyond the basic plane is a surrogate pair: name it whole.
        QString shown(text.at(at));
        char32_t code = text.at(at).unicode();
        if (text.at(at).isHighSurrogate() && at + 1 < text.size() &&
            text.at(at + 1).isLowSurrogate()) {
            shown = text.mid(at, 2);
            code = QChar::surrogateToUcs4(text.at(at), text.at(at + 1));
        }
        QString msg =
            QStringLiteral(
                "The character '%1' (U+%2) cannot be stored: it is not in code page 1250")
                .arg(shown,
                     QString::number(uint(code), 16).toUpper().rightJustified(4, QLatin1Char('0')));
        if (!fieldName.isEmpty())
            msg += QStringLiteral(" (field %1)").arg(fieldName);
        throw ConversionError(msg + QLatin1Char('.'));
    }
    return normalize(text);
}

QByteArray encode(const QString& text, const QString& fieldName) {
    const QString norm = checked(text, fieldName);
    QByteArray out;
    out.reserve(norm.size());
    for (QChar c : norm)
        out.append(static_cast<char>(byteOf(c)));
    return out;
}

QString decode(const char* data, int length) {
    QString out;
    out.reserve(length);
    for (int i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        if (b < 0x80)
            out.append(QChar(b));
        else
            out.append(kHighHalf[b - 0x80] ? QChar(kHighHalf[b - 0x80]) : QChar(0xFFFD));
    }
    return out;
}

QString decode(const QByteArray& bytes) {
    return decode(bytes.constData(), int(bytes.size()));
}

} // namespace base::cp1250
