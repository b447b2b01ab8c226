#include "code_text.h"

#include <charconv>

#include "metrics_format.h"
#include "shift_jis.h"

CodeTextStatus ParseCodeText(const std::string& text, uint8_t* code) {
  int base = 10;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    first += 2;
  }
  // from_chars takes no sign, space or prefix; all of the text must be digits.
  if (first == last || *first == '+' || *first == '-') return CodeTextStatus::NotANumber;
  unsigned long value = 0;
  auto [end, error] = std::from_chars(first, last, value, base);
  if (end != last) return CodeTextStatus::NotANumber;
  if (error == std::errc::result_out_of_range || value > kLastCode)
    return CodeTextStatus::OutOfRange;
  if (error != std::errc()) return CodeTextStatus::NotANumber;
  *code = static_cast<uint8_t>(value);
  return CodeTextStatus::Ok;
}

CharacterStatus CodeFromCharacter(const std::string& text, uint8_t* code) {
  uint32_t unicode = 0;
  size_t length = DecodeUtf8(text.c_str(), &unicode);
  if (length == 0 || length != text.size()) return CharacterStatus::NotOneCharacter;
  ShiftJisCharacter character = ShiftJisOfCharacter(unicode);
  if (character.length == 0) return CharacterStatus::NotInCodePage;
  if (character.length == 2) return CharacterStatus::NoSingleByteCode;
  *code = character.bytes[0];
  return CharacterStatus::Ok;
}

std::string CodeTextError(const std::string& text, CodeTextStatus status) {
  if (status == CodeTextStatus::OutOfRange) {
    return "code " + text + " is out of range: codes are 0-255 (0x00-0xFF)";
  }
  return "\"" + text + "\" is not a code: give 0-255 in decimal or 0x00-0xFF in hexadecimal";
}

std::string CharacterError(const std::string& text, CharacterStatus status) {
  if (status == CharacterStatus::NoSingleByteCode) {
    return "\"" + text +
           "\" has no single-byte Shift-JIS code; full-width characters share "
           "one set of metrics in slots 16 and 21: use --scope fullwidth to set them, or "
           "code 16 to show them";
  }
  if (status == CharacterStatus::NotInCodePage) {
    return "\"" + text + "\" is not a Shift-JIS character: it has no code";
  }
  return "\"" + text + "\" is not one character";
}
