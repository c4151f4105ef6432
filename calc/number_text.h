#pragma once
// Conversions between texts and numbers, independent of the process locale.
//
// Texts are UTF-8. Besides ASCII, the digits, "．", "＋", "－" that a Chinese input
// method produces in full-width mode are read as their ASCII forms, and the ideographic
// space counts as a blank.

#include <optional>
#include <string>
#include <string_view>

namespace calc {

// A whole text as a decimal number: optional sign, digits with an optional '.',
// optional exponent, blanks around. Anything else (empty, "1,5", "inf", hex, a lone
// ".") and a value that overflows double is refused.
std::optional<double> parseNumber(std::string_view text);

// As parseNumber, then narrowed to single precision; refuses a value beyond float's range.
std::optional<float> parseSingle(std::string_view text);

// The longest leading decimal number after leading blanks; 0 when there is none.
// Overflow gives an infinite value, which the caller must treat as out of range.
double leadingNumber(std::string_view text);

// Plain decimal text without exponent or trailing zeros: 7 significant digits for a
// single-precision value, 15 for a double ("4.62", "23.1", "0.01501", "5").
std::string singleToText(float value);
std::string numberToText(double value);

// Three significant digits, for amounts far below any shown digit: plain from 0.001 to
// 999999 ("23.0", "0.00114", "-2500"), else with a power of ten ("1.14×10⁻⁷", "2.50×10⁶");
// 0 as "0". Not finite gives the empty text.
std::string significantText(double value);

// Fixed-pattern "0.00", "0.000", ...: `decimals` digits after the point. The value is
// first written with 15 significant digits (7 for a float) and those decimal digits are
// rounded half away from zero, so 2.675 gives "2.68" as it does by hand. A result that
// rounds to zero carries no minus sign. Not finite values give the empty text.
std::string formatFixed(double value, int decimals);
std::string formatFixedSingle(float value, int decimals);

// The number formatFixed shows: `value` rounded half away from zero to `decimals` places,
// the one rounding every shown result goes through.
double roundedTo(double value, int decimals);
float roundedToSingle(float value, int decimals);

// Pattern "0.00" etc. applied to a number that may be unset: unset shows as the empty text.
std::string formatFixed(const std::optional<double>& value, int decimals);

}  // namespace calc
