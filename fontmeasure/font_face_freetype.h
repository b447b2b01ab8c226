// What only the FreeType side of font_face.h offers, for code that works with
// FreeType itself (its tests and benchmarks).
#pragma once

#include <string>

#include "design_units.h"
#include "font_face.h"

// FreeType's text for one of its error codes ("unknown file format"), from
// FreeType's own table of them; "FreeType error N" for a code not in it.
std::string FreeTypeErrorText(int error);

// LoadGlyphMetrics and LoadGlyphOutline of a glyph given by its index in the font,
// for sweeps over every glyph.
GlyphMetrics LoadGlyphMetricsOfIndex(const FontFace& face, unsigned glyphIndex);
GlyphOutline LoadGlyphOutlineOfIndex(const FontFace& face, unsigned glyphIndex);

// Whether the glyph's metrics are its design units scaled by design_units.h: a
// simple glyph of a glyf font without bitmaps; else FreeType scales it itself.
bool ScalesFromDesignUnits(const FontFace& face, unsigned glyphIndex);

// The glyph in design units, as design_units.h takes them (also a composite glyph,
// whose metrics LoadGlyphMetricsOfIndex has FreeType scale). Returns FreeType's
// error code, 0 on success.
int LoadDesignGlyphOfIndex(const FontFace& face, unsigned glyphIndex, DesignGlyph* glyph);
