// The text a value field shows for a value.
#pragma once

#include <cstddef>

// A sign, 16 integer digits and the NUL: the longest text FormatNumber writes.
constexpr size_t kNumberTextSize = 18;

// Writes value as a NUL-terminated text into out (kNumberTextSize bytes).
// Integers of magnitude below 2^52 print exactly; every other value is rounded to
// seven significant digits, ties to even, and printed in fixed notation with
// trailing zeros trimmed when the rounded value lies in [0.1, 10^7), else in
// scientific notation with three exponent digits:
//   12 -> "12", -3 -> "-3", 0.5 -> "0.5", 1234567.5 -> "1234568",
//   0.05 -> "5.000000e-002", 2^52 -> "4.503600e+015", -0.0 -> "0".
// Infinities print as "inf" and "-inf", NaNs as "nan".
void FormatNumber(double value, char* out);
