// The arithmetic behind the number text, emulated with integers: values with the
// wide exponent range of the 80-bit extended format, every sum, product and
// quotient rounded to 53 significant bits (double precision), to nearest, ties to
// even. Doing it with integers gives the same bits on every compiler and CPU and
// never touches the caller's floating-point mode.
// Everything here is inline: a conversion runs a handful of these steps per value,
// and calls would cost as much as the arithmetic.
#pragma once

#include <cassert>
#include <cstdint>
#include <cstring>

#include "wide_integer.h"

// A non-negative value: significand * 2^(exponent - 63), with bit 63 of the
// significand set, so that 2^exponent <= value < 2^(exponent + 1).
// Results of arithmetic hold 53 significant bits (the low 11 bits are zero), fewer
// below kExtendedMinExponent; the power-of-ten tables hold all 64. Zero has a zero
// significand; infinity has the exponent kExtendedInfinityExponent.
struct ExtendedFloat {
  uint64_t significand;
  int32_t exponent;
};

// The 15-bit exponent range of the extended format (bias 16383).
constexpr int32_t kExtendedMaxExponent = 16383;
constexpr int32_t kExtendedMinExponent = -16382;
constexpr int32_t kExtendedInfinityExponent = kExtendedMaxExponent + 1;

// The significand bits below double precision: 64 - 53.
constexpr int kExtendedExtraBits = 11;
constexpr uint64_t kExtendedTopBit = uint64_t{1} << 63;

constexpr ExtendedFloat kExtendedZero = {0, 0};
constexpr ExtendedFloat kExtendedInfinity = {kExtendedTopBit, kExtendedInfinityExponent};

// The double's layout.
constexpr int kDoubleFractionBits = 52;
constexpr uint64_t kDoubleFractionMask = (uint64_t{1} << kDoubleFractionBits) - 1;
constexpr int kDoubleBias = 1023;
constexpr int kDoubleMaxExponent = 1023;
constexpr int kDoubleMinExponent = -1022;
constexpr uint64_t kDoubleSignBit = uint64_t{1} << 63;
constexpr uint64_t kDoubleInfinityBits = uint64_t{0x7FF} << kDoubleFractionBits;

inline bool IsExtendedZero(ExtendedFloat x) { return x.significand == 0; }
inline bool IsExtendedInfinite(ExtendedFloat x) { return x.exponent == kExtendedInfinityExponent; }

