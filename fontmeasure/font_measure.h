// Metrics from a font: each character's five values measured from the font's
// glyph metrics (font_face.h) and stored into the metrics image through the change
// command's own store and class edit, so that laying text out with the image
// (text_layout.h) places every glyph where the font places it.
//
// The model. A glyph is loaded at pixel size S (the em height) through the font's
// Unicode map, unhinted, so that no hinter moves it. Its metrics are 26.6 fixed
// point; divided by 64 they give pixels (y grows downward):
//   SpacingLeft  = bearingX
//   Width        = width
//   SpacingRight = advance - bearingX - width
//   Height       = height
//   OffsetY      = ascender of the size - bearingY, the glyph's top below the
//                  line top.
// (FreeType calls them horiBearingX, width, horiAdvance, height, horiBearingY and
// size->metrics.ascender.) The layout puts the box at pen + SpacingLeft, line top
// + OffsetY, and advances the pen by SpacingLeft + Width + SpacingRight = advance:
// the font's own box and advance. Every value is a multiple of 1/64 and exact in
// single precision.
// - A glyph without an outline (the space) gets Width, Height, SpacingLeft and
//   OffsetY 0, and SpacingRight = its advance.
// - Rounded (roundEdges), the edges are rounded, not the values: the left edge
//   (bearingX), the right edge (bearingX + width) and the advance, and the top
//   and bottom measured from the ascender, each to the nearest integer, ties to
//   even. The values are the differences of the rounded edges, so that they still
//   add up to the rounded advance.
// - A code's character is the one the code shows as in text, outside the dialog
//   (VisibleCharacterOfCode: ASCII, half-width katakana); the character field
//   also echoes control codes, which show nothing in text. Control codes, lead
//   bytes and the code page's private-use codes have no visible character and are
//   skipped. A character the font lacks leaves its code as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "font_face.h"

// The pixel sizes measured at: the font libraries' sizes go higher, but a metrics file for
// text is never drawn larger than this.
constexpr int kMinMeasureSize = 1;
constexpr int kMaxMeasureSize = 1000;

// The characters the classes are measured from by default: a full-width ideograph
// for slot 16 and its companions, and half-width katakana A for slots 18 and 23.
constexpr uint32_t kDefaultFullWidthSample = 0x56FD;  // 国
constexpr uint32_t kDefaultHalfKanaSample = 0xFF71;   // ｱ

// One glyph's values in pixels, as the model above gives them.
struct GlyphValues {
  float width = 0, height = 0, spacingLeft = 0, spacingRight = 0, offsetY = 0;
};

enum class GlyphStatus {
  Measured,
  NoGlyph,     // the font has no glyph for the character
  LoadFailed,  // the font library could not load the glyph
};

struct GlyphMeasure {
  GlyphStatus status = GlyphStatus::NoGlyph;
  int libraryError = 0;  // of LoadFailed
  GlyphValues values;
};

// Sets the pixel size (kMinMeasureSize-kMaxMeasureSize) that MeasureCharacter
// measures at. Returns the font library's error code, 0 on success (a font of
// bitmaps only has just the sizes it holds).
int SetMeasureSize(const FontFace& face, int pixelSize);

// Measures the Unicode character at the size last set with SetMeasureSize.
GlyphMeasure MeasureCharacter(const FontFace& face, uint32_t character, bool roundEdges);

// The classes measured from a sample character.
enum class SampleClass { FullWidth, HalfKana };

enum class SampleStatus {
  Fits,        // a sample of the class asked about
  OtherClass,  // a sample of the other class
  NotASample,  // neither a full-width character nor a half-width katakana
};

// Whether character may be the sample of cls: a full-width class is measured from
// a full-width character (double-byte in Shift-JIS: 国, Ａ), the half-width
// katakana from one of them (0xA1-0xDF: ｱ). "A" is the sample of neither.
SampleStatus CheckSample(SampleClass cls, uint32_t character);

// What to measure into an image: any of the three classes and single codes, at
// one pixel size. The full-width class is stored as the change command stores it
// (slots 16 and 21; 17 and 22 cleared; 19 and 24 get half the width), from the
// full-width sample; the half-width katakana class is the codes 0xA1-0xDF each
// from its own character, and slots 18 and 23 from the katakana sample; the
// half-width alphanumerics are the codes 0x20-0x7F each from its own character.
// The line spacing is never touched.
struct MeasureRequest {
  int pixelSize = 16;
  bool roundEdges = false;
  bool fullWidth = false;
  bool halfKana = false;
  bool halfAlnum = false;
  std::vector<uint8_t> codes;  // single codes, measured as their own characters
  // The classes' samples, as CheckSample allows them.
  uint32_t fullWidthSample = kDefaultFullWidthSample;
  uint32_t halfKanaSample = kDefaultHalfKanaSample;
};

// A character that was asked for and not stored: its code, or for a class's
// sample the class's first slot (16 or 18) with fromSample set; what it stands
// for; and why.
struct LeftCode {
  uint8_t code = 0;
  bool fromSample = false;
  uint32_t character = 0;
  GlyphStatus reason = GlyphStatus::NoGlyph;
  int libraryError = 0;
};

// What MeasureIntoImage did. Each code appears once however often it was asked
// for, in code order.
struct MeasureReport {
  std::string fontFile;           // the font file measured (FontFace::file)
  int sizeError = 0;              // the font library's error when the size could not be set
  std::vector<uint8_t> setCodes;  // records written, companion slots included
  std::vector<LeftCode> left;     // asked for, left as they were
  std::vector<uint8_t> skipped;   // asked for, without a character: not counted as left
};

// Measures what request asks for and stores it into image (kMetricsImageSize
// bytes), a copy the caller may show before saving it. Returns false, with image
// untouched, when the pixel size is out of range or the font refuses it; true
// otherwise, also when codes were left (see report->left).
bool MeasureIntoImage(const FontFace& face, const MeasureRequest& request, uint8_t* image,
                      MeasureReport* report);

// The box an outline's points span, control points included: its control box, in
// 26.6 fixed point, y growing upward. For an unhinted glyph this is the box its
// metrics give, the one MeasureCharacter measures; all zero for an outline without
// commands.
struct OutlineBox {
  int64_t left = 0, bottom = 0, right = 0, top = 0;
};
OutlineBox ControlBoxOfOutline(const GlyphOutline& outline);

// Why a code was left, in words: "the font has no glyph for U+56FD" or the font
// library's reason for not loading it ("FreeType cannot load the glyph of U+0041:
// ...").
std::string LeftCodeReason(const LeftCode& left);
