// ParseNumber: the documented texts, where reading stops, what is left unwritten,
// the decisions on special texts and huge exponents, and a differential sweep over
// random texts of the grammar against the x87 reference.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <random>
#include <string>

#include "number_parse.h"
#include "x87_reference.h"

namespace {

uint64_t Bits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

struct ParseCase {
  const char* label;
  const char* text;
  double value;
  size_t stop;  // characters consumed
};

// Compares bits, so that -0 and 0 differ.
void ExpectParses(const ParseCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const ParseCase& c = cases[i];
    double value = 42;
    const char* stop = ParseNumber(c.text, &value);
    EXPECT_EQ(Bits(value), Bits(c.value)) << c.label << ": got " << value;
    EXPECT_EQ(static_cast<size_t>(stop - c.text), c.stop) << c.label;
  }
}

TEST(ParseNumber, DocumentedExamples) {
  const ParseCase cases[] = {
      {"integer", "12", 12, 2},
      {"negative decimal", "-1.5", -1.5, 4},
      {"plus sign and leading point", "+.5", 0.5, 3},
      {"trailing point", "5.", 5, 2},
      {"the last point counts", "1.2.3", 12.3, 5},
      {"negative exponent", "2.5e-3", 0.0025, 6},
      {"capital E", "3E2", 300, 3},
      {"E with nothing after it", "7e", 7, 2},
      {"stray text after the number", "12abc", 12, 2},
      {"no digits", "abc", 0, 0},
      {"a leading space ends the number at once", " 5", 0, 0},
      {"a sign without digits is negative zero", "-abc", -0.0, 1},
      {"a second sign ends the number", "+-5", 0, 1},
      {"two minus signs", "--5", -0.0, 1},
  };
  ExpectParses(cases, std::size(cases));
}

TEST(ParseNumber, RoundingAndRange) {
  const ParseCase cases[] = {
      {"0.1 is the double nearest 0.1", "0.1", 0.1, 3},
      {"1e400 overflows to infinity", "1e400", HUGE_VAL, 5},
      {"-1e400 to negative infinity", "-1e400", -HUGE_VAL, 6},
      {"1e-400 underflows to zero", "1e-400", 0, 6},
      {"1e-320 is the nearest subnormal", "1e-320", 1e-320, 6},
      {"zero mantissa with a huge exponent", "0e4700", 0, 6},
      {"2^53 + 1 rounds to even", "9007199254740993", 9007199254740992.0, 16},
      {"2^53 + 3 rounds to even", "9007199254740995", 9007199254740996.0, 16},
      {"2^54 + 5 rounds down", "18014398509481989", 18014398509481988.0, 17},
      // Rounded at every step: one ulp below the correctly rounded 0x1.8ee90ff6c373ep+96.
      {"thirty digits accumulate with rounding", "123456789012345678901234567890", 0x1.8ee90ff6c373dp+96, 30},
      {"leading zeros", "000000000000000000000000012", 12, 27},
      {"many digits behind the point", "0.000000000000000000000000000000012345", 1.2345e-32, 38},
      {"digits behind the point and a negative exponent", "123.456e-5", 0.00123456, 10},
      {"the largest double", "1.7976931348623157e308", 1.7976931348623157e308, 22},
      {"negative zero", "-0", -0.0, 2},
      {"point alone", ".", 0, 1},
  };
  ExpectParses(cases, std::size(cases));
}

TEST(ParseNumber, WhereReadingStops) {
  const ParseCase cases[] = {
      {"exponent sign without digits", "5e+", 5, 3},
      {"exponent letter then junk", "5ex", 5, 2},
      {"a second exponent letter", "1e2e3", 100, 3},
      {"a point in the exponent", "1e2.5", 100, 3},
      {"exponent without mantissa digits", "e5", 0, 2},
      {"space inside the number", "1 2", 1, 1},
      {"comma is no point", "1,5", 1, 1},
      {"non-ASCII byte", "7\xB1", 7, 1},
  };
  ExpectParses(cases, std::size(cases));
}

// Infinity and NaN print as "inf", "-inf" and "nan"; reading them back gives zero,
// like any text without digits. Exponents too long for 32 bits count with their
// full size instead of wrapping around.
TEST(ParseNumber, SpecialTextsAndHugeExponents) {
  const ParseCase cases[] = {
      {"inf reads as zero", "inf", 0, 0},
      {"-inf reads as negative zero", "-inf", -0.0, 1},
      {"nan reads as zero", "nan", 0, 0},
      {"largest 32-bit exponent", "1e2147483647", HUGE_VAL, 12},
      {"2^31 does not wrap to a negative exponent", "1e2147483648", HUGE_VAL, 12},
      {"2^32 does not wrap to exponent 0", "1e4294967296", HUGE_VAL, 12},
      {"2^32 + 1 does not wrap to exponent 1", "5e4294967297", HUGE_VAL, 12},
      {"a negative 2^32 does not wrap to 0", "1e-4294967296", 0, 13},
      {"twenty-digit exponent", "1e99999999999999999999", HUGE_VAL, 22},
      {"twenty-digit negative exponent", "1e-99999999999999999999", 0, 23},
      {"zero with a twenty-digit exponent", "0e99999999999999999999", 0, 22},
      {"digits behind the point lower a huge negative exponent further", "0.5e-2147483648", 0, 15},
  };
  ExpectParses(cases, std::size(cases));
}

