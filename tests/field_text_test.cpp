// Field texts checked before anything is stored: what is a number, what holds
// none, what is refused, and that a number carries ParseNumber's bits.
#include <gtest/gtest.h>

#include <cstring>

#include "field_text.h"
#include "number_parse.h"

namespace {

constexpr FieldTextStatus kNumber = FieldTextStatus::Number, kNone = FieldTextStatus::NoNumber,
                          kRefused = FieldTextStatus::NotANumber;

struct Case {
  const char* name;
  const char* text;  // Shift-JIS
  FieldTextStatus status;
  const char* ascii;  // a number: the text ParseNumber reads for the same bits
};

const Case kCases[] = {
    {"integer", "12", kNumber, "12"}, {"negative fraction", "-1.5", kNumber, "-1.5"}, {"point last", "1.", kNumber, "1."},
    {"point first", ".5", kNumber, ".5"}, {"signed exponent", "+2e-3", kNumber, "+2e-3"}, {"negative zero", "-0", kNumber, "-0"},
    {"underflow to zero", "1e-400", kNumber, "1e-400"}, {"leading space", " 1.5", kNumber, "1.5"},
    {"leading tab", "\t2", kNumber, "2"}, {"blanks both sides", "  7 \t", kNumber, "7"},
    {"full-width spaces around", "\x81\x40" "3\x81\x40", kNumber, "3"}, {"full-width 13", "\x82\x50\x82\x52", kNumber, "13"},
    {"full-width 0-9", "\x82\x4F\x82\x50\x82\x51\x82\x52\x82\x53\x82\x54\x82\x55\x82\x56\x82\x57\x82\x58", kNumber, "0123456789"},
    {"full-width minus point e", "\x81\x7C\x82\x50\x81\x44\x82\x54\x82\x85\x82\x51", kNumber, "-1.5e2"},
    {"full-width plus E", "\x81\x7B\x82\x58\x82\x64\x81\x7C\x82\x50", kNumber, "+9E-1"}, {"mixed widths", "1\x82\x51.5", kNumber, "12.5"},
    // Single-precision overflow: ParseNumber's double rounds to infinity from half-way to 2^128 on.
    {"largest single", "3.4028235e38", kNumber, "3.4028235e38"}, {"largest negative", "-3.4028235e38", kNumber, "-3.4028235e38"},
    {"just below half-way", "3.402823567797336e38", kNumber, "3.402823567797336e38"},
    {"read as half-way", "3.4028235677973366e38", kRefused, nullptr}, {"past the largest", "3.4028236e38", kRefused, nullptr},
    {"negative past the largest", "-3.4028236e38", kRefused, nullptr}, {"1e39", "1e39", kRefused, nullptr},
    {"empty", "", kNone, nullptr}, {"lone plus", "+", kNone, nullptr}, {"lone minus", "-", kNone, nullptr},
    {"only blanks", " \t\x81\x40", kNone, nullptr}, {"full-width lone minus", "\x81\x7C", kNone, nullptr},
    {"letters", "abc", kRefused, nullptr}, {"letters after", " 1.5 x", kRefused, nullptr}, {"comma", "1,5", kRefused, nullptr},
    {"two points", "1.5.", kRefused, nullptr}, {"hex", "0x10", kRefused, nullptr}, {"bare exponent", "1e", kRefused, nullptr},
    {"point alone", ".", kRefused, nullptr}, {"sign and point", "+.", kRefused, nullptr}, {"no mantissa", "e5", kRefused, nullptr},
    {"nan", "nan", kRefused, nullptr}, {"inf", "inf", kRefused, nullptr}, {"minus inf", "-inf", kRefused, nullptr},
    {"inner space", "1 5", kRefused, nullptr}, {"two signs", "+-5", kRefused, nullptr}, {"lead byte last", "1\x82", kRefused, nullptr},
    {"full-width comma", "1\x81\x43" "5", kRefused, nullptr}, {"hiragana", "\x82\xA0", kRefused, nullptr},
    {"half-width katakana", "\xB1", kRefused, nullptr},
};

TEST(CheckFieldText, AcceptsNumbersWithParseNumbersBitsAndRefusesTheRest) {
  for (const Case& c : kCases) {
    FieldValue field{true, 42};  // as left by an earlier field
    EXPECT_EQ(CheckFieldText(c.text, &field), c.status) << c.name;
    if (c.status == kRefused) {
      EXPECT_TRUE(field.present && field.value == 42) << c.name << ": left alone";
      continue;
    }
    double expected = 0;
    if (c.ascii) ParseNumber(c.ascii, &expected);
    EXPECT_EQ(field.present, c.status == kNumber) << c.name;
    EXPECT_EQ(std::memcmp(&field.value, &expected, sizeof expected), 0) << c.name << ": " << field.value;
  }
}

}  // namespace
