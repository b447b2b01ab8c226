// Every glyph of the installed Japanese fonts against FreeType's own scaled,
// unhinted loading, to the bit: the design units scaled by design_units.h (as the
// DirectWrite side scales them, composite glyphs too), and the FreeType side's
// metrics and outline (design units for simple glyphs). Built with
// QUORVEL_FULL_SWEEP (QUORVEL_EXHAUSTIVE_TESTS) it takes every glyph at every size
// below; otherwise every glyph at two sizes.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <vector>

#include "design_units.h"
#include "font_face.h"
#include "font_face_freetype.h"

namespace {

const char* const kFonts[] = {
    "/usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf",
    "/usr/share/fonts/truetype/vlgothic/VL-PGothic-Regular.ttf",
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf",
};
#ifdef QUORVEL_FULL_SWEEP
const int kSizes[] = {8, 11, 12, 13, 16, 24, 33, 48};
#else
const int kSizes[] = {8, 24};  // VL Gothic's two shifted glyphs round differently at both
#endif

// An outline as a list of numbers: each command's verb (as OutlineVerb numbers
// them), then its points.
using Commands = std::vector<int64_t>;
int Add(void* user, OutlineVerb verb, std::initializer_list<const FT_Vector*> points) {
  Commands* commands = static_cast<Commands*>(user);
  commands->push_back(static_cast<int64_t>(verb));
  for (const FT_Vector* point : points)
    commands->push_back(point->x), commands->push_back(point->y);
  return 0;
}
int MoveTo(const FT_Vector* to, void* user) { return Add(user, OutlineVerb::MoveTo, {to}); }
int LineTo(const FT_Vector* to, void* user) { return Add(user, OutlineVerb::LineTo, {to}); }
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  return Add(user, OutlineVerb::ConicTo, {control, to});
}
int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
  return Add(user, OutlineVerb::CubicTo, {control1, control2, to});
}

Commands CommandsOf(const GlyphOutline& outline) {
  Commands commands;
  for (const OutlineCommand& command : outline.commands) {
    commands.push_back(static_cast<int64_t>(command.verb));
    for (int i = 0; i < PointsOfVerb(command.verb); ++i)
      commands.push_back(command.points[i].x), commands.push_back(command.points[i].y);
  }
  return commands;
}

struct SweepCount {
  long glyphs = 0, designDiffers = 0, metricsDiffer = 0, outlinesDiffer = 0;
  long notFromDesignUnits = 0;  // glyphs the FreeType side has FreeType scale
};

// The box of a glyph without points is no one's concern (font_measure.cpp).
bool SameMetrics(const GlyphMetrics& glyph, const FT_GlyphSlot reference, int64_t ascender) {
  const FT_Glyph_Metrics& m = reference->metrics;
  const bool hasOutline = reference->outline.n_points > 0;
  return glyph.hasOutline == hasOutline && glyph.advance == m.horiAdvance &&
         glyph.ascender == ascender &&
         (!hasOutline || (glyph.bearingX == m.horiBearingX && glyph.bearingY == m.horiBearingY &&
                          glyph.width == m.width && glyph.height == m.height));
}

void SweepFontAtSize(const char* file, int size, SweepCount* count) {
  FontFace face;
  ASSERT_EQ(OpenFontFace(file, &face).status, FontOpenStatus::Opened) << file;
  ASSERT_EQ(SetFontPixelSize(face, size), 0);
  FT_Library library;
  FT_Face reference;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  ASSERT_EQ(FT_New_Face(library, file, 0, &reference), 0);
  ASSERT_EQ(FT_Set_Pixel_Sizes(reference, 0, static_cast<FT_UInt>(size)), 0);
  const FT_Outline_Funcs steps = {MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
  for (unsigned index = 1; index < static_cast<unsigned>(reference->num_glyphs); ++index) {
    ++count->glyphs;
    if (!ScalesFromDesignUnits(face, index)) ++count->notFromDesignUnits;
    GlyphMetrics glyph = LoadGlyphMetricsOfIndex(face, index);
    GlyphOutline outline = LoadGlyphOutlineOfIndex(face, index);
    DesignGlyph design;
    ASSERT_EQ(LoadDesignGlyphOfIndex(face, index, &design), 0);
    const int64_t ascender = reference->size->metrics.ascender;
    // The ascender's rule is the FreeType side's (checked with its metrics below);
    // here its scaling, from the ascender FreeType chose.
    const int64_t scale = DesignScale(size, reference->units_per_EM);
    GlyphMetrics scaled =
        GlyphMetricsOfDesign(design, scale, SizeAscender(reference->ascender, scale));
    FT_Load_Glyph(reference, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
    if (!SameMetrics(scaled, reference->glyph, ascender)) {
      ADD_FAILURE() << file << " at " << size << " px, design units of glyph " << index;
      ++count->designDiffers;
    }
    if (!SameMetrics(glyph, reference->glyph, ascender)) {
      ADD_FAILURE() << file << " at " << size << " px, glyph " << index;
      ++count->metricsDiffer;
    }
    Commands expected;
    FT_Outline_Decompose(&reference->glyph->outline, &steps, &expected);
    if (CommandsOf(outline) != expected) {
      ADD_FAILURE() << file << " at " << size << " px, outline of glyph " << index;
      ++count->outlinesDiffer;
    }
  }
  FT_Done_FreeType(library);
  CloseFontFace(&face);
}

TEST(FontSweep, DesignUnitsGiveFreeTypesScaledValues) {
  const auto start = std::chrono::steady_clock::now();
  SweepCount count;
  for (const char* file : kFonts) {
    for (int size : kSizes) SweepFontAtSize(file, size, &count);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long sizes = static_cast<long>(sizeof kSizes / sizeof kSizes[0]);
  std::printf(
      "%ld glyphs (4 fonts, %ld sizes): design units differ in %ld, the FreeType side's "
      "metrics in %ld, its outlines in %ld (%ld composite glyphs scaled by FreeType); %.1f s\n",
      count.glyphs, sizes, count.designDiffers, count.metricsDiffer, count.outlinesDiffer,
      count.notFromDesignUnits, seconds);
  EXPECT_EQ(count.glyphs, (16717 + 17320 + 12728 + 12728 - 4) * sizes);
  // VL Gothic's 231 and VL PGothic's 230 composite glyphs; every other glyph is
  // scaled from its design units.
  EXPECT_EQ(count.notFromDesignUnits, (231 + 230) * sizes);
}

}  // namespace
