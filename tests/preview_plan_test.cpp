// The preview's plan: which boxes are drawn, where and how, the grid, the canvas,
// the character rule and the colours, as the preview and quorvel-cli render use them.
#include "preview_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "metrics_format.h"

namespace {

TextBox Glyph(double x, double y, double width, double height) {
  TextBox box;
  box.code = 'A';
  box.textLength = 1;
  box.x = x, box.y = y, box.width = width, box.height = height;
  return box;
}

TextBox Placeholder(double x, double y, double side) {
  TextBox box = Glyph(x, y, side, side);
  box.kind = BoxKind::Placeholder;
  box.code = kFullWidthSlot;
  return box;
}

PreviewPlanOptions FramesOff() {
  PreviewPlanOptions options;
  options.frames = false;
  return options;
}

PreviewPlanOptions RenderAtScale3() {
  PreviewPlanOptions options;
  options.scale = 3;
  options.onCanvas = false;
  options.capGlyphSide = false;
  return options;
}

// A layout with its corner at (0, 0) puts the canvas origin at the margin, (8, 8).
TEST(PreviewPlan, EachBoxAsDrawn) {
  const double nan = std::nan("");
  struct Case {
    const char* name;
    TextBox box;
    PreviewPlanOptions options;
    bool planned;
    PreviewRect rect;
    bool character, frame, filled;
  } cases[] = {
      {"glyph", Glyph(1, 2, 10, 12), {}, true, {9, 10, 10, 12}, true, true, false},
      {"placeholder", Placeholder(0, 0, 16), {}, true, {8, 8, 16, 16}, false, true, true},
      {"negative width from the right edge",
       Glyph(10, 2, -4, 12),
       {},
       true,
       {14, 10, 4, 12},
       true,
       true,
       false},
      {"negative height from the bottom",
       Glyph(1, 5, 3, -5),
       {},
       true,
       {9, 8, 3, 5},
       true,
       true,
       false},
      {"NaN left out", Glyph(nan, 0, 4, 4), {}, false, {}, false, false, false},
      {"infinite width left out", Glyph(0, 0, INFINITY, 4), {}, false, {}, false, false, false},
      {"beyond a double when scaled",
       Glyph(1e308, 0, 4, 4),
       RenderAtScale3(),
       false,
       {},
       false,
       false,
       false},
      {"at the glyph cap", Glyph(0, 0, 1024, 20), {}, true, {8, 8, 1024, 20}, true, true, false},
      {"beyond the glyph cap: frame only",
       Glyph(0, 0, 1025, 20),
       {},
       true,
       {8, 8, 1025, 20},
       false,
       true,
       false},
      {"no width: no character", Glyph(0, 0, 0, 12), {}, true, {8, 8, 0, 12}, false, true, false},
      {"frames off", Glyph(1, 2, 10, 12), FramesOff(), true, {9, 10, 10, 12}, true, false, false},
      {"frames off keep the placeholder's",
       Placeholder(0, 0, 16),
       FramesOff(),
       true,
       {8, 8, 16, 16},
       false,
       true,
       true},
      {"render: scaled, not shifted, no cap",
       Glyph(-1, 2, -400, 500),
       RenderAtScale3(),
       true,
       {-1203, 6, 1200, 1500},
       true,
       true,
       false},
  };
  for (const Case& c : cases) {
    TextLayout layout;
    layout.boxes = {c.box};
    const PreviewPlan plan = PlanPreview(layout, c.options);
    ASSERT_EQ(plan.boxes.size(), c.planned ? 1u : 0u) << c.name;
    if (!c.planned) continue;
    const PreviewBox& box = plan.boxes[0];
    EXPECT_EQ(box.rect.x, c.rect.x) << c.name;
    EXPECT_EQ(box.rect.y, c.rect.y) << c.name;
    EXPECT_EQ(box.rect.width, c.rect.width) << c.name;
    EXPECT_EQ(box.rect.height, c.rect.height) << c.name;
    EXPECT_EQ(box.drawsCharacter, c.character) << c.name;
    EXPECT_EQ(box.drawsFrame, c.frame) << c.name;
    EXPECT_EQ(box.filled, c.filled) << c.name;
    EXPECT_EQ(box.frameInk, c.filled ? PreviewInk::PlaceholderFrame : PreviewInk::GlyphFrame)
        << c.name;
  }
}

void SetRecord(std::vector<uint8_t>& image, uint8_t code, float width, float height) {
  WriteSingle(image.data(), ValueOffset(code, Width), width);
  WriteSingle(image.data(), ValueOffset(code, Height), height);
}

// Outside the editor's dialog a single-byte box shows its character only when its
// code has a visible one; a double-byte character always does. The boxes come from
// the layout itself, so that the rule reads them as the layout makes them.
TEST(PreviewPlan, WhichCharactersAreDrawn) {
  struct Case {
    const char* name;
    const char* text;
    uint8_t code;
    bool character;
    bool doubleByte;
  } cases[] = {
      {"ASCII letter", "A", 'A', true, false},
      {"half-width katakana", "ｱ", 0xB1, true, false},
      {"double-byte character", "漢", kFullWidthSlot, true, true},
      {"tab, a control code", "\t", 0x09, false, false},
      {"control code 0x10, the full-width record's code", "\x10", kFullWidthSlot, false, false},
      {"DEL", "\x7F", 0x7F, false, false},
      {"0x80", "\u0080", 0x80, false, false},
      {"0xA0, a private-use character", "\uF8F0", 0xA0, false, false},
      {"0xFF, a private-use character", "\uF8F3", 0xFF, false, false},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> image(kMetricsImageSize, 0);
    SetRecord(image, c.code, 10, 12);
    const TextLayout layout = LayOutUtf8Text(image.data(), c.text, std::strlen(c.text));
    ASSERT_EQ(layout.boxes.size(), 1u) << c.name;
    ASSERT_EQ(layout.boxes[0].kind, BoxKind::Glyph) << c.name;
    ASSERT_EQ(layout.boxes[0].code, c.code) << c.name;
    const PreviewPlan plan = PlanPreview(layout, PreviewPlanOptions());
    ASSERT_EQ(plan.boxes.size(), 1u) << c.name;
    EXPECT_EQ(plan.boxes[0].drawsCharacter, c.character) << c.name;
    EXPECT_EQ(plan.boxes[0].doubleByte, c.doubleByte) << c.name;
  }
}

// Each line's top, solid, and the bottom of its full-width box, dashed.
TEST(PreviewPlan, GridLinesForTwoLines) {
  TextLayout layout;
  layout.lineCount = 2;
  layout.lineStep = 30;
  layout.placeholderSide = 20;
  PreviewPlanOptions options;
  EXPECT_TRUE(PlanPreview(layout, options).lines.empty()) << "no grid unless asked";
  options.grid = true;
  const std::vector<PreviewLine> lines = PlanPreview(layout, options).lines;
  const PreviewLine expected[] = {{8, PreviewInk::LineTop, false},
                                  {28, PreviewInk::LineBottom, true},
                                  {38, PreviewInk::LineTop, false},
                                  {58, PreviewInk::LineBottom, true}};
  ASSERT_EQ(lines.size(), std::size(expected));
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].y, expected[i].y) << i;
    EXPECT_EQ(lines[i].ink, expected[i].ink) << i;
    EXPECT_EQ(lines[i].dashed, expected[i].dashed) << i;
  }
}

