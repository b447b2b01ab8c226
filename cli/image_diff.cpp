#include "image_diff.h"

#include <cstdio>

#include "code_text.h"
#include "message_text.h"
#include "metrics_format.h"
#include "number_format.h"
#include "value_names.h"

namespace {

std::string HexText(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

std::string NumberText(const uint8_t* image, uint32_t offset) {
  char text[kNumberTextSize];
  FormatNumber(static_cast<double>(ReadSingle(image, offset)), text);
  return text;
}

// "old -> new", with the bits when the texts alone would look equal.
std::string ValueChange(const uint8_t* before, const uint8_t* after, uint32_t offset) {
  std::string old = NumberText(before, offset), now = NumberText(after, offset);
  std::string change = old + " -> " + now;
  if (old == now) {
    change += " (" + HexText(SingleBits(before, offset), 8) + " -> " +
              HexText(SingleBits(after, offset), 8) + ")";
  }
  return change;
}

std::string RecordLabel(uint8_t code) {
  std::string character = DisplayedCharacter(code);
  return character.empty() ? HexCode(code) : HexCode(code) + " " + character;
}

}  // namespace

std::string DescribeDifference(const uint8_t* before, const uint8_t* after, const Difference& difference) {
  switch (difference.kind) {
    case DifferenceKind::LineSpacing:
      return std::string(kLineSpacingKey) + ": " + ValueChange(before, after, difference.offset);
    case DifferenceKind::HeaderByte:
      return "header byte " + std::to_string(difference.offset) + ": " +
             HexText(before[difference.offset], 2) + " -> " + HexText(after[difference.offset], 2);
    case DifferenceKind::RecordValue:
      return RecordLabel(difference.code) + " " + ValueLabel(difference.value) + ": " +
             ValueChange(before, after, difference.offset);
  }
  return std::string();
}

void PrintChanges(const char* path, const uint8_t* before, const uint8_t* after) {
  std::string name = EscapedText(path, 0);
  std::vector<Difference> differences = CompareImages(before, after);
  if (differences.empty()) std::printf("%s: no change\n", name.c_str());
  for (const Difference& difference : differences) {
    std::printf("%s: %s\n", name.c_str(), DescribeDifference(before, after, difference).c_str());
  }
}
