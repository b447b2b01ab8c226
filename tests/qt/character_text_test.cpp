// The character field's text against code page 932: what a code shows as, and which
// bytes a typed character reads back as.
#include "character_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Bytes(const QString& text, size_t size = 16) {
  std::string out(size, '\x7f');
  size_t length = FieldTextToShiftJis(text, &out[0], size);
  EXPECT_EQ(out[length], '\0');
  return out.substr(0, length);
}

TEST(ShiftJisToFieldText, SingleBytesAndPairs) {
  struct Case {
    const char* name;
    const char* bytes;
    char16_t expected[3];
  } cases[] = {
      {"empty", "", {0}},
      {"ascii letter", "A", {u'A', 0}},
      {"backslash stays ascii", "\x5C", {u'\\', 0}},
      {"half-width katakana first", "\xA1", {0xFF61, 0}},
      {"half-width katakana a", "\xB1", {0xFF71, 0}},
      {"half-width katakana last", "\xDF", {0xFF9F, 0}},
      {"full-width a (hiragana)", "\x82\xA0", {0x3042, 0}},
      {"kanji with 0x5C trail byte", "\x95\x5C", {0x8868, 0}},
      {"lone lead byte 0x81 is the middle dot", "\x81", {0x30FB, 0}},
      {"lone lead byte 0xE0 is the middle dot", "\xE0", {0x30FB, 0}},
      {"letter then lone lead byte", "A\x9F", {u'A', 0x30FB, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShiftJisToFieldText(c.bytes), QString::fromUtf16(c.expected)) << c.name;
  }
}

TEST(FieldTextToShiftJis, CharactersToBytes) {
  struct Case {
    const char* name;
    char16_t text[3];
    std::string expected;
  } cases[] = {
      {"ascii", {u'A', 0}, "A"},
      {"half-width katakana", {0xFF71, 0}, "\xB1"},
      {"hiragana gives lead and trail byte", {0x3042, 0}, "\x82\xA0"},
      {"kanji with 0x5C trail byte", {0x8868, 0}, "\x95\x5C"},
      {"middle dot", {0x30FB, 0}, "\x81\x45"},
      {"not in the code page becomes ?", {0x00E9, 0}, "?"},
      {"two characters", {u'1', 0xFF71, 0}, "1\xB1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Bytes(QString::fromUtf16(c.text)), c.expected) << c.name;
  }
}

TEST(FieldTextToShiftJis, CutOnCharacterBoundary) {
  const QString text = QString::fromUtf16(u"A\u3042");
  EXPECT_EQ(Bytes(text, 4), "A\x82\xA0");
  EXPECT_EQ(Bytes(text, 3), "A");  // the pair does not fit in 2 bytes
  EXPECT_EQ(Bytes(text, 1), "");
}

TEST(FieldText, EverySingleByteCodeRoundTrips) {
  for (int code = 1; code < 256; ++code) {
    const char bytes[2] = {static_cast<char>(code), 0};
    const std::string back = Bytes(ShiftJisToFieldText(bytes));
    if ((code >= 0x81 && code <= 0x9F) || (code >= 0xE0 && code <= 0xFC)) {
      EXPECT_EQ(back, "\x81\x45") << code;
    } else {
      EXPECT_EQ(back, std::string(bytes)) << code;
    }
  }
}

}  // namespace
