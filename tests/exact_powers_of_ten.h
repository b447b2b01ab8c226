// Powers of ten from exact big-integer arithmetic, for checking the generated
// tables and for building the x87 reference's own tables.
#pragma once

#include <cstdint>

constexpr int kLargestExactPower = 4608;

// 10^k (0 <= k <= kLargestExactPower) rounded to nearest, ties to even, at 64
// significant bits: value = significand * 2^(exponent - 63), bit 63 set.
struct RoundedPower {
  uint64_t significand;
  int32_t exponent;
};
RoundedPower RoundedPowerOfTen(int k);
