// Codes and characters as the command line writes them.
#include <gtest/gtest.h>

#include <string>

#include "code_text.h"

namespace {

TEST(ParseCodeText, DecimalAndHexadecimalWithinTheCodeRange) {
  struct Case {
    const char* text;
    CodeTextStatus status;
    int code;
  } cases[] = {
      {"0", CodeTextStatus::Ok, 0},
      {"65", CodeTextStatus::Ok, 65},
      {"255", CodeTextStatus::Ok, 255},
      {"010", CodeTextStatus::Ok, 10},  // decimal, not octal
      {"0x41", CodeTextStatus::Ok, 0x41},
      {"0X41", CodeTextStatus::Ok, 0x41},
      {"0xff", CodeTextStatus::Ok, 0xFF},
      {"0x0", CodeTextStatus::Ok, 0},
      {"256", CodeTextStatus::OutOfRange, 0},
      {"0x100", CodeTextStatus::OutOfRange, 0},
      {"99999999999999999999999", CodeTextStatus::OutOfRange, 0},
      {"", CodeTextStatus::NotANumber, 0},
      {"0x", CodeTextStatus::NotANumber, 0},
      {"-1", CodeTextStatus::NotANumber, 0},
      {"+1", CodeTextStatus::NotANumber, 0},
      {"0x-1", CodeTextStatus::NotANumber, 0},
      {" 1", CodeTextStatus::NotANumber, 0},
      {"1 ", CodeTextStatus::NotANumber, 0},
      {"1.0", CodeTextStatus::NotANumber, 0},
      {"12abc", CodeTextStatus::NotANumber, 0},
      {"0x4g", CodeTextStatus::NotANumber, 0},
      {"A", CodeTextStatus::NotANumber, 0},
  };
  for (const auto& c : cases) {
    uint8_t code = 77;
    EXPECT_EQ(ParseCodeText(c.text, &code), c.status) << '"' << c.text << '"';
    EXPECT_EQ(code, c.status == CodeTextStatus::Ok ? c.code : 77) << '"' << c.text << '"';
  }
}

TEST(CodeFromCharacter, OneCharacterWithASingleByteCode) {
  struct Case {
    const char* text;
    CharacterStatus status;
    int code;
  } cases[] = {
      {"A", CharacterStatus::Ok, 0x41},
      {" ", CharacterStatus::Ok, 0x20},
      {"\\", CharacterStatus::Ok, 0x5C},
      {"~", CharacterStatus::Ok, 0x7E},
      {"\xEF\xBD\xA1", CharacterStatus::Ok, 0xA1},  // ｡ U+FF61
      {"ｱ", CharacterStatus::Ok, 0xB1},
      {"\xEF\xBE\x9F", CharacterStatus::Ok, 0xDF},  // ﾟ U+FF9F
      {"あ", CharacterStatus::NoSingleByteCode, 0},
      {"Ａ", CharacterStatus::NoSingleByteCode, 0},  // full-width A
      {"¥", CharacterStatus::Ok, 0x5C},  // as the code page writes it
      {"‾", CharacterStatus::Ok, 0x7E},
      {"€", CharacterStatus::NotInCodePage, 0},
      {"é", CharacterStatus::NotInCodePage, 0},
      {"", CharacterStatus::NotOneCharacter, 0},
      {"AB", CharacterStatus::NotOneCharacter, 0},
      {"ｱｲ", CharacterStatus::NotOneCharacter, 0},
      {"\xFF", CharacterStatus::NotOneCharacter, 0},
      {"\xEF\xBD", CharacterStatus::NotOneCharacter, 0},  // cut short
  };
  for (const auto& c : cases) {
    uint8_t code = 77;
    EXPECT_EQ(CodeFromCharacter(c.text, &code), c.status) << '"' << c.text << '"';
    EXPECT_EQ(code, c.status == CharacterStatus::Ok ? c.code : 77) << '"' << c.text << '"';
  }
}

TEST(CodeErrors, NameTheTextAndTheWayOut) {
  EXPECT_EQ(CodeTextError("300", CodeTextStatus::OutOfRange),
            "code 300 is out of range: codes are 0-255 (0x00-0xFF)");
  EXPECT_NE(CodeTextError("x1", CodeTextStatus::NotANumber).find("\"x1\" is not a code"), std::string::npos);
  std::string fullWidth = CharacterError("あ", CharacterStatus::NoSingleByteCode);
  EXPECT_NE(fullWidth.find("\"あ\""), std::string::npos);
  EXPECT_NE(fullWidth.find("--scope fullwidth"), std::string::npos);
  EXPECT_EQ(CharacterError("é", CharacterStatus::NotInCodePage).find("full-width"), std::string::npos);
}

}  // namespace
