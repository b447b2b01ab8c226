#include "design_units.h"

#include <cmath>

namespace {

uint32_t ReadUint16(const uint8_t* p) { return static_cast<uint32_t>(p[0] << 8 | p[1]); }
int32_t ReadInt16(const uint8_t* p) { return static_cast<int16_t>(ReadUint16(p)); }
uint64_t ReadUint32(const uint8_t* p) { return uint64_t{ReadUint16(p)} << 16 | ReadUint16(p + 2); }

// Whole pixels up: FreeType's FT_PIX_CEIL.
int64_t CeilToPixel(int64_t x) { return (x + 63) & -64; }

}  // namespace

int64_t MultiplyFixed(int64_t a, int64_t b) {
  const int64_t product = a * b;
  // An arithmetic shift floors: adding 0x8000 rounds up from the half, one less
  // for a negative product rounds down from it, so both go away from zero.
  return (product + 0x8000 - (product < 0 ? 1 : 0)) >> 16;
}

int64_t DivideFixed(int64_t a, int64_t b) {
  const bool negative = (a < 0) != (b < 0);
  const uint64_t ua = static_cast<uint64_t>(a < 0 ? -a : a);
  const uint64_t ub = static_cast<uint64_t>(b < 0 ? -b : b);
  const uint64_t quotient = ub > 0 ? ((ua << 16) + (ub >> 1)) / ub : 0x7FFFFFFF;
  const int64_t value = static_cast<int64_t>(quotient);
  return negative ? -value : value;
}

int64_t DesignScale(int pixelSize, int unitsPerEm) {
  return DivideFixed(int64_t{pixelSize} * 64, unitsPerEm);
}

int64_t ScaleDesignValue(double design, int64_t scale) {
  // For a whole design value the product is exact in double and the division by
  // 2^16 too, and llround rounds half away from zero: MulFix exactly.
  return std::llround(design * static_cast<double>(scale) / 65536.0);
}

int64_t SizeAscender(int64_t designAscender, int64_t scale) {
  return CeilToPixel(MultiplyFixed(designAscender, scale));
}

GlyphMetrics GlyphMetricsOfDesign(const DesignGlyph& glyph, int64_t scale, int64_t sizeAscender) {
  // FreeType scales the glyph's own coordinates (bearing + shift), its advance's
  // end point among them, and then moves the result back by the shift scaled on
  // its own.
  const int64_t shift = MultiplyFixed(glyph.outlineShift, scale);
  const int64_t left = MultiplyFixed(glyph.left + glyph.outlineShift, scale) - shift;
  const int64_t right = MultiplyFixed(glyph.right + glyph.outlineShift, scale) - shift;
  const int64_t top = MultiplyFixed(glyph.top, scale);
  const int64_t bottom = MultiplyFixed(glyph.bottom, scale);
  GlyphMetrics metrics;
  metrics.found = true;
  metrics.hasOutline = glyph.hasOutline;
  metrics.bearingX = left;
  metrics.bearingY = top;
  metrics.width = right - left;
  metrics.height = top - bottom;
  metrics.advance = MultiplyFixed(glyph.advance + glyph.outlineShift, scale) - shift;
  metrics.ascender = sizeAscender;
  return metrics;
}

OutlinePoint ScaleDesignPoint(double x, double y, int64_t outlineShift, int64_t scale) {
  const double shift = static_cast<double>(outlineShift);
  return OutlinePoint{ScaleDesignValue(x + shift, scale) - MultiplyFixed(outlineShift, scale),
                      ScaleDesignValue(y, scale)};
}

int64_t DesignAscender(SfntTable os2, SfntTable hhea) {
  // OS/2: fsSelection at 62, sTypoAscender at 68; hhea: ascender at 4.
  const bool useTypoMetrics = os2.size >= 70 && (ReadUint16(os2.bytes + 62) & 0x80) != 0;
  if (useTypoMetrics) return ReadInt16(os2.bytes + 68);
  return hhea.size >= 6 ? ReadInt16(hhea.bytes + 4) : 0;
}

bool ReadLeftSideBearing(SfntTable hhea, SfntTable hmtx, uint32_t glyph, int64_t* bearing) {
  // hmtx holds numberOfHMetrics (hhea, at 34) pairs of advance and bearing, then
  // the bearings alone of the glyphs after them.
  if (hhea.size < 36) return false;
  const uint64_t pairs = ReadUint16(hhea.bytes + 34);
  const uint64_t at = glyph < pairs ? 4 * uint64_t{glyph} + 2 : 4 * pairs + 2 * (glyph - pairs);
  if (at + 2 > hmtx.size) return false;
  *bearing = ReadInt16(hmtx.bytes + at);
  return true;
}

bool HasLongLocaOffsets(SfntTable head) {
  return head.size >= 52 && ReadInt16(head.bytes + 50) != 0;  // indexToLocFormat
}

GlyfRange GlyfRangeOfLoca(const uint8_t* entries, bool longOffsets) {
  // Short offsets are stored halved.
  const uint64_t start = longOffsets ? ReadUint32(entries) : 2 * ReadUint16(entries);
  const uint64_t end = longOffsets ? ReadUint32(entries + 4) : 2 * ReadUint16(entries + 2);
  return GlyfRange{start, end > start ? end - start : 0};
}

GlyfHeader ReadGlyfHeader(const uint8_t* bytes) {
  return GlyfHeader{ReadInt16(bytes), ReadInt16(bytes + 2), ReadInt16(bytes + 4),
                    ReadInt16(bytes + 6), ReadInt16(bytes + 8)};
}
