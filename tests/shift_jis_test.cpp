// Characters and codes of code page 932 (single and double bytes, whole texts),
// against the system's own converter, and the UTF-8 helpers.
#include <gtest/gtest.h>

#include <string>

#include "shift_jis.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

TEST(ShiftJisByte, NamedCodes) {
  struct Case {
    int code;
    int32_t unicode;
  } cases[] = {
      {0x00, 0x0000}, {0x20, 0x0020}, {0x41, 0x0041}, {0x5C, 0x005C}, {0x7E, 0x007E},
      {0x7F, 0x007F}, {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xA1, 0xFF61}, {0xB1, 0xFF71},
      {0xDF, 0xFF9F}, {0xFD, 0xF8F1}, {0xFF, 0xF8F3}, {0x81, -1},     {0x9F, -1},
      {0xE0, -1},     {0xFC, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShiftJisByteToUnicode(static_cast<uint8_t>(c.code)), c.unicode) << std::hex << c.code;
  }
}

TEST(DisplayedCharacter, VisibleCharactersOnlyWithEmptyNeighbours) {
  struct Case {
    int code;
    const char* text;
  } cases[] = {
      {0x00, ""},   {0x1F, ""},
      {0x20, " "},  {0x41, "A"},
      {0x5C, "\\"}, {0x7E, "~"},
      {0x7F, ""},   {0x80, ""},
      {0x81, ""},   {0x9F, ""},
      {0xA0, ""},   {0xA1, "\xEF\xBD\xA1"},
      {0xB1, "ｱ"},  {0xDF, "\xEF\xBE\x9F"},
      {0xE0, ""},   {0xFC, ""},
      {0xFD, ""},   {0xFF, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DisplayedCharacter(static_cast<uint8_t>(c.code)), c.text) << std::hex << c.code;
  }
}

TEST(ShiftJisByte, EveryWholeCharacterRoundTrips) {
  for (int code = 0; code < 256; ++code) {
    int32_t unicode = ShiftJisByteToUnicode(static_cast<uint8_t>(code));
    EXPECT_EQ(unicode < 0, IsShiftJisLeadByte(static_cast<unsigned char>(code))) << code;
    if (unicode >= 0) {
      EXPECT_EQ(UnicodeToShiftJisByte(static_cast<uint32_t>(unicode)), code) << code;
    }
  }
}

TEST(ShiftJisByte, DoubleByteAndForeignCharactersHaveNoSingleByte) {
  for (uint32_t unicode : {0x3042u /* あ */, 0x8868u /* 表 */, 0xFF21u /* Ａ */, 0x00E9u, 0x1F600u}) {
    EXPECT_EQ(UnicodeToShiftJisByte(unicode), -1) << std::hex << unicode;
  }
}

// The table agrees with the system's own converter: Windows' code page 932, or the
// C library's CP932 for the codes it knows (ASCII and half-width katakana).
#ifdef _WIN32
TEST(ShiftJisByte, AgreesWithCodePage932) {
  for (int code = 1; code < 256; ++code) {
    if (IsShiftJisLeadByte(static_cast<unsigned char>(code))) continue;
    char byte = static_cast<char>(code);
    wchar_t wide[2] = {};
    ASSERT_EQ(MultiByteToWideChar(932, 0, &byte, 1, wide, 2), 1) << code;
    EXPECT_EQ(static_cast<int32_t>(wide[0]), ShiftJisByteToUnicode(static_cast<uint8_t>(code))) << code;
  }
}
#else
TEST(ShiftJisByte, AgreesWithIconvCp932) {
  iconv_t converter = iconv_open("UTF-8", "CP932");
  ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1));
  for (int code = 1; code < 256; ++code) {
    if (!(code < 0x80 || (code >= 0xA1 && code <= 0xDF))) continue;
    char in[1] = {static_cast<char>(code)}, out[8] = {};
    char *inPointer = in, *outPointer = out;
    size_t inLeft = 1, outLeft = sizeof out;
    ASSERT_NE(iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft), static_cast<size_t>(-1)) << code;
    uint32_t unicode = 0;
    ASSERT_GT(DecodeUtf8(out, &unicode), 0u);
    EXPECT_EQ(static_cast<int32_t>(unicode), ShiftJisByteToUnicode(static_cast<uint8_t>(code))) << code;
  }
  iconv_close(converter);
}
#endif

// Every double-byte code decodes as the system's converter decodes it: Windows'
// code page 932, or the C library's CP932.
std::string SystemDecoding(const char* pair) {
#ifdef _WIN32
  wchar_t wide[2] = {};
  if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, pair, 2, wide, 2) != 1) return "";
  char utf8[4];
  return std::string(utf8, EncodeUtf8(wide[0], utf8));
#else
  iconv_t converter = iconv_open("UTF-8", "CP932");
  char in[2] = {pair[0], pair[1]}, out[8] = {};
  char *inPointer = in, *outPointer = out;
  size_t inLeft = 2, outLeft = sizeof out;
  size_t result = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
  iconv_close(converter);
  return result == static_cast<size_t>(-1) ? "" : std::string(out, sizeof out - outLeft);
#endif
}

TEST(ShiftJisText, EveryDoubleByteCodeDecodesAsTheSystemDoes) {
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsShiftJisLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const char pair[3] = {static_cast<char>(lead), static_cast<char>(trail), 0};
      std::string expected = SystemDecoding(pair);
      size_t length = 0;
      int32_t character = CharacterOfShiftJis(pair, &length);
      EXPECT_EQ(length, 2u);
      EXPECT_EQ(ShiftJisToUtf8(pair), expected.empty() ? "\xE3\x83\xBB" /* ・ */ : expected)
          << std::hex << lead << " " << trail;
      EXPECT_EQ(character < 0, expected.empty()) << std::hex << lead << " " << trail;
    }
  }
}

