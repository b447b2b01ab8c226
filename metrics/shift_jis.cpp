#include "shift_jis.h"

#include <cstdio>

#include "metrics_format.h"
#include "shift_jis_tables.h"

namespace {

constexpr uint32_t kHalfKanaUnicode = 0xFF61;  // U+FF61..U+FF9F for 0xA1..0xDF
constexpr uint32_t kPrivateUseA0 = 0xF8F0;     // 0xA0; 0xFD-0xFF follow at U+F8F1..U+F8F3

}  // namespace

int32_t ShiftJisByteToUnicode(uint8_t code) {
  if (code <= 0x80) return code;
  if (IsShiftJisLeadByte(code)) return -1;
  if (code == 0xA0) return kPrivateUseA0;
  if (code >= kHalfKanaFirst && code <= kHalfKanaLast) {
    return static_cast<int32_t>(kHalfKanaUnicode + (code - kHalfKanaFirst));
  }
  return static_cast<int32_t>(kPrivateUseA0 + 1 + (code - 0xFD));  // 0xFD..0xFF
}

int UnicodeToShiftJisByte(uint32_t codePoint) {
  if (codePoint <= 0x80) return static_cast<int>(codePoint);
  if (codePoint == kPrivateUseA0) return 0xA0;
  if (codePoint >= kHalfKanaUnicode && codePoint <= kHalfKanaUnicode + (kHalfKanaLast - kHalfKanaFirst)) {
    return static_cast<int>(kHalfKanaFirst + (codePoint - kHalfKanaUnicode));
  }
  if (codePoint >= kPrivateUseA0 + 1 && codePoint <= kPrivateUseA0 + 3) {
    return static_cast<int>(0xFD + (codePoint - kPrivateUseA0 - 1));
  }
  return -1;
}

size_t EncodeUtf8(uint32_t codePoint, char* out) {
  auto byte = [](uint32_t value) { return static_cast<char>(static_cast<unsigned char>(value)); };
  if (codePoint < 0x80) {
    out[0] = byte(codePoint);
    return 1;
  }
  if (codePoint < 0x800) {
    out[0] = byte(0xC0 | codePoint >> 6);
    out[1] = byte(0x80 | (codePoint & 0x3F));
    return 2;
  }
  if (codePoint < 0x10000) {
    out[0] = byte(0xE0 | codePoint >> 12);
    out[1] = byte(0x80 | (codePoint >> 6 & 0x3F));
    out[2] = byte(0x80 | (codePoint & 0x3F));
    return 3;
  }
  out[0] = byte(0xF0 | codePoint >> 18);
  out[1] = byte(0x80 | (codePoint >> 12 & 0x3F));
  out[2] = byte(0x80 | (codePoint >> 6 & 0x3F));
  out[3] = byte(0x80 | (codePoint & 0x3F));
  return 4;
}

std::string Utf8OfCharacter(uint32_t codePoint) {
  char utf8[4];
  return std::string(utf8, EncodeUtf8(codePoint, utf8));
}

size_t DecodeUtf8(const char* text, uint32_t* codePoint) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  if (p[0] == 0) return 0;
  if (p[0] < 0x80) {
    *codePoint = p[0];
    return 1;
  }
  size_t length = p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC0 ? 2 : 0;
  if (length == 0 || p[0] > 0xF4) return 0;
  uint32_t value = p[0] & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    value = value << 6 | (p[i] & 0x3F);
  }
  // Overlong forms, surrogates and values beyond Unicode are malformed.
  static const uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *codePoint = value;
  return length;
}

namespace {

constexpr char kDefaultCharacter = '?';

// Row and column of a double-byte code in the decoding table, or -1.
int LeadRow(uint8_t lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0x9F - 0x81 + 1); }
int TrailColumn(uint8_t trail) {
  if (trail < 0x40 || trail > 0xFC || trail == 0x7F) return -1;
  return trail < 0x7F ? trail - 0x40 : trail - 0x41;
}

// Every character's double-byte code (lead << 8 | trail, 0 for none): the first
// code in byte order that decodes to it, then the code page's own exceptions.
// Built once, on first use.
const uint16_t* DoubleByteEncodings() {
  static const auto* table = [] {
    auto* codes = new uint16_t[0x10000]();
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsShiftJisLeadByte(static_cast<uint8_t>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        int column = TrailColumn(static_cast<uint8_t>(trail));
        if (column < 0) continue;
        uint16_t character = kShiftJisDoubleByteToUnicode[LeadRow(static_cast<uint8_t>(lead))][column];
        if (character != 0 && codes[character] == 0) codes[character] = static_cast<uint16_t>(lead << 8 | trail);
      }
    }
    for (const ShiftJisEncodingException& exception : kShiftJisEncodingExceptions) {
      codes[exception.codePoint] = exception.bytes;
    }
    return codes;
  }();
  return table;
}

}  // namespace

