// The integer-emulated arithmetic: rounding to 53 bits with ties to even, the wide
// exponent range, and the store to double with its second rounding for subnormals.
// Within the double range the hardware's own double arithmetic (round to nearest,
// the default everywhere) is an exact reference for products, quotients and sums.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "extended_float.h"
#include "wide_integer.h"

namespace {

constexpr uint64_t kTop = uint64_t{1} << 63;

uint64_t Bits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

double FromBits(uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

ExtendedFloat X(double value) { return ExtendedFromDouble(value); }
double D(ExtendedFloat value) { return ExtendedToDouble(value); }

// integer * 2^power, for an integer below 2^53.
ExtendedFloat Scaled(uint64_t integer, int32_t power) {
  ExtendedFloat value = ExtendedFromInteger(integer);
  value.exponent += power;
  return value;
}

struct BinaryCase {
  const char* label;
  double a;
  double b;
  double result;
};

TEST(MultiplyExtended, RoundsToNearestWithTiesToEven) {
  const BinaryCase cases[] = {
      {"exact", 3, 7, 21},
      {"tie rounds up to even", 0x1.0000000000001p0, 0x1.8p0, 0x1.8000000000002p0},
      {"tie rounds down to even", 0x1.0000000000003p0, 0x1.8p0, 0x1.8000000000004p0},
      {"just above a tie rounds up", 0x1.0000000000001p0, 0x1.8000000000001p0, 0x1.8000000000003p0},
      {"a tiny excess is dropped", 0x1.fffffffffffffp0, 0x1.fffffffffffffp0, 0x1.ffffffffffffep1},
      {"carry into the next binade", 0x1.fffffffffffffp0, 0x1.0000000000001p0, 0x1p1},
      {"zero", 0, 5, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Bits(D(MultiplyExtended(X(c.a), X(c.b)))), Bits(c.result)) << c.label;
  }
}

TEST(DivideExtended, RoundsToNearest) {
  const BinaryCase cases[] = {
      {"one tenth is the double nearest 0.1", 1, 10, 0.1},
      {"exact", 21, 7, 3},
      {"two thirds", 2, 3, 2.0 / 3.0},
      {"quotient below one", 1, 0x1.fffffffffffffp0, 0x1.0000000000001p-1},
      {"zero dividend", 0, 3, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Bits(D(DivideExtended(X(c.a), X(c.b)))), Bits(c.result)) << c.label;
  }
}

TEST(AddExtended, RoundsTheExactSum) {
  const BinaryCase cases[] = {
      {"2^53 + 1 is a tie and stays even", 0x1p53, 1, 0x1p53},
      {"2^53 + 3 is a tie and rounds up to even", 0x1p53, 3, 0x1p53 + 4},
      {"a digit below half an ulp vanishes", 0x1p60, 9, 0x1p60},
      {"exact", 0x1p52, 7, 0x1p52 + 7},
      {"carry into the next binade", 0x1.fffffffffffffp52, 1, 0x1p53},
      {"operands in either order", 1, 0x1p53 + 2, 0x1p53 + 4},
      {"a tie with an odd last bit rounds up to even", 0x1.0000000000001p0, 0x1p-53, 0x1.0000000000002p0},
      {"a bit far below breaks the tie", 1, 0x1.0000000000001p-53, 0x1.0000000000001p0},
      {"far apart beyond 128 bits", 1, 0x1p-300, 1},
      {"zero", 0, 0x1p-1074, 0x1p-1074},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Bits(D(AddExtended(X(c.a), X(c.b)))), Bits(c.result)) << c.label;
  }
}

// Random operands whose results stay within the normal double range, where the
// hardware rounds exactly as the emulation must.
double RandomDouble(std::mt19937_64& random, int minExponent, int maxExponent) {
  uint64_t fraction = random() & ((uint64_t{1} << 52) - 1);
  uint64_t exponent = static_cast<uint64_t>(minExponent + static_cast<int>(random() % (maxExponent - minExponent + 1)) + 1023);
  return FromBits((exponent << 52) | fraction);
}

TEST(ExtendedArithmetic, MatchesHardwareDoublesOnRandomOperands) {
  std::mt19937_64 random(12345);
  for (int i = 0; i < 1000000; ++i) {
    double a = RandomDouble(random, -400, 400);
    double b = RandomDouble(random, -400, 400);
    double c = RandomDouble(random, -400, 400);
    // Sums over every distance of exponents, including none at all.
    double d = i % 4 == 0 ? a : RandomDouble(random, -200, 200);
    ASSERT_EQ(Bits(D(MultiplyExtended(X(a), X(b)))), Bits(a * b)) << std::hexfloat << a << " * " << b;
    ASSERT_EQ(Bits(D(DivideExtended(X(a), X(b)))), Bits(a / b)) << std::hexfloat << a << " / " << b;
    ASSERT_EQ(Bits(D(AddExtended(X(c), X(d)))), Bits(c + d)) << std::hexfloat << c << " + " << d;
  }
}

TEST(DivideExtended, PreinvertedDivisionGivesTheSameBits) {
  std::mt19937_64 random(99);
  for (int i = 0; i < 100000; ++i) {
    ExtendedFloat divisor = X(RandomDouble(random, -60, 60));
    ExtendedFloat dividend = i % 2 ? X(RandomDouble(random, -60, 60)) : divisor;
    uint64_t reciprocal = ReciprocalForDivision(divisor.significand);
    ExtendedFloat expected = DivideExtended(dividend, divisor);
    ExtendedFloat actual = DivideExtendedPreinverted(dividend, divisor, reciprocal);
    ASSERT_EQ(actual.significand, expected.significand);
    ASSERT_EQ(actual.exponent, expected.exponent);
  }
}

TEST(ExtendedArithmetic, ExponentRangeIsWiderThanDouble) {
  ExtendedFloat huge = MultiplyExtended(X(DBL_MAX), X(DBL_MAX));
  EXPECT_FALSE(IsExtendedInfinite(huge));
  EXPECT_EQ(Bits(D(DivideExtended(huge, X(DBL_MAX)))), Bits(DBL_MAX));
  ExtendedFloat tiny = DivideExtended(X(0x1p-1074), X(DBL_MAX));
  EXPECT_FALSE(IsExtendedZero(tiny));
  EXPECT_EQ(tiny.exponent, -1074 - 1024);
}

TEST(ExtendedArithmetic, OverflowsToInfinityPastTheExtendedRange) {
  const ExtendedFloat largest = Scaled((uint64_t{1} << 53) - 1, kExtendedMaxExponent - 52);
  struct OverflowCase {
    const char* label;
    ExtendedFloat a, b;
    bool infinite;
  };
  const OverflowCase cases[] = {
      {"2^8191 * 2^8192 is the largest binade", {kTop, 8191}, {kTop, 8192}, false},
      {"2^8192 * 2^8192 is past it", {kTop, 8192}, {kTop, 8192}, true},
      {"rounding up carries past the largest value", largest, Scaled((uint64_t{1} << 52) + 1, -52), true},
      {"the largest value times one stays", largest, {kTop, 0}, false},
      {"infinity stays infinite", kExtendedInfinity, {kTop, -100}, true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsExtendedInfinite(MultiplyExtended(c.a, c.b)), c.infinite) << c.label;
  EXPECT_TRUE(IsExtendedInfinite(AddExtended(kExtendedInfinity, X(1))));
  EXPECT_TRUE(IsExtendedInfinite(DivideExtended(kExtendedInfinity, X(10))));
}

// Below 2^-16382 the rounding position stays put: 2^-16434 is the smallest step.
TEST(ExtendedArithmetic, GradualUnderflowBelowTheExtendedRange) {
  const ExtendedFloat smallestNormal = Scaled(1, kExtendedMinExponent);
  struct UnderflowCase {
    const char* label;
    ExtendedFloat factor;
    ExtendedFloat result;
  };
  const UnderflowCase cases[] = {
      {"half the smallest normal is kept", Scaled(1, -1), Scaled(1, kExtendedMinExponent - 1)},
      {"the smallest step", Scaled(1, -52), Scaled(1, kExtendedMinExponent - 52)},
      {"half the smallest step is a tie that goes to zero", Scaled(1, -53), kExtendedZero},
      {"three halves of the smallest step go to two", Scaled(3, -53), Scaled(1, kExtendedMinExponent - 51)},
      {"a bit below the step is rounded off at the step", Scaled((uint64_t{1} << 52) + 1, -53),
       Scaled(1, kExtendedMinExponent - 1)},
  };
  for (const auto& c : cases) {
    ExtendedFloat product = MultiplyExtended(smallestNormal, c.factor);
    EXPECT_EQ(product.significand, c.result.significand) << c.label;
    if (!IsExtendedZero(product)) {
      EXPECT_EQ(product.exponent, c.result.exponent) << c.label;
    }
  }
}

TEST(ExtendedToDouble, StoresLikeTheFloatingPointUnit) {
  struct StoreCase {
    const char* label;
    ExtendedFloat value;
    double result;
  };
  const StoreCase cases[] = {
      {"zero", kExtendedZero, 0},
      {"smallest normal", {kTop, -1022}, 0x1p-1022},
      {"largest double", Scaled((uint64_t{1} << 53) - 1, 971), DBL_MAX},
      {"2^1024 is infinity", {kTop, 1024}, HUGE_VAL},
      {"infinity", kExtendedInfinity, HUGE_VAL},
      {"a subnormal keeps its bits", Scaled(12345, -1074), 12345 * 0x1p-1074},
      {"half the smallest subnormal is a tie and goes to zero", Scaled(1, -1075), 0},
      {"just above half rounds up to the smallest subnormal", Scaled((uint64_t{1} << 52) + 1, -1075 - 52), 0x1p-1074},
      {"just below half rounds to zero", Scaled((uint64_t{1} << 53) - 1, -1076 - 52), 0},
      {"one and a half subnormals are a tie that goes to two", Scaled(3, -1075), 0x1p-1073},
      {"two and a half go to two", Scaled(5, -1075), 0x1p-1073},
      {"rounding carries into the smallest normal", Scaled((uint64_t{1} << 53) - 1, -1075), 0x1p-1022},
  };
  for (const auto& c : cases) EXPECT_EQ(Bits(D(c.value)), Bits(c.result)) << c.label;
}

TEST(ExtendedConversions, IntegersAndDoubles) {
  EXPECT_EQ(Bits(D(ExtendedFromInteger(9007199254740993u))), Bits(0x1p53)) << "2^53 + 1, a tie, goes to even";
  EXPECT_EQ(Bits(D(ExtendedFromInteger(9007199254740995u))), Bits(0x1p53 + 4)) << "2^53 + 3 goes to even";
  EXPECT_EQ(Bits(D(ExtendedFromInteger(~uint64_t{0}))), Bits(0x1p64)) << "rounds up into 2^64";
  EXPECT_TRUE(IsExtendedZero(ExtendedFromInteger(0)));
  ExtendedFloat smallest = ExtendedFromDouble(0x1p-1074);
  EXPECT_EQ(smallest.significand, kTop) << "subnormals are normalised";
  EXPECT_EQ(smallest.exponent, -1074);
  EXPECT_EQ(Bits(D(ExtendedFromDouble(-2.5))), Bits(2.5)) << "the magnitude";
}

TEST(RoundExtendedToInteger, TiesGoToEven) {
  struct RoundCase {
    const char* label;
    double value;
    uint64_t integer;
  };
  const RoundCase cases[] = {
      {"0.5 goes down to 0", 0.5, 0},
      {"just above 0.5", 0x1.0000000000001p-1, 1},
      {"below one half", 0.49999999999999994, 0},
      {"tiny", 0x1p-100, 0},
      {"1.5 goes up to 2", 1.5, 2},
      {"2.5 goes down to 2", 2.5, 2},
      {"3.5 goes up to 4", 3.5, 4},
      {"1234567.5 goes to 1234568", 1234567.5, 1234568},
      {"8388607.5 goes to 8388608", 8388607.5, 8388608},
      {"9999999.5 goes to 10^7", 9999999.5, 10000000},
      {"integer", 4503599627370495, 4503599627370495},
      {"zero", 0, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundExtendedToInteger(X(c.value)), c.integer) << c.label;
}

TEST(ExtendedLess, OrdersValues) {
  EXPECT_TRUE(ExtendedLess(X(0), X(0x1p-1074)));
  EXPECT_FALSE(ExtendedLess(X(0), X(0)));
  EXPECT_TRUE(ExtendedLess(X(999999.99999999988), X(1000000)));
  EXPECT_FALSE(ExtendedLess(X(1000000), X(1000000)));
  EXPECT_TRUE(ExtendedLess(X(1.5), X(2)));
  EXPECT_FALSE(ExtendedLess(X(3), X(2)));
}

}  // namespace
