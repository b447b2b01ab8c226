#include "preview_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "metrics_format.h"
#include "shift_jis.h"

namespace {

// A canvas side: the extent rounded up to whole units, with the margin on both
// sides, cut at the limit.
int CanvasSide(double extent) {
  return static_cast<int>(
      std::min<double>(std::ceil(extent) + 2 * kPreviewMargin, kMaxPreviewCanvasSide));
}

// Where a layout coordinate is drawn. Each step rounds, so the order is part of
// the result: scale, shift onto the canvas, and only then flip a box (PlacedRect).
double PlaceX(const PreviewPlan& plan, const PreviewPlanOptions& options, double x) {
  return options.onCanvas ? plan.originX + x * options.scale : x * options.scale;
}

double PlaceY(const PreviewPlan& plan, const PreviewPlanOptions& options, double y) {
  return options.onCanvas ? plan.originY + y * options.scale : y * options.scale;
}

bool IsFinite(const PreviewRect& rect) {
  return std::isfinite(rect.x) && std::isfinite(rect.y) && std::isfinite(rect.width) &&
         std::isfinite(rect.height);
}

PreviewRect PlacedRect(const PreviewPlan& plan, const PreviewPlanOptions& options,
                       const TextBox& box) {
  PreviewRect rect = {PlaceX(plan, options, box.x), PlaceY(plan, options, box.y),
                      box.width * options.scale, box.height * options.scale};
  if (rect.width < 0) rect.x += rect.width, rect.width = -rect.width;
  if (rect.height < 0) rect.y += rect.height, rect.height = -rect.height;
  return rect;
}

// A double-byte character uses the full-width record. The one single-byte
// character with that code, the control code 0x10, is one byte long in any text.
bool IsDoubleByte(const TextBox& box) { return box.code == kFullWidthSlot && box.textLength > 1; }

PreviewBox PlanBox(const TextBox& box, const PreviewRect& rect, const PreviewPlanOptions& options) {
  PreviewBox planned;
  planned.kind = box.kind;
  planned.rect = rect;
  planned.code = box.code;
  planned.textOffset = box.textOffset;
  planned.textLength = box.textLength;
  if (box.kind == BoxKind::Placeholder) {
    planned.filled = true;
    planned.drawsFrame = true;
    planned.frameInk = PreviewInk::PlaceholderFrame;
    return planned;
  }
  planned.doubleByte = IsDoubleByte(box);
  const bool withinCap = !options.capGlyphSide || (rect.width <= kMaxPreviewGlyphSide &&
                                                   rect.height <= kMaxPreviewGlyphSide);
  planned.drawsCharacter = ShowsCharacter(box) && rect.width > 0 && rect.height > 0 && withinCap;
  planned.drawsFrame = options.frames;
  if (options.pendingCodes[box.code]) {
    planned.drawsFrame = true;
    planned.dashedFrame = true;
  }
  return planned;
}

// Each line's top, then the bottom of its full-width box (a placeholder's side below).
void PlanGrid(PreviewPlan& plan, const TextLayout& layout, const PreviewPlanOptions& options) {
  for (int line = 0; line < layout.lineCount; ++line) {
    const double top = PlaceY(plan, options, line * layout.lineStep);
    plan.lines.push_back({top, PreviewInk::LineTop, false});
    plan.lines.push_back(
        {top + layout.placeholderSide * options.scale, PreviewInk::LineBottom, true});
  }
}

}  // namespace

std::string SvgColorText(PreviewColor color) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", color.red, color.green, color.blue);
  return text;
}

std::string SvgOpacityText(PreviewColor color) {
  int thousandths = (color.alpha * 1000 + 127) / 255;
  if (thousandths == 1000) return "1";
  char text[8];
  std::snprintf(text, sizeof text, "0.%03d", thousandths);
  std::string opacity = text;
  while (opacity.back() == '0') opacity.pop_back();
  if (opacity.back() == '.') opacity.pop_back();
  return opacity;
}

bool ShowsCharacter(const TextBox& box) {
  return IsDoubleByte(box) || VisibleCharacterOfCode(box.code) >= 0;
}

uint32_t CharacterOfBox(const PreviewBox& box, const std::string& utf8) {
  if (box.textLength == 0 || static_cast<size_t>(box.textOffset) + box.textLength > utf8.size())
    return 0;
  const std::string character = utf8.substr(box.textOffset, box.textLength);
  uint32_t codePoint = 0;
  return DecodeUtf8(character.c_str(), &codePoint) == character.size() ? codePoint : 0;
}

PreviewPlan PlanPreview(const TextLayout& layout, const PreviewPlanOptions& options) {
  PreviewPlan plan;
  plan.canvasWidth = CanvasSide((layout.right - layout.left) * options.scale);
  plan.canvasHeight = CanvasSide((layout.bottom - layout.top) * options.scale);
  plan.originX = kPreviewMargin - layout.left * options.scale;
  plan.originY = kPreviewMargin - layout.top * options.scale;
  if (options.grid) PlanGrid(plan, layout, options);
  for (const TextBox& box : layout.boxes) {
    const PreviewRect rect = PlacedRect(plan, options, box);
    if (IsFinite(rect)) plan.boxes.push_back(PlanBox(box, rect, options));
  }
  return plan;
}

const char kDefaultSampleText[] =
    "\xe6\xbc\xa2\xe5\xad\x97\xe3\x81\x8b\xe3\x81\xaa"
    "\xef\xbd\xb6\xef\xbe\x85 Abc 123";  // 漢字かなｶﾅ Abc 123

PixelArea PixelsOfBox(const PreviewRect& box, const PixelArea& area) {
  const double left = area.left - 2, right = area.right + 2;
  const double top = area.top - 2, bottom = area.bottom + 2;
  const double boxRight = box.x + box.width, boxBottom = box.y + box.height;
  if (boxRight < left || box.x > right || boxBottom < top || box.y > bottom) return PixelArea();
  const auto pixel = [](double value, double low, double high) {
    return static_cast<int>(std::lround(std::clamp(value, low, high)));
  };
  const int x0 = pixel(box.x, left, right), x1 = pixel(boxRight, left, right);
  const int y0 = pixel(box.y, top, bottom), y1 = pixel(boxBottom, top, bottom);
  return {x0, y0, std::max(x1, x0 + 1), std::max(y1, y0 + 1)};
}

bool MapInkToBox(const InkBox& ink, const PreviewRect& box, InkTransform* transform) {
  const double inkWidth = ink.right - ink.left, inkHeight = ink.top - ink.bottom;
  if (!(inkWidth > 0 && inkHeight > 0)) return false;
  InkTransform mapped;
  mapped.scaleX = box.width / inkWidth;
  mapped.scaleY = -box.height / inkHeight;
  mapped.offsetX = box.x - mapped.scaleX * ink.left;
  mapped.offsetY = box.y - mapped.scaleY * ink.top;
  // A scale that is 0 (a box too flat for the ink, or one that underflows) would
  // fold the outline into a line: nothing to draw.
  if (!(std::isfinite(mapped.scaleX) && std::isfinite(mapped.scaleY) &&
        std::isfinite(mapped.offsetX) && std::isfinite(mapped.offsetY)) ||
      mapped.scaleX == 0 || mapped.scaleY == 0) {
    return false;
  }
  *transform = mapped;
  return true;
}