TEST(ParseNumber, EmptyTextOrLoneSignLeavesOutAlone) {
  const char* const texts[] = {"", "+", "-"};
  for (const char* text : texts) {
    double value = 42;
    const char* stop = ParseNumber(text, &value);
    EXPECT_EQ(value, 42) << "\"" << text << "\"";
    EXPECT_EQ(stop, text + std::strlen(text)) << "\"" << text << "\"";
  }
}

TEST(ParseNumber, AccumulatorBeyondTheDoubleRange) {
  // 10^400 does not fit a double but fits the accumulator's exponent range.
  std::string text = "1" + std::string(400, '0') + "e-400";
  double value = 0;
  ParseNumber(text.c_str(), &value);
  EXPECT_NEAR(value, 1, 1e-15);
  text = "0." + std::string(399, '0') + "1e400";
  ParseNumber(text.c_str(), &value);
  EXPECT_EQ(value, 1);
}

#if QUORVEL_HAVE_X87_REFERENCE

// Random texts of the grammar and around it: signs, digit runs of every length,
// several points, exponents small, near the range limits and beyond 32 bits, stray
// characters before, inside and after.
class TextGenerator {
 public:
  explicit TextGenerator(uint64_t seed) : random_(seed) {}

  std::string Next() {
    std::string text;
    if (Chance(3)) text += Pick(" x.eE");
    int signs = Chance(10) ? 2 : Chance(2) ? 1 : 0;
    for (int i = 0; i < signs; ++i) text += Pick("+-");
    AppendMantissa(text);
    if (Chance(2)) AppendExponent(text);
    if (Chance(5)) text += Pick("x .e+-0123456789E\x80");
    if (Chance(10)) text += Digits(Below(5));
    return text;
  }

 private:
  bool Chance(unsigned inverse) { return random_() % inverse == 0; }
  uint64_t Below(uint64_t limit) { return random_() % limit; }
  char Pick(const char* choices) { return choices[Below(std::strlen(choices))]; }

  std::string Digits(uint64_t count) {
    std::string digits;
    for (uint64_t i = 0; i < count; ++i) digits += static_cast<char>('0' + Below(10));
    return digits;
  }

  uint64_t MantissaLength() {
    switch (Below(20)) {
      case 0: return 20 + Below(40);      // past the exact integers
      case 1: return 300 + Below(100);    // past the double range
      default: return Below(18);          // field-sized
    }
  }

  void AppendMantissa(std::string& text) {
    if (Chance(4)) text += std::string(Below(30), '0');
    std::string digits = Digits(MantissaLength());
    int points = Chance(10) ? 2 + static_cast<int>(Below(2)) : Chance(2) ? 1 : 0;
    for (int i = 0; i < points; ++i) digits.insert(Below(digits.size() + 1), 1, '.');
    text += digits;
  }

  void AppendExponent(std::string& text) {
    text += Pick("eE");
    if (Chance(2)) text += Pick("+-");
    static const uint64_t kInteresting[] = {308, 320, 324, 330, 4863, 4864, 4932, 2147483647, 2147483648,
                                            4294967295, 4294967296};
    switch (Below(8)) {
      case 0: break;                                                // no digits
      case 1: text += std::to_string(kInteresting[Below(std::size(kInteresting))] + Below(3) - 1); break;
      case 2: text += Digits(10 + Below(15)); break;                // beyond 32 bits
      case 3: text += std::to_string(280 + Below(60)); break;       // the subnormal and overflow edges
      default: text += std::to_string(Below(40)); break;
    }
  }

  std::mt19937_64 random_;
};

TEST(ParseNumberSweep, OneMillionRandomTextsMatchTheX87Reference) {
  X87DoublePrecision precision;
  TextGenerator generator(4);
  const int kTexts = 1000000;
  int mismatches = 0;
  for (int i = 0; i < kTexts; ++i) {
    std::string text = generator.Next();
    double actual = 42, expected = 42;
    const char* actualStop = ParseNumber(text.c_str(), &actual);
    const char* expectedStop = ReferenceParseNumber(text.c_str(), &expected);
    if ((Bits(actual) != Bits(expected) || actualStop != expectedStop) && ++mismatches <= 10) {
      ADD_FAILURE() << "\"" << text << "\": " << std::hexfloat << actual << " stop " << actualStop - text.c_str()
                    << ", reference " << expected << " stop " << expectedStop - text.c_str();
    }
  }
  EXPECT_EQ(mismatches, 0) << "of " << kTexts;
}

#else

TEST(ParseNumberSweep, OneMillionRandomTextsMatchTheX87Reference) { GTEST_SKIP() << "no x87 unit for the reference"; }

#endif

}  // namespace
