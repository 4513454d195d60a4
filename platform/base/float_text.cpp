#include "platform/base/float_text.h"

#include "platform/base/errors.h"
#include "platform/base/format_settings.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace base {
namespace {

QString trimZeros(QString mantissa) {
    if (mantissa.contains(QLatin1Char('.'))) {
        while (mantissa.endsWith(QLatin1Char('0')))
            mantissa.chop(1);
        if (mantissa.endsWith(QLatin1Char('.')))
            mantissa.chop(1);
    }
    return mantissa;
}

} // namespace

QString formatFixed(double value, int decimals) {
    const FormatSettings& fs = formatSettings();
    QString digits = QString::number(std::fabs(value), 'f', decimals);
    const bool negative = value < 0 && std::any_of(digits.cbegin(), digits.cend(), [](QChar c) {
                              return c.isDigit() && c != QLatin1Char('0');
                          });
    QString fraction;
    if (decimals > 0) {
        fraction = fs.decimalSeparator + digits.right(decimals);
        digits.chop(decimals + 1);
    }
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, fs.thousandSeparator);
    return (negative ? QStringLiteral("-") : QString()) + digits + fraction;
}

QString formatFloatGeneral(double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    const QChar dec = formatSettings().decimalSeparator;
    if (value == 0)
        return QStringLiteral("0");
    // Round to 15 significant digits first; the exponent decides the notation.
    // std::to_chars ignores the C locale, which Qt sets from the environment.
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    const QString sci = QString::fromLatin1(buf, r.ptr - buf);
    const int ePos = sci.indexOf(QLatin1Char('e'));
    const int exponent = sci.mid(ePos + 1).toInt();
    QString out;
    if (exponent >= 15 || exponent < -5) {
        out = trimZeros(sci.left(ePos)) + QLatin1Char('E') + QString::number(exponent);
    } else {
        const int decimals = std::max(0, 14 - exponent);
        r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
        out = trimZeros(QString::fromLatin1(buf, r.ptr - buf));
    }
    out.replace(QLatin1Char('.'), dec);
    if (out == QStringLiteral("-0"))
        out = QStringLiteral("0");
    return out;
}

bool tryTextToFloat(const QString& text, double& result) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    const QChar dec = formatSettings().decimalSeparator;
    QByteArray ascii;
    ascii.reserve(t.size());
    for (QChar c : t) {
        if (c == dec)
            ascii.append('.');
        else if (c.isDigit() && c.unicode() < 0x80)
            ascii.append(char(c.unicode()));
        else if (c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('e') ||
                 c == QLatin1Char('E'))
            ascii.append(char(c.unicode()));
        else
            return false;
    }
    // from_chars takes no leading '+'.
    const char* first = ascii.constData();
    const char* last = first + ascii.size();
    if (*first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    double v = 0;
    const auto r = std::from_chars(first, last, v);
    if (r.ec != std::errc() || r.ptr != last || std::isnan(v) || std::isinf(v))
        return false;
    result = v;
    return true;
}

double textToFloat(const QString& text) {
    double v = 0;
    if (!tryTextToFloat(text, v))
        throw ConversionError(
            QStringLiteral("'%1' is not a valid floating point value.").arg(text));
    return v;
}

} // namespace base
