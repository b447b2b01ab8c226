// The preview's plan: what a drawing of a text layout shows, where and in which
// colour. The editor's preview and quorvel-cli render both draw from it, so that
// they agree on every box; each only turns it into pixels or SVG.
//
// A plan's units are the layout's times the scale. On the preview's canvas the
// layout is shifted by a margin so that outlines on its edge show whole; render
// keeps the layout's own coordinates and shifts its view box instead.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "metrics_format.h"
#include "text_layout.h"

constexpr int kPreviewMargin = 8;              // room on each side of the layout
constexpr int kMaxPreviewCanvasSide = 16384;   // a larger layout is cut off there
constexpr double kMaxPreviewGlyphSide = 1024;  // larger boxes get their outline only

// The sample text a new preview starts with: kanji, kana, half-width katakana,
// Latin letters and digits (UTF-8).
extern const char kDefaultSampleText[];

// How a preview shows its plan: the options a user sets, kept across runs.
constexpr int kMaxPreviewZoom = 8;
struct PreviewOptions {
  bool outlines = true;  // 枠線: glyph boxes outlined
  bool grid = false;     // 行の基準線
  int zoom = 2;          // 1-kMaxPreviewZoom: each layout pixel is zoom x zoom screen pixels
};

// What each part of the drawing is drawn with.
enum class PreviewInk : uint8_t {
  GlyphFrame,        // a glyph box's outline (枠線)
  PlaceholderFrame,  // the outline of a character without a usable record
  PlaceholderFill,   // its inside, translucent
  LineTop,           // the grid line at each line's top
  LineBottom,        // the dashed grid line at the bottom of its full-width box
};

struct PreviewColor {
  uint8_t red, green, blue;
  uint8_t alpha;  // 255 is opaque
};

// The colours by ink, in PreviewInk's order.
constexpr PreviewColor kPreviewColors[] = {
    {70, 130, 180, 255},   // GlyphFrame
    {220, 0, 0, 255},      // PlaceholderFrame
    {255, 0, 0, 60},       // PlaceholderFill
    {120, 170, 230, 255},  // LineTop
    {190, 190, 190, 255},  // LineBottom
};

constexpr PreviewColor PreviewColorOf(PreviewInk ink) {
  return kPreviewColors[static_cast<int>(ink)];
}

// The colour as SVG writes it: {70, 130, 180} -> "#4682b4".
std::string SvgColorText(PreviewColor color);
// The colour's alpha as an SVG opacity, to three decimals: 60 -> "0.235", 255 -> "1".
std::string SvgOpacityText(PreviewColor color);

struct PreviewRect {
  double x = 0, y = 0, width = 0, height = 0;
};

// One box of the layout as drawn, in text order.
struct PreviewBox {
  BoxKind kind = BoxKind::Glyph;
  // Turned the right way round: a negative width or height is drawn from the
  // other edge, so width and height are never negative.
  PreviewRect rect;
  uint8_t code = 0;                         // the record used, as in TextBox
  uint32_t textOffset = 0, textLength = 0;  // the character in the text laid out
  bool doubleByte = false;                  // a double-byte character (full-width record)
  bool drawsCharacter = false;              // the character is drawn fitted to the box
  bool filled = false;       // the inside is painted with PreviewInk::PlaceholderFill
  bool drawsFrame = false;   // the outline is drawn with frameInk
  bool dashedFrame = false;  // dashed: the box has values the change command would write
  PreviewInk frameInk = PreviewInk::GlyphFrame;
};

// A grid line across the whole drawing.
struct PreviewLine {
  double y = 0;
  PreviewInk ink = PreviewInk::LineTop;
  bool dashed = false;
};

struct PreviewPlanOptions {
  bool frames = true;  // glyph boxes outlined; placeholders always are
  bool grid = false;   // each line's top and the bottom of its full-width box
  double scale = 1;    // plan units per layout unit
  // true: shifted onto the canvas by its origin; false: the layout's own
  // coordinates times the scale.
  bool onCanvas = true;
  // A raster glyph beyond kMaxPreviewGlyphSide costs more than it shows: such a
  // box then draws no character. Text in a vector picture has no such cost.
  bool capGlyphSide = true;
  // The codes whose records a pending change (pending_change.h) would alter: the
  // layout has their pending values, and their glyph boxes are outlined dashed,
  // with frames off too.
  std::bitset<kCodeCount> pendingCodes;
};

struct PreviewPlan {
  // The canvas: the layout's extent with kPreviewMargin around it, in whole plan
  // units, each side at most kMaxPreviewCanvasSide.
  int canvasWidth = 0, canvasHeight = 0;
  double originX = 0, originY = 0;  // where the layout's (0, 0) lies on the canvas
  std::vector<PreviewLine> lines;   // drawn first, in line order
  std::vector<PreviewBox> boxes;    // then these, each over the ones before
};

// What to draw for layout. Boxes whose drawn rectangle is not finite (a value that
// is NaN or infinite, or beyond a double after scaling) are left out.
PreviewPlan PlanPreview(const TextLayout& layout, const PreviewPlanOptions& options);

// A part of the canvas in whole pixels: left <= x < right, top <= y < bottom.
struct PixelArea {
  int left = 0, top = 0, right = 0, bottom = 0;
};

inline bool IsEmptyArea(const PixelArea& area) {
  return area.right <= area.left || area.bottom <= area.top;
}

// The whole pixels box covers within area (at least one pixel each way, so that a
// box of no width still shows as a line), or an empty area when it lies outside.
// Coordinates are clamped a little beyond area first, so that a far-off box cannot
// overflow an int and its outline stays outside.
PixelArea PixelsOfBox(const PreviewRect& box, const PixelArea& area);

// The drawing rule of a character: its glyph's ink box, the control box of its
// outline, is mapped onto its box, edge onto edge, whatever the font's cell around
// it. A box measured from the font at the size is the ink's own box, so the glyph
// lands where the font renders it; a box of other proportions stretches the ink to
// it, never the cell.

// A glyph's ink box in its outline's units, y growing upward as fonts have it.
struct InkBox {
  double left = 0, bottom = 0, right = 0, top = 0;
};

// Where an outline point (x, y) is drawn, in plan units:
// (scaleX * x + offsetX, scaleY * y + offsetY). scaleY is negative: y grows
// downward in the plan.
struct InkTransform {
  double scaleX = 1, scaleY = -1, offsetX = 0, offsetY = 0;
};

// The transform that maps ink onto box: its left edge onto the box's left, its
// top onto the box's top, and so on. false when the ink has no width or no height
// (an outline without area draws nothing), or the box folds it to a line or beyond
// a double (a scale of 0 or a transform that is not finite).
bool MapInkToBox(const InkBox& ink, const PreviewRect& box, InkTransform* transform);

// The character a box stands for: the Unicode character of the text laid out
// (utf8) at the box's offset, 0 for malformed text.
uint32_t CharacterOfBox(const PreviewBox& box, const std::string& utf8);

// Whether a glyph box shows its character: a double-byte character always, a
// single-byte one only when VisibleCharacterOfCode gives its code a character
// (nothing for control codes, lead bytes and the private-use codes).
bool ShowsCharacter(const TextBox& box);
