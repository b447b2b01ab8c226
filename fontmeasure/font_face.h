// A font opened for measuring glyphs, named by its file's path or by an installed
// family's name. No family is ever a fallback for another, nor for a path: a name
// that is not installed, or a path that names no font, is an error.
//
// This is the font library's side of measuring, written once per platform as the
// file layer is: font_face_freetype.cpp (FreeType and fontconfig) and
// font_face_dwrite.cpp (DirectWrite, Windows) implement it. Both scale the font's
// design units through design_units.h, so that a font measures to the same bits
// on both. Nothing here names a library's type; the glyph metrics come back in
// 26.6 fixed point, for font_measure.cpp to do the arithmetic once, and the
// outlines come back as plain commands. Paths and names are UTF-8 on every side.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The side's own handles of an open face (FreeType: its library and face;
// DirectWrite: the font face and its mapped tables).
struct FontFaceData;

// An open font: one face of the file, with its Unicode character map selected.
// Close it with CloseFontFace. Copies share the handles; close one of them.
struct FontFace {
  FontFaceData* data = nullptr;  // nullptr when nothing is open
  std::string file;              // the font file opened, as an absolute path with links resolved
  std::string family;            // the face's family name, as the font gives it
};

enum class FontOpenStatus {
  Opened,
  NoSuchFile,     // a path that names nothing, or nothing that can be read
  NotAFile,       // a path that names a directory or a device
  UnknownFamily,  // no installed scalable font has this family name, case aside
  NotAFont,       // the font library cannot read the file as a font
  NoUnicodeMap,   // the font has no Unicode character map, so characters cannot be found
  LibraryFailed,  // the font library (or the list of installed fonts) could not start
};

// What an open saw: the file it tried (the path given, or the file the family
// resolved to; empty for an unknown family) and the system's or the font library's
// error code of the failure (0 otherwise).
struct FontOpenResult {
  FontOpenStatus status = FontOpenStatus::LibraryFailed;
  std::string file;
  int systemError = 0;
  int libraryError = 0;
};

// Whether font is taken as a path: it contains "/" (on Windows also "\") or names
// something that exists. Anything else is a family name. Under Wine a Unix path
// ("/usr/share/fonts/...") names the file Wine shows for it ("Z:\usr\...").
bool IsFontPath(const std::string& font);

// Opens the font at a path (see IsFontPath) or of an installed family: for a
// family, the file the system ranks best for that family in its default style
// (regular, upright), and the face it names in it. *face is filled only when the
// result is Opened.
FontOpenResult OpenFontFace(const std::string& font, FontFace* face);

// Releases the face and its handles; an empty FontFace is left as it is.
void CloseFontFace(FontFace* face);

// Why an open failed, in words, without the file's name:
//   "cannot open: No such file or directory", "is a directory, not a font file",
//   "not a font FreeType can read: unknown file format",
//   "no installed font family has this name (fc-list : family lists them)".
std::string FontOpenFailureReason(const FontOpenResult& result);

// The family names of the installed scalable fonts, each once, sorted by their
// bytes. A font with names in several languages gives the one in language (a tag
// such as "ja" or "zh-tw", lower case), else its English one: "VL ゴシック" for
// "ja", "VL Gothic" for "en" or "". OpenFontFace takes any of a family's names.
std::vector<std::string> InstalledFontFamilies(const std::string& language);

// The font library's name, as failure texts give it: "FreeType" or "DirectWrite".
extern const char kFontLibraryName[];

// The font library's words for one of its error codes ("unknown file format");
// DirectWrite's codes are HRESULTs.
std::string FontLibraryErrorText(int error);

// The library's error code for a pixel size it is not asked to measure at.
int InvalidPixelSizeError();

// Sets the pixel size (em height) that LoadGlyphMetrics measures at. Returns the
// library's error code, 0 on success (a font of bitmaps only has just the sizes it
// holds).
int SetFontPixelSize(const FontFace& face, int pixelSize);

// One glyph's metrics at the size last set, unhinted, in 26.6 fixed point (1/64
// pixel), y growing upward from the baseline as fonts have it.
struct GlyphMetrics {
  bool found = false;       // the font has a glyph for the character
  int loadError = 0;        // the library's error when the glyph found could not be loaded
  bool hasOutline = false;  // false for a glyph with nothing to draw (the space)
  int64_t bearingX = 0;     // from the pen to the glyph's left edge
  int64_t bearingY = 0;     // from the baseline up to the glyph's top
  int64_t width = 0, height = 0;
  int64_t advance = 0;   // the pen's horizontal advance
  int64_t ascender = 0;  // the size's ascender: from the line top down to the baseline
};

// Looks the Unicode character up through the font's Unicode map and loads its
// glyph at the size set with SetFontPixelSize.
GlyphMetrics LoadGlyphMetrics(const FontFace& face, uint32_t character);

// A glyph's outline at the size last set, unhinted and from its outline even where
// the font holds bitmaps for that size, as drawing commands. Points are in 26.6
// fixed point, x from the pen, y growing upward from the baseline as fonts have
// it. Each contour starts with a MoveTo and ends back at its start; the inside is
// what the fill rule says.
enum class OutlineVerb : uint8_t {
  MoveTo,   // points[0]: a contour's first point
  LineTo,   // points[0]: the end
  ConicTo,  // points[0]: the control point, points[1]: the end (a quadratic curve)
  CubicTo,  // points[0] and points[1]: the control points, points[2]: the end
};

// How many points a command of verb holds: 3 for CubicTo, 2 for ConicTo, else 1.
constexpr int PointsOfVerb(OutlineVerb verb) {
  return verb == OutlineVerb::CubicTo ? 3 : verb == OutlineVerb::ConicTo ? 2 : 1;
}

struct OutlinePoint {
  int64_t x = 0, y = 0;
};

struct OutlineCommand {
  OutlineVerb verb = OutlineVerb::MoveTo;
  OutlinePoint points[3];
};

struct GlyphOutline {
  bool found = false;    // the font has a glyph for the character
  int loadError = 0;     // the library's error when the glyph found could not be loaded
  bool evenOdd = false;  // filled by the even-odd rule, else by the non-zero winding rule
  std::vector<OutlineCommand> commands;  // empty for a glyph with nothing to draw (the space)
};

// Looks the Unicode character up as LoadGlyphMetrics does and loads its outline at
// the size set with SetFontPixelSize.
GlyphOutline LoadGlyphOutline(const FontFace& face, uint32_t character);