ShiftJisCharacter ShiftJisOfCharacter(uint32_t codePoint) {
  ShiftJisCharacter character;
  int single = UnicodeToShiftJisByte(codePoint);
  if (single < 0 && codePoint <= 0xFFFF) {
    uint16_t code = DoubleByteEncodings()[codePoint];
    if (code > 0xFF) {
      character.length = 2;
      character.bytes[0] = static_cast<uint8_t>(code >> 8);
      character.bytes[1] = static_cast<uint8_t>(code & 0xFF);
      return character;
    }
    if (code != 0) single = code;  // a one-way single-byte mapping such as yen
  }
  if (single >= 0) {
    character.length = 1;
    character.bytes[0] = static_cast<uint8_t>(single);
  }
  return character;
}

int32_t CharacterOfShiftJis(const char* text, size_t* length) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  if (!IsShiftJisLeadByte(p[0])) {
    *length = 1;
    return ShiftJisByteToUnicode(p[0]);
  }
  if (p[1] == 0) {
    *length = 1;
    return -1;
  }
  *length = 2;
  int column = TrailColumn(p[1]);
  uint16_t character = column < 0 ? 0 : kShiftJisDoubleByteToUnicode[LeadRow(p[0])][column];
  return character != 0 ? character : -1;
}

bool IsLoneLeadByte(const char* text) {
  return IsShiftJisLeadByte(static_cast<unsigned char>(text[0])) && text[1] == 0;
}

std::string Utf8ToShiftJis(const char* text, size_t maxBytes) {
  std::string out;
  while (*text) {
    uint32_t codePoint = 0;
    size_t length = DecodeUtf8(text, &codePoint);
    ShiftJisCharacter character;
    if (length != 0) character = ShiftJisOfCharacter(codePoint);
    text += length != 0 ? length : 1;
    if (character.length == 0) {
      character.length = 1;
      character.bytes[0] = kDefaultCharacter;
    }
    if (out.size() + character.length > maxBytes) break;
    out.append(reinterpret_cast<const char*>(character.bytes), character.length);
  }
  return out;
}

std::string ShiftJisToUtf8(const char* text) {
  std::string out;
  while (*text) {
    size_t length = 0;
    int32_t character = CharacterOfShiftJis(text, &length);
    text += length;
    char utf8[4];
    size_t size = EncodeUtf8(character >= 0 ? static_cast<uint32_t>(character) : kNoCharacterMark, utf8);
    out.append(utf8, size);
  }
  return out;
}

namespace {

bool IsUtf8(const char* text) {
  uint32_t codePoint = 0;
  while (*text) {
    const size_t length = DecodeUtf8(text, &codePoint);
    if (length == 0) return false;
    text += length;
  }
  return true;
}

bool IsShiftJis(const char* text) {
  while (*text) {
    size_t length = 0;
    if (CharacterOfShiftJis(text, &length) < 0) return false;
    text += length;
  }
  return true;
}

}  // namespace

std::string NameBytesToUtf8(const char* bytes) {
  if (IsUtf8(bytes)) return bytes;
  if (IsShiftJis(bytes)) return ShiftJisToUtf8(bytes);
  std::string text;
  while (*bytes) {
    uint32_t codePoint = 0;
    const size_t length = DecodeUtf8(bytes, &codePoint);
    if (length != 0) {
      text.append(bytes, length);
      bytes += length;
      continue;
    }
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(*bytes));
    text += escaped;
    ++bytes;
  }
  return text;
}

int32_t VisibleCharacterOfCode(uint8_t code) {
  int32_t unicode = ShiftJisByteToUnicode(code);
  if (unicode < 0x20 || (unicode >= 0x7F && unicode <= 0x9F)) return -1;  // C0, DEL, C1, lead
  if (unicode >= 0xE000 && unicode <= 0xF8FF) return -1;                  // private use
  return unicode;
}

std::string DisplayedCharacter(uint8_t code) {
  int32_t unicode = VisibleCharacterOfCode(code);
  if (unicode < 0) return std::string();
  char utf8[4];
  size_t length = EncodeUtf8(static_cast<uint32_t>(unicode), utf8);
  return std::string(utf8, length);
}
