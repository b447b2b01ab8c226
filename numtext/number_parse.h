// Reading the text of a value field.
#pragma once

// Reads a decimal number with an optional exponent from the NUL-terminated text
// and stores it into *out as a double; returns where reading stopped (the first
// character not consumed). One leading "+" or "-"; then digits with points, the
// last point counting ("1.2.3" -> 12.3); then "e" or "E", an optional sign and
// digits. Reading stops quietly at the first character that does not fit: "12abc"
// -> 12, "abc" -> 0, " 5" -> 0, "-abc" -> -0, "7e" -> 7, "inf" -> 0. The digits
// are accumulated and scaled by ScalePowerOfTen, so "0.1" gives the double nearest
// 0.1, "1e400" infinity and "1e-320" the nearest subnormal. An exponent of any
// length counts with its full size ("1e99999999999" -> infinity).
// *out is left alone when the text is empty or a lone sign.
const char* ParseNumber(const char* text, double* out);
