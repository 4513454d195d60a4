#pragma once
// Floating-point numbers to text and back with the decimal separator in force.
#include <QString>

namespace base {

// The general format: up to 15 significant digits, no trailing zeros, no decimal separator
// for whole numbers; scientific notation ("1,5E20", "1E-7") when the number needs more than
// 15 digits left of the separator or is below 0.00001 in magnitude.
QString formatFloatGeneral(double value);

// A fixed number of decimals with the separators in force, digits grouped in thousands
// ("1.234.567,50" under the Romanian conventions); a value that rounds to zero has no sign.
QString formatFixed(double value, int decimals);

// Parses a number written with the decimal separator in force (blanks around it allowed,
// an exponent allowed); anything else throws ConversionError.
double textToFloat(const QString& text);
bool tryTextToFloat(const QString& text, double& result);

} // namespace base
