// ScalePowerOfTen: the documented results, the limits of the tables, and every
// exponent against the x87 reference.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "extended_float.h"
#include "scale_power_of_ten.h"
#include "wide_integer.h"
#include "x87_reference.h"

namespace {

uint64_t Bits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

double Scale(double x, int32_t n) { return ExtendedToDouble(ScalePowerOfTen(ExtendedFromDouble(x), n)); }

TEST(ScalePowerOfTen, StoredResults) {
  struct ScaleCase {
    const char* label;
    double x;
    int32_t n;
    double result;
  };
  const ScaleCase cases[] = {
      {"1 / 10 is the double nearest 0.1 (a division)", 1, -1, 0.1},
      {"3 * 10^2", 3, 2, 300},
      {"10^22 is exact", 1, 22, 1e22},
      {"1 / 10^22 is correctly rounded", 1, -22, 1e-22},
      {"n = 0 leaves x", 0.1, 0, 0.1},
      {"10^-320 is the nearest subnormal", 1, -320, 1e-320},
      {"10^400 is infinite as a double", 1, 400, HUGE_VAL},
      {"10^-400 is zero as a double", 1, -400, 0},
      {"zero times a power stays zero", 0, 300, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Bits(Scale(c.x, c.n)), Bits(c.result)) << c.label;
}

TEST(ScalePowerOfTen, BeyondTheTables) {
  struct LimitCase {
    const char* label;
    double x;
    int32_t n;
    bool infinite;
    bool zero;
  };
  const LimitCase cases[] = {
      {"10^4863 stays finite in the extended range", 1, 4863, false, false},
      {"10^-4863 stays non-zero in the extended range", 1, -4863, false, false},
      {"n = 4864 gives infinity", 1, 4864, true, false},
      {"n = -4864 gives zero", DBL_MAX, -4864, false, true},
      {"n = 8192 gives infinity", 0x1p-1074, 8192, true, false},
      {"the largest n gives infinity", 1, INT32_MAX, true, false},
      {"the most negative n gives zero", 1, INT32_MIN, false, true},
      {"zero stays zero at any n", 0, INT32_MAX, false, true},
  };
  for (const auto& c : cases) {
    ExtendedFloat result = ScalePowerOfTen(ExtendedFromDouble(c.x), c.n);
    EXPECT_EQ(IsExtendedInfinite(result), c.infinite) << c.label;
    EXPECT_EQ(IsExtendedZero(result), c.zero) << c.label;
  }
  // 10^4863 = 2^16154.6...; 10^-4863 = 2^-16154.6...
  EXPECT_EQ(ScalePowerOfTen(ExtendedFromDouble(1), 4863).exponent, 16154);
  EXPECT_EQ(ScalePowerOfTen(ExtendedFromDouble(1), -4863).exponent, -16155);
}

TEST(ScalePowerOfTen, IntermediatesBeyondTheDoubleRangeAreKept) {
  ExtendedFloat huge = ScalePowerOfTen(ExtendedFromDouble(1e300), 300);
  EXPECT_FALSE(IsExtendedInfinite(huge));
  EXPECT_NEAR(ExtendedToDouble(ScalePowerOfTen(huge, -300)), 1e300, 1e285);
  ExtendedFloat tiny = ScalePowerOfTen(ExtendedFromDouble(1e-300), -300);
  EXPECT_FALSE(IsExtendedZero(tiny));
  EXPECT_NEAR(ExtendedToDouble(ScalePowerOfTen(tiny, 300)), 1e-300, 1e-315);
}

#if QUORVEL_HAVE_X87_REFERENCE

// The long double as ExtendedFloat holds it: denormals normalised, zero and infinity.
ExtendedFloat FromLongDouble(long double value) {
  unsigned char bytes[sizeof(long double)];
  std::memcpy(bytes, &value, sizeof bytes);
  uint64_t significand;
  uint16_t biased;
  std::memcpy(&significand, bytes, 8);
  std::memcpy(&biased, bytes + 8, 2);
  if (significand == 0) return kExtendedZero;
  int32_t exponent = biased & 0x7FFF;
  if (exponent == 0x7FFF) return kExtendedInfinity;
  if (exponent == 0) {  // a denormal: significand * 2^(-16382 - 63)
    int zeros = CountLeadingZeros(significand);
    return {significand << zeros, kExtendedMinExponent - zeros};
  }
  return {significand, exponent - 16383};
}

TEST(ScalePowerOfTen, EveryExponentMatchesTheX87Reference) {
  X87DoublePrecision precision;
  // Doubles the formatter passes and integers the parser accumulates.
  const double values[] = {1, 7, 0.1, 123456, 9007199254740991, 4503599627370497,
                           0x1.23456789abcdep-1074 * 0x1p52, 0x1p-1074, DBL_MAX, 1.2345678901234567e-300};
  for (double x : values) {
    for (int32_t n = -5000; n <= 5000; ++n) {
      ExtendedFloat actual = ScalePowerOfTen(ExtendedFromDouble(x), n);
      ExtendedFloat expected = FromLongDouble(ReferenceScalePowerOfTen(x, n));
      ASSERT_EQ(actual.significand, expected.significand) << std::hexfloat << x << " * 10^" << n;
      if (!IsExtendedZero(actual)) {
        ASSERT_EQ(actual.exponent, expected.exponent) << std::hexfloat << x << " * 10^" << n;
      }
    }
  }
}

#else

TEST(ScalePowerOfTen, EveryExponentMatchesTheX87Reference) { GTEST_SKIP() << "no x87 unit for the reference"; }

#endif

}  // namespace
