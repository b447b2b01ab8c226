// FormatNumber: the documented texts, the boundaries between integer, fixed and
// scientific notation, and a differential sweep against the x87 reference.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <random>
#include <string>

#include "number_format.h"
#include "x87_reference.h"

namespace {

struct FormatCase {
  const char* label;
  double value;
  const char* text;
};

std::string Format(double value) {
  char out[kNumberTextSize];
  std::memset(out, 'x', sizeof out);
  FormatNumber(value, out);
  EXPECT_NE(std::memchr(out, '\0', sizeof out), nullptr) << "no NUL within kNumberTextSize";
  return out;
}

void ExpectTexts(const FormatCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) EXPECT_EQ(Format(cases[i].value), cases[i].text) << cases[i].label;
}

// Single-precision values as the editor shows them (widened to double), unless the
// row says double.
TEST(FormatNumber, DocumentedExamples) {
  const FormatCase cases[] = {
      {"zero", 0.0f, "0"},
      {"integer", 12.0f, "12"},
      {"negative integer", -3.0f, "-3"},
      {"half", 0.5f, "0.5"},
      {"1.1 stored as 1.10000002", 1.1f, "1.1"},
      {"short decimal", 123.456f, "123.456"},
      {"seventh digit rounds up", 1234567.5f, "1234568"},
      {"tie at the seventh digit goes to even", 8388607.5f, "8388608"},
      {"one tenth", 0.1f, "0.1"},
      {"below one tenth is scientific", 0.05f, "5.000000e-002"},
      {"0.01 stored as 0.0099999998", 0.01f, "1.000000e-002"},
      {"1.5e-5", 1.5e-5f, "1.500000e-005"},
      {"0.0001 stored as 0.000099999997", 0.0001f, "1.000000e-004"},
      {"ten billion", 1e10f, "10000000000"},
      {"largest single below 2^52", 4503599358935040.0f, "4503599358935040"},
      {"2^52 is scientific", 4503599627370496.0f, "4.503600e+015"},
      {"10^16 stored as 10000000272564224", 1e16f, "1.000000e+016"},
      {"double rounded to seven digits", 12345678.5, "1.234568e+007"},
  };
  ExpectTexts(cases, std::size(cases));
}

TEST(FormatNumber, NotationBoundaries) {
  const FormatCase cases[] = {
      {"single just below 0.1", 0.099999994f, "9.999999e-002"},
      {"single 0.1", 0.1f, "0.1"},
      {"seven nines stay fixed", 9999999.0f, "9999999"},
      {"double 9999999.5 rounds to ten million", 9999999.5, "1.000000e+007"},
      {"ten million is an integer", 10000000.0f, "10000000"},
      {"double rounding up into the next power of ten", 0.99999997, "1"},
      {"one", 1.0f, "1"},
      {"estimate one too high", 9.5f, "9.5"},
      {"seven digits with the point last", 1234567.25f, "1234567"},
      {"2^52 - 1 is the largest exact integer", 4503599627370495.0, "4503599627370495"},
      {"the longest text", -4503599627370495.0, "-4503599627370495"},
      {"2^53", 9007199254740992.0, "9.007199e+015"},
      {"fraction just below 2^52", 4503599627370495.5, "4.503600e+015"},
      {"double 0.1", 0.1, "0.1"},
      {"small fraction", 0.125, "0.125"},
  };
  ExpectTexts(cases, std::size(cases));
}

TEST(FormatNumber, TrailingZerosOnlyInFixedNotation) {
  const FormatCase cases[] = {
      {"fixed trims", 2.5f, "2.5"},
      {"scientific keeps them", 2.5e-3f, "2.500000e-003"},
      {"a whole value rounded from a fraction loses the point", 2.0000001f, "2"},
      {"zeros before the point stay", 1000000.1f, "1000000"},
      {"negative fixed", -0.5f, "-0.5"},
      {"negative scientific", -1.5e-5f, "-1.500000e-005"},
  };
  ExpectTexts(cases, std::size(cases));
}

TEST(FormatNumber, ExtremesAndSpecialValues) {
  const FormatCase cases[] = {
      {"negative zero", -0.0, "0"},
      {"smallest positive double", 0x1p-1074, "4.940656e-324"},
      {"largest double", DBL_MAX, "1.797693e+308"},
      {"smallest normal double", DBL_MIN, "2.225074e-308"},
      {"largest single", FLT_MAX, "3.402823e+038"},
      {"smallest single", 0x1p-149f, "1.401298e-045"},
      {"infinity", HUGE_VAL, "inf"},
      {"negative infinity", -HUGE_VAL, "-inf"},
      {"NaN", std::nan(""), "nan"},
      {"negative NaN", -std::nan(""), "nan"},
  };
  ExpectTexts(cases, std::size(cases));
}

#if QUORVEL_HAVE_X87_REFERENCE

// Formats count values drawn by next and compares each text with the reference;
// reports the first few differences in hexfloat.
template <typename Draw>
void SweepAgainstReference(uint64_t count, Draw next) {
  X87DoublePrecision precision;
  uint64_t mismatches = 0;
  char actual[kNumberTextSize];
  char expected[32];
  for (uint64_t i = 0; i < count; ++i) {
    double value = next();
    FormatNumber(value, actual);
    ReferenceFormatNumber(value, expected);
    if (std::strcmp(actual, expected) != 0 && ++mismatches <= 10) {
      ADD_FAILURE() << std::hexfloat << value << ": \"" << actual << "\", reference \"" << expected << "\"";
    }
  }
  EXPECT_EQ(mismatches, 0u) << "of " << count;
}

TEST(FormatNumberSweep, TenMillionRandomSinglesMatchTheX87Reference) {
  std::mt19937 random(1);
  SweepAgainstReference(10000000, [&] {
    uint32_t bits = static_cast<uint32_t>(random());
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return static_cast<double>(value);
  });
}

TEST(FormatNumberSweep, OneMillionRandomDoublesMatchTheX87Reference) {
  std::mt19937_64 random(2);
  SweepAgainstReference(1000000, [&] {
    uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  });
}

// Doubles of the magnitudes the fields show most (10^-6 ... 10^17), where every
// notation and the integer case meet.
TEST(FormatNumberSweep, OneMillionFieldSizedDoublesMatchTheX87Reference) {
  std::mt19937_64 random(3);
  SweepAgainstReference(1000000, [&] {
    uint64_t fraction = random() >> 12;
    uint64_t exponent = 1023 - 20 + random() % 77;
    // Every fourth value keeps only a few significant bits: integers, halves.
    if (random() % 4 == 0) fraction &= ~uint64_t{0} << (random() % 53);
    uint64_t bits = (exponent << 52) | fraction | ((random() & 1) << 63);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  });
}

#else

TEST(FormatNumberSweep, TenMillionRandomSinglesMatchTheX87Reference) {
  GTEST_SKIP() << "no x87 unit for the reference";
}

#endif

}  // namespace
