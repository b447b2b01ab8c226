// The plain 128-bit steps against the compiler's native ones, so that a compiler
// without a 128-bit integer gets the same bits.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "wide_integer.h"

namespace {

constexpr uint64_t kMax = ~uint64_t{0};

struct WidePair {
  const char* label;
  uint64_t a;
  uint64_t b;
};

const WidePair kEdgePairs[] = {
    {"zeros", 0, 0},
    {"one", 1, kMax},
    {"largest operands", kMax, kMax},
    {"top bits", uint64_t{1} << 63, uint64_t{1} << 63},
    {"middle column carries", 0xFFFFFFFF00000000u, 0x00000000FFFFFFFFu},
    {"both halves full", 0xFFFFFFFFFFFFFFFEu, 0xFFFFFFFF00000001u},
};

#if defined(__SIZEOF_INT128__)

NativeUint128 Native(uint64_t high, uint64_t low) {
  return (static_cast<NativeUint128>(high) << 64) | low;
}

void ExpectPortableProduct(uint64_t a, uint64_t b, const char* label) {
  Uint128 product = MultiplyWidePortable(a, b);
  EXPECT_EQ(Native(product.high, product.low), static_cast<NativeUint128>(a) * b) << label << " " << a << " " << b;
}

// high < divisor is the contract of the division.
void ExpectPortableQuotient(uint64_t high, uint64_t low, uint64_t divisor, const char* label) {
  uint64_t remainder = 0;
  uint64_t quotient = DivideWidePortable(high, low, divisor, &remainder);
  NativeUint128 dividend = Native(high, low);
  EXPECT_EQ(quotient, static_cast<uint64_t>(dividend / divisor)) << label << " " << high << ":" << low << " / " << divisor;
  EXPECT_EQ(remainder, static_cast<uint64_t>(dividend % divisor)) << label;
}

TEST(WideInteger, PortableProductEdges) {
  for (const auto& pair : kEdgePairs) ExpectPortableProduct(pair.a, pair.b, pair.label);
}

TEST(WideInteger, PortableQuotientEdges) {
  struct DivisionCase {
    const char* label;
    uint64_t high, low, divisor;
  };
  const DivisionCase cases[] = {
      {"divisor one", 0, kMax, 1},
      {"largest quotient", kMax - 1, kMax, kMax},
      {"normalised divisor", (uint64_t{1} << 63) - 1, kMax, uint64_t{1} << 63},
      {"small divisor", 2, 12345, 3},
      {"first digit estimate too large", 0x7FFFFFFF00000000u, 0, 0x8000000000000001u},
      {"divisor with a short top half", 0x1234, 0x5678, 0x100000001u},
      {"exact quotient", 0, 0x1FFFFFFFFFFFFFFEu, 0x0FFFFFFFFFFFFFFFu},
  };
  for (const auto& c : cases) ExpectPortableQuotient(c.high, c.low, c.divisor, c.label);
}

TEST(WideInteger, PortableStepsMatchNativeOnRandomOperands) {
  std::mt19937_64 random(20261208);
  for (int i = 0; i < 1000000; ++i) {
    // Vary the magnitudes so that short and long operands both occur.
    uint64_t a = random() >> (random() % 64);
    uint64_t b = random() >> (random() % 64);
    ExpectPortableProduct(a, b, "random");
    if (b == 0) continue;
    uint64_t high = a % b;
    ExpectPortableQuotient(high, random(), b, "random");
    if (HasFailure()) return;
  }
}

TEST(WideInteger, DivisionUsedByTheProductMatchesNative) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 100000; ++i) {
    uint64_t divisor = random() | (uint64_t{1} << 63);
    uint64_t high = random() % divisor, low = random(), remainder;
    uint64_t quotient = DivideWide(high, low, divisor, &remainder);
    ASSERT_EQ(quotient, static_cast<uint64_t>(Native(high, low) / divisor));
    ASSERT_EQ(remainder, static_cast<uint64_t>(Native(high, low) % divisor));
  }
}

TEST(WideInteger, PreinvertedDivisionMatchesNative) {
  std::mt19937_64 random(11);
  const uint64_t edgeDivisors[] = {uint64_t{1} << 63, kMax, (uint64_t{1} << 63) + 1, 0xA000000000000000u};
  for (int i = 0; i < 1000000; ++i) {
    uint64_t divisor = i < 4000 ? edgeDivisors[i % 4] : random() | (uint64_t{1} << 63);
    uint64_t reciprocal = ReciprocalForDivision(divisor);
    ASSERT_EQ(reciprocal, static_cast<uint64_t>(~NativeUint128{0} / divisor)) << divisor;
    // Dividends across the whole range, the extremes included.
    uint64_t high = i % 3 == 0 ? divisor - 1 : random() % divisor;
    uint64_t low = i % 5 == 0 ? kMax : i % 7 == 0 ? 0 : random();
    uint64_t remainder;
    uint64_t quotient = DivideWidePreinverted(high, low, divisor, reciprocal, &remainder);
    ASSERT_EQ(quotient, static_cast<uint64_t>(Native(high, low) / divisor)) << high << ":" << low << " / " << divisor;
    ASSERT_EQ(remainder, static_cast<uint64_t>(Native(high, low) % divisor));
  }
}

#else

TEST(WideInteger, PortableStepsMatchNativeOnRandomOperands) {
  GTEST_SKIP() << "this compiler has no native 128-bit integer to compare with";
}

#endif

TEST(WideInteger, CountLeadingZeros) {
  EXPECT_EQ(CountLeadingZeros(1), 63);
  EXPECT_EQ(CountLeadingZeros(kMax), 0);
  EXPECT_EQ(CountLeadingZeros(uint64_t{1} << 52), 11);
}

}  // namespace
