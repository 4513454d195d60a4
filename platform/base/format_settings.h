#pragma once
// The module-wide regional format settings through which dates and numbers are turned into
// text and back. Each side of the host boundary has its own instance; it starts from the
// system locale and may be changed (the date edit switches the short date format).
#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace base {

struct FormatSettings {
    // Short date format in the classic notation: D/DD day, M/MM month, YY/YYYY year; every
    // '/' stands for dateSeparator. Letter case is not significant.
    QString shortDateFormat = QStringLiteral("DD/MM/YYYY");
    QChar dateSeparator = QLatin1Char('.');
    QChar decimalSeparator = QLatin1Char(',');
    QChar thousandSeparator = QLatin1Char('.');
    QStringList longMonthNames;  // 12 names, January first
    QStringList shortMonthNames; // 12 names
    QStringList longDayNames;    // 7 names, Sunday first
    QStringList shortDayNames;   // 7 names, Sunday first

    // Settings read from a locale (the system locale by default).
    static FormatSettings fromSystemLocale();
    static FormatSettings fromLocaleName(const QString& localeName);
};

// The settings in force on this side; initialised from the system locale on first use.
FormatSettings& formatSettings();

// The C and POSIX locales (a fresh machine's default) carry no regional conventions: dates,
// numbers and the calendar's names then follow the Romanian ones, as the program's users expect.
QLocale withRomanianFallback(const QLocale& locale);

// Replaces the settings in force (tests and the host use it to fix a known locale).
void setFormatSettings(const FormatSettings& settings);

} // namespace base
