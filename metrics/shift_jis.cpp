#include "shift_jis.h"

#include "metrics_format.h"

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