#ifndef _WIN32
// Every character of the Basic Multilingual Plane is written as the C library's CP932
// writes it, except the codes the single-byte table decides (0x80, 0xA0, 0xFD-0xFF,
// which the C library lacks).
TEST(ShiftJisText, EveryCharacterEncodesAsIconvDoes) {
  iconv_t converter = iconv_open("CP932", "UTF-8");
  ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1));
  for (uint32_t codePoint = 1; codePoint < 0x10000; ++codePoint) {
    if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || UnicodeToShiftJisByte(codePoint) >= 0) continue;
    char in[4], out[8];
    size_t inLeft = EncodeUtf8(codePoint, in), outLeft = sizeof out;
    char *inPointer = in, *outPointer = out;
    size_t result = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
    std::string expected = result == static_cast<size_t>(-1) ? "" : std::string(out, sizeof out - outLeft);
    ShiftJisCharacter character = ShiftJisOfCharacter(codePoint);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(character.bytes), character.length), expected)
        << std::hex << codePoint;
  }
  iconv_close(converter);
}
#endif

// Texts through the code page; the one-way rows (yen, characters it lacks) do not
// come back as they went.
TEST(ShiftJisText, Texts) {
  struct Case {
    const char* name;
    const char* utf8;
    const char* shiftJis;
    bool bothWays;
  } cases[] = {
      {"empty", "", "", true},
      {"ascii", "A1", "A1", true},
      {"half-width katakana", "\uFF71", "\xB1", true},
      {"hiragana is a lead and a trail byte", "\u3042", "\x82\xA0", true},
      {"kanji with a 0x5C trail byte", "\u8868", "\x95\x5C", true},
      {"the middle dot", "\u30FB", "\x81\x45", true},
      {"private use stands for 0xA0", "\uF8F0", "\xA0", true},
      {"yen sign is the backslash code", "\u00A5", "\x5C", false},
      {"overline is the tilde code", "\u203E", "\x7E", false},
      {"wave dash", "\u301C", "\x81\x60", false},
      {"not in the code page becomes ?", "\u00E9", "?", false},
      {"beyond the plane becomes ?", "\U0001F600", "?", false},
      {"malformed UTF-8 becomes ?", "\x80", "?", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToShiftJis(c.utf8, 16), c.shiftJis) << c.name;
    if (c.bothWays) {
      EXPECT_EQ(ShiftJisToUtf8(c.shiftJis), c.utf8) << c.name;
    }
  }
}

TEST(ShiftJisText, MissingCharactersAndLoneLeadBytes) {
  EXPECT_EQ(ShiftJisOfCharacter(0xE9).length, 0) << "no code at all";
  EXPECT_EQ(ShiftJisToUtf8("A\x9F"), "A\u30FB") << "a lone lead byte is the middle dot";
  EXPECT_EQ(ShiftJisToUtf8("\x85\x40"), "\u30FB") << "an undefined pair too";
  EXPECT_TRUE(IsLoneLeadByte("\xE0"));
  EXPECT_FALSE(IsLoneLeadByte("\x82\xA0"));
}

TEST(ShiftJisText, CutBeforeACharacterThatDoesNotFit) {
  EXPECT_EQ(Utf8ToShiftJis("A\u3042", 3), "A\x82\xA0");
  EXPECT_EQ(Utf8ToShiftJis("A\u3042", 2), "A");
  EXPECT_EQ(Utf8ToShiftJis("A\u3042", 0), "");
}

TEST(Utf8, EncodesAndDecodesEveryLength) {
  for (uint32_t unicode : {0x41u, 0xE9u, 0x7FFu, 0x800u, 0xFF71u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
    char text[5] = {};
    size_t length = EncodeUtf8(unicode, text);
    uint32_t decoded = 0;
    EXPECT_EQ(DecodeUtf8(text, &decoded), length) << std::hex << unicode;
    EXPECT_EQ(decoded, unicode);
  }
}

TEST(Utf8, MalformedSequencesDecodeToNothing) {
  const char* malformed[] = {"\x80", "\xC0\x80" /* overlong */, "\xE3\x81" /* cut */,
                             "\xED\xA0\x80" /* surrogate */, "\xF5\x80\x80\x80", ""};
  for (const char* text : malformed) {
    uint32_t unicode = 0;
    EXPECT_EQ(DecodeUtf8(text, &unicode), 0u) << text;
  }
}

// Names as the caption shows them: UTF-8 kept, Shift-JIS read as such, anything
// else escaped byte by byte.
TEST(NameBytesToUtf8, ShowsEveryNameReadably) {
  const struct {
    const char* bytes;
    const char* shown;
  } cases[] = {
      {"main.fnt", "main.fnt"},
      {"\xe3\x81\x82.fnt", "\xe3\x81\x82.fnt"},  // UTF-8 あ
      {"\x82\xa0.fnt", "\xe3\x81\x82.fnt"},      // Shift-JIS あ
      {"a\x85\x40.fnt", "a\\x85@.fnt"},          // an undefined pair: escaped
  };
  for (const auto& c : cases) EXPECT_EQ(NameBytesToUtf8(c.bytes), c.shown) << c.bytes;
}

}  // namespace
