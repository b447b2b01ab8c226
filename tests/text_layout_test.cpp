// The text layout over a small image whose records exercise each rule.
#include "text_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "metrics_format.h"

namespace {

struct Values {
  float width, height, left, right, offsetY;
};

void SetRecord(std::vector<uint8_t>& image, uint8_t code, Values v) {
  WriteSingle(image.data(), ValueOffset(code, Width), v.width);
  WriteSingle(image.data(), ValueOffset(code, Height), v.height);
  WriteSingle(image.data(), ValueOffset(code, SpacingLeft), v.left);
  WriteSingle(image.data(), ValueOffset(code, SpacingRight), v.right);
  WriteSingle(image.data(), ValueOffset(code, OffsetY), v.offsetY);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Full width 24x20 with a spacing of 1 and a line spacing of 4: lines 24 apart,
// placeholders 20 wide. 'A' and 'B' are ordinary and shifted characters, ' ' a
// space, 'Z' an all-zero record, 'N' a record with a NaN width.
std::vector<uint8_t> SampleImage(float fullHeight, float lineSpacing) {
  std::vector<uint8_t> image(kMetricsImageSize, 0);
  WriteSingle(image.data(), kLineSpacingOffset, lineSpacing);
  SetRecord(image, kFullWidthSlot, {24, fullHeight, 0, 1, 0});
  SetRecord(image, 'A', {10, 12, 1, 2, 3});
  SetRecord(image, 'B', {8, 8, -2, 0, -1});
  SetRecord(image, ' ', {0, 0, 0, 5, 0});
  SetRecord(image, 'N', {kNaN, 8, 0, 0, 0});
  return image;
}

std::string Describe(const TextLayout& layout) {
  std::string text;
  for (const TextBox& box : layout.boxes) {
    char one[96];
    snprintf(one, sizeof one, "%c%d@%u+%u(%g,%g,%g,%g) ", box.kind == BoxKind::Glyph ? 'G' : 'P',
             box.code, box.textOffset, box.textLength, box.x, box.y, box.width, box.height);
    text += one;
  }
  char extent[96];
  snprintf(extent, sizeof extent, "[%g,%g %g,%g] lines %d", layout.left, layout.top,
           layout.right, layout.bottom, layout.lineCount);
  return text + extent;
}

struct LayoutCase {
  const char* name;
  const char* text;
  bool utf8;
  float fullHeight;
  float lineSpacing;
  const char* expected;
};

const LayoutCase kCases[] = {
    {"pen advances by left + width + right", "AA", false, 20, 4,
     "G65@0+1(1,3,10,12) G65@1+1(14,3,10,12) [0,0 26,15] lines 1"},
    {"negative spacing and offset reach left of and above the origin", "BA", false, 20, 4,
     "G66@0+1(-2,-1,8,8) G65@1+1(7,3,10,12) [-2,-1 19,15] lines 1"},
    {"a space advances and draws nothing", "A B", false, 20, 4,
     "G65@0+1(1,3,10,12) G66@2+1(16,-1,8,8) [0,-1 24,15] lines 1"},
    {"a double-byte character uses slot 16", "\x82\xa0" "A", false, 20, 4,
     "G16@0+2(0,0,24,20) G65@2+1(26,3,10,12) [0,0 38,20] lines 1"},
    {"a line break moves down by full height + line spacing", "A\nA", false, 20, 4,
     "G65@0+1(1,3,10,12) G65@2+1(1,27,10,12) [0,0 13,39] lines 2"},
    {"CR LF is one break, a lone CR another", "A\r\n\rA", false, 20, 4,
     "G65@0+1(1,3,10,12) G65@4+1(1,51,10,12) [0,0 13,63] lines 3"},
    {"all-zero and NaN records are placeholders", "ZN", false, 20, 4,
     "P90@0+1(0,0,20,20) P78@1+1(20,0,20,20) [0,0 40,20] lines 1"},
    {"a lone lead byte and an undefined pair are placeholders", "\x85\x40\x82", false, 20, 4,
     "P16@0+2(0,0,20,20) P16@2+1(20,0,20,20) [0,0 40,20] lines 1"},
    {"no usable full height: side 16, and lines step by it", "Z\nZ", false, kNaN, 4,
     "P90@0+1(0,0,16,16) P90@2+1(0,16,16,16) [0,0 16,32] lines 2"},
    {"an infinite line spacing steps by the placeholder side", "A\nA", false, 20, kInfinity,
     "G65@0+1(1,3,10,12) G65@2+1(1,23,10,12) [0,0 13,35] lines 2"},
    {"UTF-8: offsets into the text, a character without a code", "A\xe3\x81\x82\xe2\x82\xac",
     true, 20, 4, "G65@0+1(1,3,10,12) G16@1+3(13,0,24,20) P16@4+3(38,0,20,20) [0,0 58,20] lines 1"},
    {"UTF-8: a malformed byte is one placeholder", "\xff" "A", true, 20, 4,
     "P16@0+1(0,0,20,20) G65@1+1(21,3,10,12) [0,0 33,20] lines 1"},
};

TEST(TextLayout, PlacesEachCharacterByItsRecord) {
  for (const LayoutCase& c : kCases) {
    const std::vector<uint8_t> image = SampleImage(c.fullHeight, c.lineSpacing);
    const size_t length = strlen(c.text);
    const TextLayout layout = c.utf8 ? LayOutUtf8Text(image.data(), c.text, length)
                                     : LayOutText(image.data(), c.text, length);
    EXPECT_EQ(Describe(layout), c.expected) << c.name;
  }
}

// Every value infinite or NaN, everywhere: the layout ends, and its extent stays
// finite whatever the boxes hold.
TEST(TextLayout, ValuesThatAreNotFiniteNeverBreakTheExtent) {
  for (float bad : {kNaN, kInfinity, -kInfinity}) {
    std::vector<uint8_t> image(kMetricsImageSize, 0);
    for (uint32_t offset = 0; offset + 4 <= kMetricsImageSize; offset += 4) {
      WriteSingle(image.data(), offset, bad);
    }
    const std::string text = "AB \x82\xa0\nZ";
    const TextLayout layout = LayOutText(image.data(), text.data(), text.size());
    EXPECT_EQ(layout.boxes.size(), 5u);
    EXPECT_TRUE(std::isfinite(layout.left) && std::isfinite(layout.right) &&
                std::isfinite(layout.top) && std::isfinite(layout.bottom));
  }
}

}  // namespace
