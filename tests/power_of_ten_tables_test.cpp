// Every entry of the generated tables, derived again with big-integer arithmetic.
#include <gtest/gtest.h>

#include "exact_powers_of_ten.h"
#include "power_of_ten_tables.h"
#include "wide_integer.h"

namespace {

void ExpectTable(const ExtendedFloat* table, int count, int step) {
  for (int i = 0; i < count; ++i) {
    int k = step * (i + 1);
    RoundedPower expected = RoundedPowerOfTen(k);
    EXPECT_EQ(table[i].significand, expected.significand) << "10^" << k;
    EXPECT_EQ(table[i].exponent, expected.exponent) << "10^" << k;
  }
}

TEST(PowerOfTenTables, UnitsHold10To1Through15) { ExpectTable(kPowersOfTenBy1, 15, 1); }
TEST(PowerOfTenTables, SixteensHold10To16Through240) { ExpectTable(kPowersOfTenBy16, 15, 16); }
TEST(PowerOfTenTables, MultiplesHold10To256Through4608) { ExpectTable(kPowersOfTenBy256, 18, 256); }

TEST(PowerOfTenTables, ReciprocalsBelongToTheirPowers) {
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(kReciprocalsOfPowersOfTenBy1[i], ReciprocalForDivision(kPowersOfTenBy1[i].significand)) << "10^" << i + 1;
  }
}

// The big-integer derivation itself, where 10^k fits 64 bits or needs one rounding.
TEST(PowerOfTenTables, DerivationIsExactWhereThePowerFits) {
  uint64_t power = 1;
  for (int k = 0; k <= 19; ++k) {
    RoundedPower p = RoundedPowerOfTen(k);
    int bits = 64 - CountLeadingZeros(power);
    EXPECT_EQ(p.exponent, bits - 1) << "10^" << k;
    EXPECT_EQ(p.significand, power << (64 - bits)) << "10^" << k;
    if (k < 19) power *= 10;
  }
  // 10^20 = 0x56BC75E2D63100000: 67 bits whose lowest three are zero.
  EXPECT_EQ(RoundedPowerOfTen(20).significand, 0xAD78EBC5AC620000u);
  EXPECT_EQ(RoundedPowerOfTen(20).exponent, 66);
  // 10^28 = 0x204FCE5E3E25026110000000 = 5^28 * 2^28: 5^28 has 66 bits, and its
  // last two (01) are rounded off, downward.
  EXPECT_EQ(RoundedPowerOfTen(28).significand, 0x813F3978F8940984u);
  EXPECT_EQ(RoundedPowerOfTen(28).exponent, 93);
}

}  // namespace
