#pragma once

#include <string>
#include <string_view>

namespace kqvdr {

// The whole-number value of a text: its leading decimal digits after optional blanks and a sign,
// 0 when there are none. Values beyond 32 bits saturate instead of wrapping.
int parseLeadingInt(std::string_view text);

// The decimal value of a text in the way of the C library (leading blanks, sign, digits, the
// locale's decimal point, exponent), 0 when it does not start with a number.
double parseLeadingDecimal(std::string_view text);

// Formats with the given number of decimals in the current locale, like "%.*f".
std::string formatDecimal(double value, int decimals);

// Rounds by formatting with n decimals and reading the text back, so that the value matches
// exactly what the operator sees.
double roundToDecimals(double value, int decimals);

} // namespace kqvdr
