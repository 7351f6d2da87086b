#pragma once
// Number conventions shared by every engine and window: text conversion,
// ties-to-even rounding, checked arithmetic and the general number format.
#include <cstdint>
#include <string>
#include <string_view>

namespace tarven {

// Integer text: leading blanks, an optional sign, decimal digits, nothing
// after them; the value must fit a signed 32-bit integer. Otherwise
// ConvertError "'text' は整数ではありません".
std::int32_t parseInt(std::string_view text);

// Floating-point text: blanks around, an optional sign, digits with an
// optional decimal point and an optional exponent (E or e). No "inf"/"nan".
// Otherwise ConvertError "'text' は浮動小数点数ではありません".
double parseFloat(std::string_view text);

// Nearest integer, ties to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundEven(double x);
// The same as an integer; NaN or a value outside 64 bits is an invalid
// floating-point operation.
std::int64_t roundToInt64(double x);
// Truncation toward zero as an integer, with the same range check.
std::int64_t truncToInt64(double x);

// Checked arithmetic with the framework's errors.
double floatDiv(double a, double b);                 // b == 0: floating-point division by zero
std::int64_t intDiv(std::int64_t a, std::int64_t b); // b == 0: integer division by zero; truncates toward zero
double checkedLn(double x);                       // x <= 0: invalid floating-point operation
double checkedSqrt(double x);                     // x < 0: invalid floating-point operation

// General format: at most 15 significant digits, trailing zeros and an
// unneeded point dropped; fixed notation for magnitudes of at least 0.00001
// with at most 15 digits before the point, otherwise mantissa "E" exponent
// (1.234E-6, 1.5E20).
std::string formatGeneral(double x);

// Plain decimal integer text.
std::string formatInt(std::int64_t x);

} // namespace tarven
