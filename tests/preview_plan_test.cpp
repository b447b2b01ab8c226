// The preview's plan: which boxes are drawn, where and how, the grid, the canvas,
// the character rule and the colours, as the preview and quorvel-cli render use them.
#include "preview_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "metrics_format.h"

namespace {

TextBox Box(BoxKind kind, double x, double y, double width, double height) {
  TextBox box;
  box.kind = kind;
  box.code = kind == BoxKind::Glyph ? 'A' : kFullWidthSlot;
  box.textLength = 1;
  box.x = x, box.y = y, box.width = width, box.height = height;
  return box;
}

// The plan of one box as "x,y wxh" and what it draws, or "-" when it is left out.
std::string PlannedBoxText(const TextBox& box, const PreviewPlanOptions& options) {
  TextLayout layout;
  layout.boxes = {box};
  const PreviewPlan plan = PlanPreview(layout, options);
  if (plan.boxes.empty()) return "-";
  const PreviewBox& b = plan.boxes[0];
  char text[96];
  std::snprintf(
      text, sizeof text, "%g,%g %gx%g%s%s%s", b.rect.x, b.rect.y, b.rect.width, b.rect.height,
      b.filled ? " filled" : "",
      b.drawsFrame ? (b.frameInk == PreviewInk::GlyphFrame ? " frame" : " red frame") : "",
      b.drawsCharacter ? " character" : "");
  return text;
}

// A layout with its corner at (0, 0) has the canvas origin at the margin, (8, 8).
TEST(PreviewPlan, EachBoxAsDrawn) {
  const BoxKind G = BoxKind::Glyph, P = BoxKind::Placeholder;
  PreviewPlanOptions preview, framesOff, render;
  framesOff.frames = false;
  render.scale = 3, render.onCanvas = false, render.capGlyphSide = false;
  struct Case {
    const char* name;
    TextBox box;
    const PreviewPlanOptions& options;
    const char* expected;
  } cases[] = {
      {"glyph", Box(G, 1, 2, 10, 12), preview, "9,10 10x12 frame character"},
      {"placeholder", Box(P, 0, 0, 16, 16), preview, "8,8 16x16 filled red frame"},
      {"negative width: from the right edge", Box(G, 10, 2, -4, 12), preview,
       "14,10 4x12 frame character"},
      {"negative height: from the bottom", Box(G, 1, 5, 3, -5), preview, "9,8 3x5 frame character"},
      {"NaN left out", Box(G, std::nan(""), 0, 4, 4), preview, "-"},
      {"beyond a double once scaled", Box(G, 1e308, 0, 4, 4), render, "-"},
      {"at the glyph cap", Box(G, 0, 0, 1024, 20), preview, "8,8 1024x20 frame character"},
      {"beyond the glyph cap: frame only", Box(G, 0, 0, 1025, 20), preview, "8,8 1025x20 frame"},
      {"no width: no character", Box(G, 0, 0, 0, 12), preview, "8,8 0x12 frame"},
      {"frames off", Box(G, 1, 2, 10, 12), framesOff, "9,10 10x12 character"},
      {"frames off, placeholder", Box(P, 0, 0, 16, 16), framesOff, "8,8 16x16 filled red frame"},
      {"render: scaled, not shifted, no cap", Box(G, -1, 2, -400, 500), render,
       "-1203,6 1200x1500 frame character"},
  };
  for (const Case& c : cases) EXPECT_EQ(PlannedBoxText(c.box, c.options), c.expected) << c.name;
}

// Outside the editor's dialog a single-byte box shows its character only when its
// code has a visible one; a double-byte character always does. The boxes come from
// the layout, so that the rule reads them as the layout makes them.
TEST(PreviewPlan, WhichCharactersAreDrawn) {
  struct Case {
    const char* text;
    uint8_t code;
    bool character, doubleByte;
  } cases[] = {
      {"A", 'A', true, false},
      {"ｱ", 0xB1, true, false},
      {"漢", kFullWidthSlot, true, true},
      {"\t", 0x09, false, false},
      {"\x10", kFullWidthSlot, false, false},  // a control code with the full-width record
      {"\u0080", 0x80, false, false},
      {"\uF8F0", 0xA0, false, false},  // the code page's private-use character
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> image(kMetricsImageSize, 0);
    WriteSingle(image.data(), ValueOffset(c.code, Width), 10);
    WriteSingle(image.data(), ValueOffset(c.code, Height), 12);
    const TextLayout layout = LayOutUtf8Text(image.data(), c.text, std::strlen(c.text));
    ASSERT_EQ(layout.boxes.size(), 1u) << int{c.code};
    ASSERT_EQ(layout.boxes[0].code, c.code);
    const std::vector<PreviewBox> boxes = PlanPreview(layout, PreviewPlanOptions()).boxes;
    EXPECT_EQ(boxes.at(0).drawsCharacter, c.character) << int{c.code};
    EXPECT_EQ(boxes.at(0).doubleByte, c.doubleByte) << int{c.code};
  }
}

// The ink's corners land on the box's corners, y turned downward; ink that cannot
// be mapped draws nothing.
TEST(PreviewPlan, InkMapsOntoTheBoxEdgeOntoEdge) {
  struct Case {
    const char* name;
    InkBox ink;  // left, bottom, right, top
    PreviewRect box;
    const char* mapped;  // the ink's top-left and bottom-right corners drawn, or "-"
  } cases[] = {
      {"same size: moved only", {64, -128, 640, 1024}, {10, 20, 576, 1152}, "10,20 586,1172"},
      {"stretched wider and flatter", {0, 0, 100, 100}, {3.5, 2, 300, 50}, "3.5,2 303.5,52"},
      {"ink below the baseline", {-50, -300, 50, -100}, {1, 1, 4, 8}, "1,1 5,9"},
      {"no ink width (a line has no area)", {5, 0, 5, 100}, {0, 0, 10, 10}, "-"},
      {"a scale that underflows", {0, 0, 100, 1e300}, {0, 0, 10, 1e-300}, "-"},
      {"a scale beyond a double", {0, 0, 1e-300, 1}, {0, 0, 1e300, 1}, "-"},
  };
  for (const Case& c : cases) {
    InkTransform t;
    std::string mapped = "-";
    if (MapInkToBox(c.ink, c.box, &t)) {
      char text[96];
      std::snprintf(text, sizeof text, "%g,%g %g,%g", t.scaleX * c.ink.left + t.offsetX,
                    t.scaleY * c.ink.top + t.offsetY, t.scaleX * c.ink.right + t.offsetX,
                    t.scaleY * c.ink.bottom + t.offsetY);
      mapped = text;
    }
    EXPECT_EQ(mapped, c.mapped) << c.name;
  }
}

// Each line's top, solid, and the bottom of its full-width box, dashed.
TEST(PreviewPlan, GridLinesForTwoLines) {
  TextLayout layout;
  layout.lineCount = 2, layout.lineStep = 30, layout.placeholderSide = 20;
  PreviewPlanOptions options;
  EXPECT_TRUE(PlanPreview(layout, options).lines.empty()) << "no grid unless asked";
  options.grid = true;
  std::string lines;
  for (const PreviewLine& line : PlanPreview(layout, options).lines) {
    lines += std::to_string(int(line.y)) + (line.ink == PreviewInk::LineTop ? " top" : " bottom") +
             (line.dashed ? " dashed, " : ", ");
  }
  EXPECT_EQ(lines, "8 top, 28 bottom dashed, 38 top, 58 bottom dashed, ");
}

// The extent rounded up with 8 on each side, cut at 16384; the layout's corner at
// the margin.
TEST(PreviewPlan, CanvasSizeAndOrigin) {
  TextLayout layout;
  layout.left = -3.5, layout.top = -2, layout.right = 100.2, layout.bottom = 1e300;
  const PreviewPlan plan = PlanPreview(layout, PreviewPlanOptions());
  EXPECT_EQ(plan.canvasWidth, 104 + 16);
  EXPECT_EQ(plan.canvasHeight, 16384);
  EXPECT_EQ(plan.originX, 11.5);
  EXPECT_EQ(plan.originY, 10);
}

TEST(PreviewPlan, SvgColourTextsAreTheColours) {
  EXPECT_EQ(SvgColorText(PreviewColorOf(PreviewInk::GlyphFrame)), "#4682b4");  // 70, 130, 180
  EXPECT_EQ(SvgColorText(PreviewColorOf(PreviewInk::PlaceholderFrame)), "#dc0000");
  EXPECT_EQ(SvgColorText(PreviewColorOf(PreviewInk::PlaceholderFill)), "#ff0000");
  EXPECT_EQ(SvgColorText(PreviewColorOf(PreviewInk::LineTop)), "#78aae6");
  EXPECT_EQ(SvgOpacityText(PreviewColorOf(PreviewInk::PlaceholderFill)), "0.235");  // 60 / 255
  EXPECT_EQ(SvgOpacityText(PreviewColorOf(PreviewInk::GlyphFrame)), "1");
  EXPECT_EQ(SvgOpacityText({0, 0, 0, 51}), "0.2");
}

}  // namespace

