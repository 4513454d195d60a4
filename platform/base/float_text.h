#pragma once
// Floating-point numbers to text and back with the decimal separator in force.
#include <QString>

namespace base {

// The general format: up to 15 significant digits, no trailing zeros, no decimal separator
// for whole numbers; scientific notation ("1,5E20", "1E-7") when the number needs more than
// 15 digits left of the separator or is below 0.00001 in magnitude.
QString formatFloatGeneral(double value);

// Parses a number written with the decimal separator in force (blanks around it allowed,
// an exponent allowed); anything else throws ConversionError.
double textToFloat(const QString& text);
bool tryTextToFloat(const QString& text, double& result);

} // namespace base
