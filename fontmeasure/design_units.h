// A font's glyph metrics and outlines from its design units to the unhinted 26.6
// values FreeType gives at a pixel size, worked out here once for every font
// library's side of font_face.h, so that the sides cannot drift apart.
//
// FreeType scales a TrueType glyph by scale = FT_DivFix(pixels * 64, unitsPerEm)
// and each design value by FT_MulFix(value, scale), both rounding half away from
// zero in 16.16 fixed point. A glyph's box is the scaled box of its points:
//   left = MulFix(xMin), width = MulFix(xMax) - MulFix(xMin), the same for y,
// the advance is MulFix(advance), and the size's ascender is MulFix(ascender) rounded
// up to a whole pixel. When a glyph's glyf xMin differs from its hmtx left side
// bearing, FreeType moves the points and the advance's end by the difference
// (scaled on its own) so that the box starts at the bearing: the shift below.
//
// Exact for simple glyphs of the glyf format. FreeType scales each part of a
// composite glyph on its own, which the design values of the whole do not give.
//
// Also the few sfnt table fields these need, read from the tables' bytes as the
// font file holds them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "font_face.h"

// FreeType's FT_MulFix and FT_DivFix: a * b / 65536 and a * 65536 / b, rounded half
// away from zero as FreeType rounds them.
int64_t MultiplyFixed(int64_t a, int64_t b);
int64_t DivideFixed(int64_t a, int64_t b);

// The 16.16 factor from design units to 26.6 at a pixel size (em height).
int64_t DesignScale(int pixelSize, int unitsPerEm);

// A design value in 26.6: MulFix for whole values; a fraction (a curve's control
// point a library converted) rounds the same way.
int64_t ScaleDesignValue(double design, int64_t scale);

// One glyph in design units, y up, as the pen places it (the box of its points,
// moved by the shift), and outlineShift = glyf xMin - hmtx left side bearing (0
// for nearly every glyph): how far FreeType moves the glyph's own points.
struct DesignGlyph {
  bool hasOutline = false;  // false for a glyph with nothing to draw (the space)
  int64_t advance = 0;
  int64_t left = 0, bottom = 0, right = 0, top = 0;
  int64_t outlineShift = 0;
};

// The size's ascender in 26.6: the design ascender scaled, rounded up to a pixel.
int64_t SizeAscender(int64_t designAscender, int64_t scale);

// The glyph's GlyphMetrics (found, no load error) at scale.
GlyphMetrics GlyphMetricsOfDesign(const DesignGlyph& glyph, int64_t scale, int64_t sizeAscender);

// An outline point given as the pen places it (x from the pen in design units, y
// up) in 26.6, as FreeType scales the glyph's own point and then moves it.
OutlinePoint ScaleDesignPoint(double x, double y, int64_t outlineShift, int64_t scale);

// A table's bytes; size 0 when the font has no such table.
struct SfntTable {
  const uint8_t* bytes = nullptr;
  size_t size = 0;
};

// The ascender FreeType takes, in design units: OS/2's typo ascender when OS/2
// says to use its typo metrics (fsSelection bit 7), else hhea's.
int64_t DesignAscender(SfntTable os2, SfntTable hhea);

// The glyph's left side bearing in hmtx; false where hmtx has none for it.
bool ReadLeftSideBearing(SfntTable hhea, SfntTable hmtx, uint32_t glyph, int64_t* bearing);

// Whether head says that loca holds 32-bit offsets.
bool HasLongLocaOffsets(SfntTable head);

// Where a glyph's data lies in glyf, from its loca entry and the next one.
struct GlyfRange {
  uint64_t offset = 0, size = 0;
};
// loca holds the entries of glyph and glyph + 1 at the start of bytes.
GlyfRange GlyfRangeOfLoca(const uint8_t* entries, bool longOffsets);
// The size of those two entries.
constexpr size_t LocaEntriesSize(bool longOffsets) { return longOffsets ? 8 : 4; }

// The header of a glyph's glyf data: its contour count (negative for a composite
// glyph) and its box in the glyph's own coordinates.
struct GlyfHeader {
  int contours = 0;
  int64_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};
constexpr size_t kGlyfHeaderSize = 10;
GlyfHeader ReadGlyfHeader(const uint8_t* bytes);
