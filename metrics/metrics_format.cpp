#include "metrics_format.h"

#include <cstdio>
#include <cstring>

// The file is little-endian whatever the host; assemble the bits byte by byte.
float ReadSingle(const uint8_t* image, uint32_t offset) {
  const uint8_t* p = image + offset;
  uint32_t bits = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void WriteSingle(uint8_t* image, uint32_t offset, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  uint8_t* p = image + offset;
  p[0] = static_cast<uint8_t>(bits);
  p[1] = static_cast<uint8_t>(bits >> 8);
  p[2] = static_cast<uint8_t>(bits >> 16);
  p[3] = static_cast<uint8_t>(bits >> 24);
}

CodeRole RoleOfCode(uint8_t code) {
  switch (code) {
    case kFullWidthSlot:
    case kFullWidthTwinSlot: return CodeRole::FullWidth;
    case kFullWidthClearedSlot:
    case kFullWidthClearedTwinSlot: return CodeRole::FullWidthCleared;
    case kHalfWidthSlot:
    case kHalfWidthTwinSlot: return CodeRole::HalfOfFullWidth;
    case kHalfKanaSlot:
    case kHalfKanaTwinSlot: return CodeRole::HalfKanaMetrics;
  }
  if (code >= kHalfKanaFirst && code <= kHalfKanaLast) return CodeRole::HalfKana;
  if (code >= kHalfAlnumFirst && code <= kHalfAlnumLast) return CodeRole::HalfAlnum;
  return CodeRole::None;
}

std::string HexCode(uint8_t code) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", code);
  return text;
}
