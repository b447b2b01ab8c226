// Metrics measured from fonts: the values against FreeType called here directly,
// and a line laid out with them against the font's own pen positions.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "font_face.h"
#include "font_face_freetype.h"
#include "font_measure.h"
#include "metrics_format.h"
#include "shift_jis.h"
#include "test_files.h"
#include "text_layout.h"

namespace {

// Fonts that Debian ships (fonts-ipafont-gothic, fonts-vlgothic); VL PGothic is
// proportional.
constexpr char kIpaGothic[] = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
constexpr char kVlGothic[] = "/usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf";
constexpr char kVlPGothic[] = "/usr/share/fonts/truetype/vlgothic/VL-PGothic-Regular.ttf";

// A glyph as FreeType gives it, loaded without the code under test; 26.6 units.
struct ReferenceGlyph {
  bool present = false;
  bool empty = false;  // no outline points
  long bearingX = 0, bearingY = 0, width = 0, height = 0, advance = 0, ascender = 0;
};

ReferenceGlyph LoadReference(const char* font, int size, uint32_t character) {
  ReferenceGlyph glyph;
  FT_Library library;
  FT_Face face;
  if (FT_Init_FreeType(&library) != 0) return glyph;
  if (FT_New_Face(library, font, 0, &face) == 0 && FT_Set_Pixel_Sizes(face, 0, size) == 0) {
    FT_UInt index = FT_Get_Char_Index(face, character);
    if (index != 0 && FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING) == 0) {
      const FT_Glyph_Metrics& m = face->glyph->metrics;
      glyph = {true,           face->glyph->outline.n_points == 0,
               m.horiBearingX, m.horiBearingY,
               m.width,        m.height,
               m.horiAdvance,  face->size->metrics.ascender};
    }
  }
  FT_Done_FreeType(library);
  return glyph;
}

// The five values (Width, Height, SpacingLeft, SpacingRight, OffsetY) the model
// gives, worked out in pixels with the C library's rounding (nearest, ties to even).
std::vector<float> ExpectedValues(const ReferenceGlyph& g, bool round) {
  double r = 1.0 / 64;
  if (g.empty)
    return {0, 0, 0, static_cast<float>(round ? std::nearbyint(g.advance * r) : g.advance * r), 0};
  double left = g.bearingX * r, right = (g.bearingX + g.width) * r, advance = g.advance * r;
  double top = (g.ascender - g.bearingY) * r, bottom = top + g.height * r;
  if (round) {
    for (double* edge : {&left, &right, &advance, &top, &bottom}) *edge = std::nearbyint(*edge);
  }
  return {static_cast<float>(right - left), static_cast<float>(bottom - top),
          static_cast<float>(left), static_cast<float>(advance - right), static_cast<float>(top)};
}

std::vector<float> StoredValues(const uint8_t* image, uint8_t code) {
  std::vector<float> values;
  for (uint32_t v = Width; v <= OffsetY; ++v) values.push_back(ReadRecordValue(image, code, v));
  return values;
}

Bytes BaseImage() {
  Bytes image = PatternedFile(5);
  image.resize(kMetricsImageSize, 0);
  return image;
}

FontFace OpenOrFail(const char* font) {
  FontFace face;
  FontOpenResult opened = OpenFontFace(font, &face);
  EXPECT_EQ(opened.status, FontOpenStatus::Opened) << font << ": " << FontOpenFailureReason(opened);
  return face;
}

// What a slot must hold after the measure.
enum class Expect {
  Sample,       // the five values of the sample character
  Untouched,    // the base image's bytes
  Cleared,      // all fourteen values zero
  HalfOfWidth,  // only Width: the sample's Width / 2 rounded to even
};

struct SlotCheck {
  uint8_t code;
  Expect expect;
};

struct ModelCase {
  const char* name;
  const char* font;
  int size;
  bool round, fullWidth, halfKana, halfAlnum;
  std::vector<uint8_t> codes;
  uint32_t sample;  // of the class measured; 0: the default
  std::vector<SlotCheck> slots;
  size_t setCount, leftCount;
};

// Every code set from its own character is checked against FreeType besides the
// slots named.
// clang-format off
const ModelCase kModelCases[] = {
    {"letter", kIpaGothic, 16, false, false, false, false, {'A'}, 0, {{'B', Expect::Untouched}}, 1, 0},
    {"alphanumerics: space, fractional advances, 0x7F skipped", kVlPGothic, 13, false, false, false, true, {}, 0,
     {{0x7F, Expect::Untouched}}, 95, 0},
    {"alphanumerics, rounded edges (ties among them)", kVlPGothic, 13, true, false, false, true, {}, 0, {}, 95, 0},
    {"half-width katakana, slots 18 and 23 from the sample", kVlGothic, 24, false, false, true, false, {}, 0,
     {{18, Expect::Sample}, {23, Expect::Sample}}, 63 + 2, 0},
    {"control code, lead byte, private use skipped", kIpaGothic, 12, false, false, false, false, {0x0A, 0x82, 0xFD}, 0,
     {{0x0A, Expect::Untouched}, {0x82, Expect::Untouched}, {0xFD, Expect::Untouched}}, 0, 0},
    {"full width with its companion slots", kIpaGothic, 17, false, true, false, false, {}, 0x56FD,
     {{16, Expect::Sample}, {21, Expect::Sample}, {17, Expect::Cleared}, {22, Expect::Cleared},
      {19, Expect::HalfOfWidth}, {24, Expect::HalfOfWidth}}, 6, 0},
    {"sample the font lacks (IPA Gothic has no ∑): its slots left", kIpaGothic, 16, false, true, false, false, {'A'}, 0x2211,
     {{16, Expect::Untouched}, {17, Expect::Untouched}, {19, Expect::Untouched}}, 1, 1},
};
// clang-format on

