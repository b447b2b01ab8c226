#include "scale_power_of_ten.h"

#include "power_of_ten_tables.h"

namespace {

// p * factor, where the first factor taken is itself rounded to 53 bits (it is
// multiplied into a p of 1).
ExtendedFloat TakeFactor(ExtendedFloat p, bool first, ExtendedFloat factor) {
  return first ? RoundExtended(factor) : MultiplyExtended(p, factor);
}

}  // namespace

ExtendedFloat ScalePowerOfTen(ExtendedFloat x, int32_t n) {
  // 1. m = |n|, taken unsigned so that the most negative n has one too.
  uint32_t m = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
  if (m >= static_cast<uint32_t>(kScaleExponentLimit)) {
    if (IsExtendedZero(x)) return kExtendedZero;
    return n > 0 ? kExtendedInfinity : kExtendedZero;
  }
  // 10^1 ... 10^15 are exact at 53 bits: p is the table value itself.
  if (m > 0 && m < 16) {
    if (n > 0) return MultiplyExtended(x, kPowersOfTenBy1[m - 1]);
    return DivideExtendedPreinverted(x, kPowersOfTenBy1[m - 1], kReciprocalsOfPowersOfTenBy1[m - 1]);
  }
  // 2-4. p = 10^(bits 0-3) * 10^(16 * bits 4-7) * 10^(256 * bits 8-12).
  ExtendedFloat p = {};
  bool first = true;
  if (uint32_t units = m & 15) {
    p = TakeFactor(p, first, kPowersOfTenBy1[units - 1]);
    first = false;
  }
  if (uint32_t sixteens = (m >> 4) & 15) {
    p = TakeFactor(p, first, kPowersOfTenBy16[sixteens - 1]);
    first = false;
  }
  if (uint32_t multiples = m >> 8) {
    p = TakeFactor(p, first, kPowersOfTenBy256[multiples - 1]);
    first = false;
  }
  // 5. x * p or x / p; with p = 1 only the rounding of x to 53 bits is left.
  if (first) return RoundExtended(x);
  return n >= 0 ? MultiplyExtended(x, p) : DivideExtended(x, p);
}
