// Scaling by a power of ten in the extended arithmetic: the one step that both the
// formatter and the parser take.
#pragma once

#include <cstdint>

#include "extended_float.h"

// |n| from which the result no longer depends on x beyond x being zero:
// 10^15 * 10^240 * 10^4608 = 10^4863 is the largest power the tables make.
constexpr int32_t kScaleExponentLimit = 4864;

// x * 10^n, x a value of at most 53 significant bits (a double's magnitude, the
// parser's accumulator). The power p is built from three tables, every product
// rounded to 53 bits, and x is then multiplied by p (n >= 0) or divided by it
// (n < 0), so that ScalePowerOfTen(1, -1) is the double nearest 0.1. For
// |n| >= kScaleExponentLimit the result is zero when x is zero, otherwise infinity
// for n > 0 and zero for n < 0.
ExtendedFloat ScalePowerOfTen(ExtendedFloat x, int32_t n);