void CheckSlot(const ModelCase& c, uint32_t sample, const SlotCheck& slot, const Bytes& base,
               const uint8_t* image) {
  SCOPED_TRACE(std::string(c.name) + ", slot " + std::to_string(slot.code));
  const uint8_t* record = image + RecordOffset(slot.code);
  if (slot.expect == Expect::Untouched) {
    EXPECT_EQ(std::memcmp(record, base.data() + RecordOffset(slot.code), kRecordSize), 0);
  } else if (slot.expect == Expect::Cleared) {
    EXPECT_EQ(Bytes(record, record + kRecordSize), Bytes(kRecordSize, 0));
  } else {
    std::vector<float> expected = ExpectedValues(LoadReference(c.font, c.size, sample), c.round);
    if (slot.expect == Expect::HalfOfWidth)
      expected = {std::nearbyint(expected[0] / 2), 0, 0, 0, 0};
    EXPECT_EQ(StoredValues(image, slot.code), expected);
  }
}

TEST(FontMeasure, ValuesFollowTheModel) {
  for (const ModelCase& c : kModelCases) {
    FontFace face = OpenOrFail(c.font);
    MeasureRequest request;
    request.pixelSize = c.size;
    request.roundEdges = c.round;
    request.fullWidth = c.fullWidth, request.halfKana = c.halfKana, request.halfAlnum = c.halfAlnum;
    request.codes = c.codes;
    uint32_t sample = c.sample ? c.sample : request.halfKanaSample;
    request.fullWidthSample = request.halfKanaSample = sample;
    Bytes base = BaseImage(), image = base;
    MeasureReport report;
    ASSERT_TRUE(MeasureIntoImage(face, request, image.data(), &report)) << c.name;
    CloseFontFace(&face);
    for (uint8_t code : report.setCodes) {
      int32_t character = ShiftJisByteToUnicode(code);
      if (character < 0x20) continue;  // a slot, checked below
      ReferenceGlyph glyph = LoadReference(c.font, c.size, static_cast<uint32_t>(character));
      EXPECT_EQ(StoredValues(image.data(), code), ExpectedValues(glyph, c.round))
          << c.name << " " << code;
      // Values 0-7 and 13 belong to the file, not to the measure.
      EXPECT_EQ(std::memcmp(&image[RecordOffset(code)], &base[RecordOffset(code)], 4 * Width), 0);
    }
    for (const SlotCheck& slot : c.slots) CheckSlot(c, sample, slot, base, image.data());
    EXPECT_EQ(report.setCodes.size(), c.setCount) << c.name;
    EXPECT_EQ(report.left.size(), c.leftCount) << c.name;
    EXPECT_EQ(ReadLineSpacing(image.data()), ReadLineSpacing(base.data())) << c.name;
  }
}

// Laid out with the measured file, a line's boxes are the font's own glyph boxes at
// the font's pen positions: each advance exactly as FreeType sums them.
TEST(FontMeasure, LayoutPlacesGlyphsWhereTheFontDoes) {
  const char text[] = "Quick g_y, 12/3 ｶﾞﾗｽ!";
  const int size = 13;  // fractional advances
  FontFace face = OpenOrFail(kVlPGothic);
  MeasureRequest request;
  request.pixelSize = size;
  request.halfAlnum = request.halfKana = true;
  Bytes image(kMetricsImageSize, 0);
  MeasureReport report;
  ASSERT_TRUE(MeasureIntoImage(face, request, image.data(), &report));
  CloseFontFace(&face);

  TextLayout layout = LayOutUtf8Text(image.data(), text, std::strlen(text));
  size_t box = 0;
  double pen = 0;
  for (size_t offset = 0, length; text[offset] != 0; offset += length) {
    uint32_t character = 0;
    length = DecodeUtf8(text + offset, &character);
    ReferenceGlyph glyph = LoadReference(kVlPGothic, size, character);
    if (!glyph.empty) {
      ASSERT_LT(box, layout.boxes.size());
      const TextBox& placed = layout.boxes[box++];
      EXPECT_EQ(placed.textOffset, offset);
      EXPECT_EQ(placed.x, pen + glyph.bearingX / 64.0) << character;
      EXPECT_EQ(placed.y, (glyph.ascender - glyph.bearingY) / 64.0) << character;
      EXPECT_EQ(placed.width, glyph.width / 64.0) << character;
      EXPECT_EQ(placed.height, glyph.height / 64.0) << character;
    }
    pen += glyph.advance / 64.0;
  }
  EXPECT_EQ(box, layout.boxes.size());
}

TEST(FontFace, FreeTypeErrorTextOfAnUnknownCode) {
  EXPECT_EQ(FreeTypeErrorText(9999), "FreeType error 9999");
}

}  // namespace
