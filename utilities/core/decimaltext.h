// Numbers as the desk utilities read and show them: decimal comma, an optional exponent
// written "E", and the general format (shortest digits, no trailing zeros, no grouping).
#pragma once

#include <QString>

namespace decimaltext {

// Reads "12", "-3,25", ",5", "7,", "1,5E20", "2E-7" (blanks around are allowed). A "." is
// not a decimal separator. Returns false for anything else, such as "", ",", "1,2,3".
// A number beyond the range of long double gives an infinity (too large) or 0 (too small).
bool parse(const QString &text, long double &value);

// General format: `value` rounded to `digits` significant digits, trailing zeros removed,
// "," as decimal separator; the exponent form "1,5E20" / "1E-7" (sign only when negative)
// for magnitudes of 1E15 and above or below 0,00001.
QString formatGeneral(long double value, int digits);

} // namespace decimaltext
