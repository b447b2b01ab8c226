#include "metrics_data.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <nlohmann/json.hpp>

#include "code_text.h"
#include "value_names.h"

namespace {

constexpr size_t kBitPatternLength = 10;  // "0x" and eight hexadecimal digits

bool AllGiven(const MetricsData& data, uint32_t first, uint32_t end) {
  for (uint32_t offset = first; offset < end; ++offset) {
    if (!data.given[offset]) return false;
  }
  return true;
}

// The data name of value index of a record.
std::string ValueKey(uint32_t value) {
  if (value >= kFirstEditedValue && value < kFirstEditedValue + kEditedValueCount)
    return kValueNames[value - kFirstEditedValue].key;
  return value == 13 ? "value_13" : "values_0_to_7";
}

}  // namespace

void GiveValue(MetricsData* data, uint32_t offset, float value) {
  WriteSingle(data->bytes.data(), offset, value);
  for (uint32_t i = 0; i < 4; ++i) data->given[offset + i] = true;
}

void GiveByte(MetricsData* data, uint32_t offset, uint8_t byte) {
  data->bytes[offset] = byte;
  data->given[offset] = true;
}

bool IsWholeFile(const MetricsData& data) { return AllGiven(data, 0, kMetricsFileSize); }

std::string FirstMissingPart(const MetricsData& data) {
  if (!AllGiven(data, kLineSpacingOffset, kFirstHeaderByte)) return kLineSpacingKey;
  if (!AllGiven(data, kFirstHeaderByte, kHeaderSize)) return "header_bytes";
  for (int code = 0; code < kCodeCount; ++code) {
    auto byte = static_cast<uint8_t>(code);
    bool none = true;
    for (uint32_t value = 0; value < ValueCountInFile(byte); ++value) {
      none = none && !data.given[ValueOffset(byte, value)];
    }
    if (none) return "the record of code " + std::to_string(code);
    for (uint32_t value = 0; value < ValueCountInFile(byte); ++value) {
      if (!data.given[ValueOffset(byte, value)])
        return ValueKey(value) + " of code " + std::to_string(code);
    }
  }
  return "nothing";
}

void ApplyMetricsData(const MetricsData& data, uint8_t* image) {
  for (uint32_t offset = 0; offset < kMetricsFileSize; ++offset) {
    if (data.given[offset]) image[offset] = data.bytes[offset];
  }
}

bool HasNumberForm(float value) {
  return std::isfinite(value) && !(value == 0 && std::signbit(value));
}

std::string ValueDataText(const uint8_t* image, uint32_t offset) {
  float value = ReadSingle(image, offset);
  if (HasNumberForm(value)) return nlohmann::json(static_cast<double>(value)).dump();
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  char text[kBitPatternLength + 1];
  std::snprintf(text, sizeof text, "0x%08X", bits);
  return text;
}

bool ReadBitPattern(const std::string& text, uint32_t* bits) {
  if (text.size() != kBitPatternLength || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
    return false;
  for (size_t i = 2; i < text.size(); ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  std::from_chars(text.data() + 2, text.data() + text.size(), *bits, 16);
  return true;
}

bool SingleFromNumber(double number, float* single) {
  *single = static_cast<float>(number);
  return std::isfinite(*single);
}

bool Fail(std::string* error, const std::string& where, const std::string& what) {
  *error = where.empty() ? what : where + ": " + what;
  return false;
}

std::string OutOfRangeMessage(const std::string& shown) {
  return shown + " is out of range for a single-precision value";
}

std::string NotABitPatternMessage(const std::string& shown) {
  return shown + " is not a bit pattern such as \"0x7FC00000\"";
}

std::string CharacterMismatch(uint8_t code, const std::string& given,
                              std::string (*quote)(const std::string&)) {
  std::string character = DisplayedCharacter(code);
  if (given.empty() || given == character) return "";
  std::string mismatch = quote(given) + " is not the character of code " + std::to_string(code);
  return character.empty() ? mismatch + ", which has none" : mismatch + ", " + quote(character);
}