// The extent rounded up with 8 on each side, cut at 16384; the layout's corner at
// the margin.
TEST(PreviewPlan, CanvasSizeAndOrigin) {
  TextLayout layout;
  layout.left = -3.5, layout.top = -2, layout.right = 100.2, layout.bottom = 40;
  PreviewPlan plan = PlanPreview(layout, PreviewPlanOptions());
  EXPECT_EQ(plan.canvasWidth, 104 + 16);
  EXPECT_EQ(plan.canvasHeight, 42 + 16);
  EXPECT_EQ(plan.originX, 11.5);
  EXPECT_EQ(plan.originY, 10);
  layout.right = 1e300;
  EXPECT_EQ(PlanPreview(layout, PreviewPlanOptions()).canvasWidth, 16384);
}

// The SVG texts of each colour, against its numbers.
TEST(PreviewPlan, SvgColourTextsMatchTheColours) {
  struct Case {
    PreviewInk ink;
    PreviewColor color;
    const char* svg;
    const char* opacity;
  } cases[] = {
      {PreviewInk::GlyphFrame, {70, 130, 180, 255}, "#4682b4", "1"},
      {PreviewInk::PlaceholderFrame, {220, 0, 0, 255}, "#dc0000", "1"},
      {PreviewInk::PlaceholderFill, {255, 0, 0, 60}, "#ff0000", "0.235"},
      {PreviewInk::LineTop, {120, 170, 230, 255}, "#78aae6", "1"},
      {PreviewInk::LineBottom, {190, 190, 190, 255}, "#bebebe", "1"},
  };
  for (const Case& c : cases) {
    const PreviewColor color = PreviewColorOf(c.ink);
    EXPECT_EQ(color.red, c.color.red) << c.svg;
    EXPECT_EQ(color.green, c.color.green) << c.svg;
    EXPECT_EQ(color.blue, c.color.blue) << c.svg;
    EXPECT_EQ(color.alpha, c.color.alpha) << c.svg;
    EXPECT_EQ(SvgColorText(color), c.svg);
    EXPECT_EQ(SvgOpacityText(color), c.opacity) << c.svg;
  }
  EXPECT_EQ(SvgOpacityText({0, 0, 0, 0}), "0");
  EXPECT_EQ(SvgOpacityText({0, 0, 0, 51}), "0.2");
}

}  // namespace
