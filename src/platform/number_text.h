#pragma once
// Numbers as text, always in the C locale ("." as the decimal separator).
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// General format with up to 15 significant digits: fixed notation for magnitudes from
// 1e-4 up to 1e15, otherwise an exponent written "E" with its sign only when negative
// and no leading zeros ("1E-5", "1.5E20"). No trailing zeros. Infinity and NaN are
// written "INF", "-INF" and "NAN".
std::string formatGeneral15(double value);

// formatGeneral15 with ".0" appended when the text has neither "." nor an exponent:
// 10 -> "10.0", 0.5 -> "0.5". Floats are widened to double first, so 12.4f gives
// "12.3999996185303".
std::string floatToText(float value);
std::string doubleToText(double value);

// The same digits without the appended ".0": 10 -> "10".
std::string floatToTextNoDotZero(float value);

// Fixed-point text with the given decimals ("%.4f" in the C locale). A result that
// rounds to zero has no minus sign; infinity and NaN are written as 0.
std::string formatFixed(double value, int decimals);

// Parses a whole text as a number in the C locale (leading and trailing blanks are
// allowed, nothing else). Accepts the exponent forms and "INF"/"NAN" written by
// formatGeneral15. Empty result when the text is not a number.
std::optional<double> parseDouble(std::string_view text);
// As parseDouble, but every "," is first taken as ".".
std::optional<double> parseDoubleAcceptComma(std::string_view text);
// A whole decimal integer (optional sign) that fits in 32 bits.
std::optional<int> parseInt32(std::string_view text);

// Rounding to a number of decimals.
double roundHalfEven(double value, int decimals = 0);
double roundHalfAwayFromZero(double value, int decimals = 0);

}  // namespace quillon
