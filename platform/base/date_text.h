#pragma once
// Dates to text and back with the short date format in force (see FormatSettings).
#include <QDate>
#include <QString>

namespace base {

// The date in the short date format in force; an invalid date gives an empty text.
QString dateToText(const QDate& date);

// Parses text in the order of day, month and year of the short date format in force,
// accepting any non-digit as separator. Impossible dates (31 April, 29 February of a common
// year, day 0, month 13) and text that is not a date throw ConversionError. A two-digit year
// is 2000..2049 below 50 and 1950..1999 from 50 on.
QDate textToDate(const QString& text);

// Like textToDate, but answers false instead of throwing.
bool tryTextToDate(const QString& text, QDate& result);

} // namespace base
