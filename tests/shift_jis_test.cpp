// Single-byte Shift-JIS codes and their characters, and the UTF-8 helpers.
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

}  // namespace
