#include "platform/base/format_settings.h"

#include <QLocale>

namespace base {
namespace {

// Converts a Qt short date pattern ("dd.MM.yyyy", "M/d/yy", "d MMM yyyy") to the classic
// notation with '/' for the separator, and reports the separator it found. Any character that
// is not a day, month or year letter separates, a space too.
QString classicDatePattern(const QString& qtPattern, QChar& separator) {
    QString out;
    separator = QChar();
    bool quoted = false; // literal text between quotes ("d.MM.yy 'г'.") is no part of the date
    for (QChar c : qtPattern) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        const QChar l = c.toLower();
        if (l == QLatin1Char('d') || l == QLatin1Char('m') || l == QLatin1Char('y')) {
            out += l.toUpper();
        } else if (!out.isEmpty()) {
            if (separator.isNull())
                separator = c;
            if (!out.endsWith(QLatin1Char('/')))
                out += QLatin1Char('/');
        }
    }
    if (out.endsWith(QLatin1Char('/')))
        out.chop(1);
    // Qt uses "d" with "ddd" for day names; the short format never carries names.
    out.replace(QStringLiteral("DDDD"), QStringLiteral("DD"));
    out.replace(QStringLiteral("DDD"), QStringLiteral("DD"));
    out.replace(QStringLiteral("MMMM"), QStringLiteral("MM"));
    out.replace(QStringLiteral("MMM"), QStringLiteral("MM"));
    return out;
}

FormatSettings fromLocale(const QLocale& locale) {
    FormatSettings s;
    QChar sep;
    QString pattern = classicDatePattern(locale.dateFormat(QLocale::ShortFormat), sep);
    if (pattern.count(QLatin1Char('D')) == 0 || pattern.count(QLatin1Char('M')) == 0 ||
        pattern.count(QLatin1Char('Y')) == 0)
        pattern = QStringLiteral("DD/MM/YYYY");
    s.shortDateFormat = pattern;
    s.dateSeparator = sep.isNull() ? QLatin1Char('/') : sep;
    const QString dec = locale.decimalPoint();
    s.decimalSeparator = dec.isEmpty() ? QLatin1Char('.') : dec.at(0);
    const QString group = locale.groupSeparator();
    s.thousandSeparator = group.isEmpty() ? QLatin1Char(',') : group.at(0);
    for (int m = 1; m <= 12; ++m) {
        s.longMonthNames << locale.standaloneMonthName(m, QLocale::LongFormat);
        s.shortMonthNames << locale.standaloneMonthName(m, QLocale::ShortFormat);
    }
    // Qt counts days from Monday = 1 to Sunday = 7; the lists start on Sunday.
    for (int i = 0; i < 7; ++i) {
        const int qtDay = i == 0 ? 7 : i;
        s.longDayNames << locale.standaloneDayName(qtDay, QLocale::LongFormat);
        s.shortDayNames << locale.standaloneDayName(qtDay, QLocale::ShortFormat);
    }
    return s;
}

FormatSettings& instance() {
    static FormatSettings settings = FormatSettings::fromSystemLocale();
    return settings;
}

} // namespace

QLocale withRomanianFallback(const QLocale& locale) {
    return locale.language() == QLocale::C ? QLocale(QLocale::Romanian, QLocale::Romania) : locale;
}

FormatSettings FormatSettings::fromSystemLocale() {
    return fromLocale(withRomanianFallback(QLocale::system()));
}

FormatSettings FormatSettings::fromLocaleName(const QString& localeName) {
    return fromLocale(withRomanianFallback(QLocale(localeName)));
}

FormatSettings& formatSettings() {
    return instance();
}

void setFormatSettings(const FormatSettings& settings) {
    instance() = settings;
}

} // namespace base
