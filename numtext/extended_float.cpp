#include "extended_float.h"

#include <cassert>
#include <cstring>

#include "wide_integer.h"

namespace {

constexpr uint64_t kTopBit = uint64_t{1} << 63;

// The double layout.
constexpr int kDoubleFractionBits = 52;
constexpr uint64_t kDoubleFractionMask = (uint64_t{1} << kDoubleFractionBits) - 1;
constexpr int kDoubleBias = 1023;
constexpr int kDoubleMaxExponent = 1023;
constexpr int kDoubleMinExponent = -1022;
constexpr uint64_t kDoubleInfinityBits = uint64_t{0x7FF} << kDoubleFractionBits;

// Rounds a value to 53 bits: significand is normalised (bit 63 set) and sticky
// says whether any non-zero bits lie below it. Ties go to even; a result past the
// extended range is infinity. Below the range the rounding position stays where it
// is for the smallest normal value, so fewer bits remain (gradual underflow, as on
// the x87); only a division of a tiny value by a huge power gets there.
ExtendedFloat RoundSignificand(uint64_t significand, bool sticky, int32_t exponent) {
  assert(significand & kTopBit);
  int32_t drop = kExtendedExtraBits + (exponent < kExtendedMinExponent ? kExtendedMinExponent - exponent : 0);
  if (drop > 64) return kExtendedZero;  // below half the smallest step
  uint64_t kept = drop == 64 ? 0 : significand >> drop;
  uint64_t dropped = drop == 64 ? significand : significand & ((uint64_t{1} << drop) - 1);
  uint64_t half = uint64_t{1} << (drop - 1);
  if (dropped > half || (dropped == half && (sticky || (kept & 1)))) ++kept;
  if (kept == 0) return kExtendedZero;
  // kept * 2^(exponent - 63 + drop), normalised again; a carry moves up one binade.
  int zeros = CountLeadingZeros(kept);
  int32_t resultExponent = exponent + drop - zeros;
  if (resultExponent > kExtendedMaxExponent) return kExtendedInfinity;
  return {kept << zeros, resultExponent};
}

// The same for a 128-bit significand with bit 127 set.
ExtendedFloat RoundWideSignificand(Uint128 significand, int32_t exponent) {
  return RoundSignificand(significand.high, significand.low != 0, exponent);
}

uint64_t DoubleBits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

double DoubleFromBits(uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// The bits of a value below the smallest normal double: fraction * 2^-1074, with
// the 64-bit significand shifted down and rounded to nearest, ties to even. A
// carry into bit 52 gives the smallest normal's bits, as it should.
uint64_t SubnormalBits(ExtendedFloat x) {
  // value = significand * 2^(exponent - 63) = fraction * 2^-1074
  int shift = (63 + kDoubleMinExponent - kDoubleFractionBits) - x.exponent;  // >= 12
  if (shift > 64) return 0;  // below half the smallest subnormal
  uint64_t fraction = shift == 64 ? 0 : x.significand >> shift;
  uint64_t dropped = shift == 64 ? x.significand : x.significand & ((uint64_t{1} << shift) - 1);
  uint64_t half = uint64_t{1} << (shift - 1);
  if (dropped > half || (dropped == half && (fraction & 1))) ++fraction;
  return fraction;
}

// value >> distance; lost tells whether any non-zero bit was shifted out.
Uint128 ShiftRightSticky(Uint128 value, uint32_t distance, bool* lost) {
  if (distance == 0) {
    *lost = false;
    return value;
  }
  if (distance >= 128) {
    *lost = value.high != 0 || value.low != 0;
    return {0, 0};
  }
  if (distance >= 64) {
    uint32_t shift = distance - 64;
    *lost = value.low != 0 || (shift != 0 && (value.high << (64 - shift)) != 0);
    return {0, value.high >> shift};
  }
  *lost = (value.low << (64 - distance)) != 0;
  return {value.high >> distance, (value.low >> distance) | (value.high << (64 - distance))};
}

}  // namespace

ExtendedFloat ExtendedFromInteger(uint64_t value) {
  if (value == 0) return kExtendedZero;
  int zeros = CountLeadingZeros(value);
  return RoundSignificand(value << zeros, false, 63 - zeros);
}

ExtendedFloat ExtendedFromDouble(double value) {
  uint64_t bits = DoubleBits(value) & ~kTopBit;
  assert(bits < kDoubleInfinityBits);
  uint64_t fraction = bits & kDoubleFractionMask;
  int biased = static_cast<int>(bits >> kDoubleFractionBits);
  if (biased == 0) {  // zero or subnormal: fraction * 2^-1074
    if (fraction == 0) return kExtendedZero;
    int zeros = CountLeadingZeros(fraction);
    return {fraction << zeros, (kDoubleMinExponent - kDoubleFractionBits) + (63 - zeros)};
  }
  uint64_t significand = (fraction | (uint64_t{1} << kDoubleFractionBits)) << kExtendedExtraBits;
  return {significand, biased - kDoubleBias};
}

ExtendedFloat RoundExtended(ExtendedFloat x) {
  if (IsExtendedZero(x) || IsExtendedInfinite(x)) return x;
  return RoundSignificand(x.significand, false, x.exponent);
}

double ExtendedToDouble(ExtendedFloat x) {
  if (IsExtendedZero(x)) return 0.0;
  if (x.exponent > kDoubleMaxExponent) return DoubleFromBits(kDoubleInfinityBits);
  if (x.exponent < kDoubleMinExponent) return DoubleFromBits(SubnormalBits(x));
  // A normal double: the 53 bits fit, only the hidden bit goes.
  uint64_t fraction = (x.significand >> kExtendedExtraBits) & kDoubleFractionMask;
  uint64_t biased = static_cast<uint64_t>(x.exponent + kDoubleBias);
  return DoubleFromBits((biased << kDoubleFractionBits) | fraction);
}

ExtendedFloat MultiplyExtended(ExtendedFloat a, ExtendedFloat b) {
  if (IsExtendedZero(a) || IsExtendedZero(b)) return kExtendedZero;
  if (IsExtendedInfinite(a) || IsExtendedInfinite(b)) return kExtendedInfinity;
  // Both significands lie in [2^63, 2^64), so the product lies in [2^126, 2^128).
  Uint128 product = MultiplyWide(a.significand, b.significand);
  int32_t exponent = a.exponent + b.exponent;
  if (product.high & kTopBit) {
    ++exponent;
  } else {
    product.high = (product.high << 1) | (product.low >> 63);
    product.low <<= 1;
  }
  return RoundWideSignificand(product, exponent);
}

ExtendedFloat DivideExtended(ExtendedFloat a, ExtendedFloat b) {
  assert(!IsExtendedZero(b) && !IsExtendedInfinite(b));
  if (IsExtendedZero(a) || IsExtendedInfinite(a)) return a;
  // A 64-bit quotient with bit 63 set: divide a's significand shifted up by 63
  // bits when it is at least b's, else by 64 bits (one binade lower).
  int32_t exponent = a.exponent - b.exponent;
  uint64_t high, low;
  if (a.significand >= b.significand) {
    high = a.significand >> 1;
    low = a.significand << 63;
  } else {
    high = a.significand;
    low = 0;
    --exponent;
  }
  uint64_t remainder;
  uint64_t quotient = DivideWide(high, low, b.significand, &remainder);
  return RoundSignificand(quotient, remainder != 0, exponent);
}

ExtendedFloat AddExtended(ExtendedFloat a, ExtendedFloat b) {
  if (ExtendedLess(a, b)) {
    ExtendedFloat larger = b;
    b = a;
    a = larger;
  }
  if (IsExtendedZero(b)) return RoundExtended(a);
  if (IsExtendedInfinite(a)) return a;
  // Line both up in 128 bits with a one-bit headroom for the carry: a at bits
  // 126..63, b shifted right by the exponent difference. Bits that fall off the
  // bottom lie far below the rounding position and only count as non-zero.
  const Uint128 alignedA = {a.significand >> 1, a.significand << 63};
  bool lost;
  Uint128 alignedB = ShiftRightSticky({b.significand >> 1, b.significand << 63},
                                      static_cast<uint32_t>(a.exponent - b.exponent), &lost);
  Uint128 sum = {alignedA.high + alignedB.high, alignedA.low + alignedB.low};
  if (sum.low < alignedA.low) ++sum.high;
  int32_t exponent = a.exponent;
  if (sum.high & kTopBit) {
    ++exponent;
  } else {
    sum.high = (sum.high << 1) | (sum.low >> 63);
    sum.low <<= 1;
  }
  return RoundSignificand(sum.high, sum.low != 0 || lost, exponent);
}

bool ExtendedLess(ExtendedFloat a, ExtendedFloat b) {
  if (IsExtendedZero(a) || IsExtendedZero(b)) return !IsExtendedZero(b) && IsExtendedZero(a);
  if (a.exponent != b.exponent) return a.exponent < b.exponent;
  return a.significand < b.significand;
}

uint64_t RoundExtendedToInteger(ExtendedFloat x) {
  assert(!IsExtendedInfinite(x) && x.exponent < 63);
  if (IsExtendedZero(x) || x.exponent < -1) return 0;  // below one half
  int shift = 63 - x.exponent;                           // 1 ... 64 fraction bits
  uint64_t integer = shift == 64 ? 0 : x.significand >> shift;
  uint64_t fraction = shift == 64 ? x.significand : x.significand & ((uint64_t{1} << shift) - 1);
  uint64_t half = uint64_t{1} << (shift - 1);
  if (fraction > half || (fraction == half && (integer & 1))) ++integer;
  return integer;
}