// The whole pixels a box covers within an area of the canvas, as both previews
// fill and outline them: rounded edges, at least one pixel, nothing outside.
TEST(PreviewPlan, PixelsOfABoxWithinAnArea) {
  const PixelArea area = {10, 20, 110, 70};  // 100 x 50 pixels from (10, 20)
  const struct {
    const char* name;
    PreviewRect box;
    PixelArea pixels;
  } cases[] = {
      {"inside, rounded", {12.4, 21.6, 10.2, 5.0}, {12, 22, 23, 27}},
      {"no width: one pixel", {30, 30, 0, 4}, {30, 30, 31, 34}},
      {"no size at all", {30.5, 30.5, 0, 0}, {31, 31, 32, 32}},
      {"over the left edge, kept a little beyond it", {-1e9, 30, 1e9 + 15, 2}, {8, 30, 15, 32}},
      {"beyond the right edge", {108, 30, 1e12, 2}, {108, 30, 112, 32}},
      {"far off to the right", {500, 30, 10, 2}, {}},
      {"just above the area", {20, 10, 5, 7.5}, {}},
      {"touching the top's margin", {20, 10, 5, 8}, {20, 18, 25, 18 + 1}},
  };
  for (const auto& c : cases) {
    const PixelArea got = PixelsOfBox(c.box, area);
    if (IsEmptyArea(c.pixels)) {
      EXPECT_TRUE(IsEmptyArea(got)) << c.name;
      continue;
    }
    EXPECT_EQ(got.left, c.pixels.left) << c.name;
    EXPECT_EQ(got.top, c.pixels.top) << c.name;
    EXPECT_EQ(got.right, c.pixels.right) << c.name;
    EXPECT_EQ(got.bottom, c.pixels.bottom) << c.name;
  }
}