inline uint64_t BitsOfDouble(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

inline double DoubleFromBits(uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Rounds a value below the extended range: the rounding position stays where it is
// for the smallest normal value, so fewer bits remain (gradual underflow, as on the
// x87). Only a division of a tiny value by a huge power gets here.
inline ExtendedFloat RoundTinySignificand(uint64_t significand, bool sticky, int32_t exponent) {
  int32_t drop = kExtendedExtraBits + (kExtendedMinExponent - exponent);
  if (drop > 64) return kExtendedZero;  // below half the smallest step
  uint64_t kept = drop == 64 ? 0 : significand >> drop;
  uint64_t dropped = drop == 64 ? significand : significand & ((uint64_t{1} << drop) - 1);
  uint64_t half = uint64_t{1} << (drop - 1);
  if (dropped > half || (dropped == half && (sticky || (kept & 1)))) ++kept;
  if (kept == 0) return kExtendedZero;
  // kept * 2^(exponent - 63 + drop), normalised again.
  int zeros = CountLeadingZeros(kept);
  return {kept << zeros, exponent + drop - zeros};
}

// Rounds a value to 53 bits: significand is normalised (bit 63 set) and sticky
// says whether any non-zero bits lie below it. Ties go to even; a result past the
// extended range is infinity.
inline ExtendedFloat RoundSignificand(uint64_t significand, bool sticky, int32_t exponent) {
  assert(significand & kExtendedTopBit);
  if (exponent < kExtendedMinExponent) return RoundTinySignificand(significand, sticky, exponent);
  const uint64_t half = uint64_t{1} << (kExtendedExtraBits - 1);
  uint64_t kept = significand >> kExtendedExtraBits;
  uint64_t dropped = significand & ((uint64_t{1} << kExtendedExtraBits) - 1);
  if (dropped > half || (dropped == half && (sticky || (kept & 1)))) {
    ++kept;
    if (kept >> (64 - kExtendedExtraBits)) {  // carried out to 2^53
      kept >>= 1;
      ++exponent;
    }
  }
  if (exponent > kExtendedMaxExponent) return kExtendedInfinity;
  return {kept << kExtendedExtraBits, exponent};
}

// value rounded to 53 bits: ExtendedFromInteger(9007199254740993) -> 2^53.
inline ExtendedFloat ExtendedFromInteger(uint64_t value) {
  if (value == 0) return kExtendedZero;
  int zeros = CountLeadingZeros(value);
  return RoundSignificand(value << zeros, false, 63 - zeros);
}

// The magnitude of a finite double, exactly (subnormals are normalised).
inline ExtendedFloat ExtendedFromDouble(double value) {
  uint64_t bits = BitsOfDouble(value) & ~kDoubleSignBit;
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

// x rounded to 53 bits (a table value taken as the first factor of a product).
inline ExtendedFloat RoundExtended(ExtendedFloat x) {
  if (IsExtendedZero(x) || IsExtendedInfinite(x)) return x;
  return RoundSignificand(x.significand, false, x.exponent);
}

// The bits of a value below the smallest normal double: fraction * 2^-1074, the
// significand shifted down and rounded to nearest, ties to even. A carry into bit
// 52 gives the smallest normal's bits, as it should.
inline uint64_t SubnormalDoubleBits(ExtendedFloat x) {
  // value = significand * 2^(exponent - 63) = fraction * 2^-1074
  int shift = (63 + kDoubleMinExponent - kDoubleFractionBits) - x.exponent;  // >= 12
  if (shift > 64) return 0;  // below half the smallest subnormal
  uint64_t fraction = shift == 64 ? 0 : x.significand >> shift;
  uint64_t dropped = shift == 64 ? x.significand : x.significand & ((uint64_t{1} << shift) - 1);
  uint64_t half = uint64_t{1} << (shift - 1);
  if (dropped > half || (dropped == half && (fraction & 1))) ++fraction;
  return fraction;
}

// x as a double, as storing an extended value to memory does: rounded (again) to
// the double's precision, which is less than 53 bits for subnormal results; ties to
// even; infinity above the double range, zero below half its smallest subnormal.
inline double ExtendedToDouble(ExtendedFloat x) {
  if (IsExtendedZero(x)) return 0.0;
  if (x.exponent > kDoubleMaxExponent) return DoubleFromBits(kDoubleInfinityBits);
  if (x.exponent < kDoubleMinExponent) return DoubleFromBits(SubnormalDoubleBits(x));
  // A normal double: the 53 bits fit, only the hidden bit goes.
  uint64_t fraction = (x.significand >> kExtendedExtraBits) & kDoubleFractionMask;
  uint64_t biased = static_cast<uint64_t>(x.exponent + kDoubleBias);
  return DoubleFromBits((biased << kDoubleFractionBits) | fraction);
}

// a * b rounded to 53 bits; infinity beyond the extended range. Zero times
// infinity is never formed by the callers; it gives zero.
inline ExtendedFloat MultiplyExtended(ExtendedFloat a, ExtendedFloat b) {
  if (IsExtendedZero(a) || IsExtendedZero(b)) return kExtendedZero;
  if (IsExtendedInfinite(a) || IsExtendedInfinite(b)) return kExtendedInfinity;
  // Both significands lie in [2^63, 2^64), so the product lies in [2^126, 2^128).
  Uint128 product = MultiplyWide(a.significand, b.significand);
  int32_t exponent = a.exponent + b.exponent;
  if (product.high & kExtendedTopBit) {
    ++exponent;
  } else {
    product.high = (product.high << 1) | (product.low >> 63);
    product.low <<= 1;
  }
  return RoundSignificand(product.high, product.low != 0, exponent);
}

// a / b rounded to 53 bits, with the 128-by-64-bit step given as
// divide(high, low, divisor, &remainder). b must not be zero or infinite.
template <typename Divide>
inline ExtendedFloat DivideSignificands(ExtendedFloat a, ExtendedFloat b, Divide divide) {
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
  uint64_t quotient = divide(high, low, b.significand, &remainder);
  return RoundSignificand(quotient, remainder != 0, exponent);
}

// a / b rounded to 53 bits; b must not be zero or infinite.
inline ExtendedFloat DivideExtended(ExtendedFloat a, ExtendedFloat b) {
  return DivideSignificands(a, b, DivideWide);
}

// The same quotient, faster, for a divisor known in advance with its reciprocal
// (ReciprocalForDivision of its significand).
inline ExtendedFloat DivideExtendedPreinverted(ExtendedFloat a, ExtendedFloat b, uint64_t reciprocal) {
  return DivideSignificands(a, b, [reciprocal](uint64_t high, uint64_t low, uint64_t divisor, uint64_t* remainder) {
    return DivideWidePreinverted(high, low, divisor, reciprocal, remainder);
  });
}

// a < b, for finite values.
inline bool ExtendedLess(ExtendedFloat a, ExtendedFloat b) {
  if (IsExtendedZero(a) || IsExtendedZero(b)) return !IsExtendedZero(b) && IsExtendedZero(a);
  if (a.exponent != b.exponent) return a.exponent < b.exponent;
  return a.significand < b.significand;
}

// value >> distance; lost tells whether any non-zero bit was shifted out.
inline Uint128 ShiftRightSticky(Uint128 value, uint32_t distance, bool* lost) {
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

// a + b rounded to 53 bits; infinity beyond the extended range.
inline ExtendedFloat AddExtended(ExtendedFloat a, ExtendedFloat b) {
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
  if (sum.high & kExtendedTopBit) {
    ++exponent;
  } else {
    sum.high = (sum.high << 1) | (sum.low >> 63);
    sum.low <<= 1;
  }
  return RoundSignificand(sum.high, sum.low != 0 || lost, exponent);
}

// x rounded to an integer, ties to even; x must be finite and below 2^63.
inline uint64_t RoundExtendedToInteger(ExtendedFloat x) {
  assert(!IsExtendedInfinite(x) && x.exponent < 63);
  if (IsExtendedZero(x) || x.exponent < -1) return 0;  // below one half
  int shift = 63 - x.exponent;                           // 1 ... 64 fraction bits
  uint64_t integer = shift == 64 ? 0 : x.significand >> shift;
  uint64_t fraction = shift == 64 ? x.significand : x.significand & ((uint64_t{1} << shift) - 1);
  uint64_t half = uint64_t{1} << (shift - 1);
  if (fraction > half || (fraction == half && (integer & 1))) ++integer;
  return integer;
}
