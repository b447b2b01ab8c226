// The FreeType and fontconfig side of font_face.h: fontconfig finds the installed
// families' files, FreeType opens them and loads the glyphs.
#include "font_face.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "design_units.h"
#include "file_io.h"
#include "font_face_freetype.h"

// Each open face has a FreeType library instance of its own, so that faces never
// share state. A glyf font's simple glyphs are loaded in design units and scaled
// by design_units.h, as the other font libraries' sides scale them.
struct FontFaceData {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  bool hasGlyf = false;     // a TrueType outline font with glyf, not a tricky one
  bool hasBitmaps = false;  // FreeType loads a bitmap the font holds for a size
  bool longLoca = false;    // loca's offsets are 32-bit
  std::vector<uint8_t> loca, hhea, hmtx;
  int64_t designAscender = 0;
  int64_t scale = 0;         // of the size last set (16.16)
  int64_t sizeAscender = 0;  // of the size last set (26.6)
};

namespace {

// FreeType's message for error, from the table its header defines when asked to
// (the library itself is built without its strings), or nullptr.
const char* FreeTypeErrorMessage(int error) {
// clang-format off
#undef FTERRORS_H_
#define FT_ERROR_START_LIST switch (error) {
#define FT_ERRORDEF(e, v, s) case v: return s;
#define FT_ERROR_END_LIST }
#include FT_ERRORS_H
  // clang-format on
  return nullptr;
}

// The path with links and "." or ".." resolved; the path itself when that fails.
std::string ResolvedPath(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

// Whether pattern lists name among its family names, case aside.
bool HasFamily(FcPattern* pattern, const std::string& name) {
  FcChar8* family = nullptr;
  for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
    if (FcStrCmpIgnoreCase(family, reinterpret_cast<const FcChar8*>(name.c_str())) == 0)
      return true;
  }
  return false;
}

// Each look-up loads a configuration of its own and destroys it after: the one
// fontconfig makes implicitly is never freed and loses part of its parse (2.14),
// and a program that uses fontconfig itself (Qt) keeps its current one untouched.
// The load reads fontconfig's caches: a few milliseconds.
FcConfig* LoadFontConfig() { return FcInitLoadConfigAndFonts(); }

// The installed scalable fonts with the objects given (from FcObjectSetBuild),
// or nullptr when fontconfig could not start.
FcFontSet* ListScalableFonts(FcConfig* config, FcObjectSet* objects) {
  FcPattern* scalable = FcPatternCreate();
  FcPatternAddBool(scalable, FC_SCALABLE, FcTrue);
  FcFontSet* fonts = config ? FcFontList(config, scalable, objects) : nullptr;
  FcPatternDestroy(scalable);
  FcObjectSetDestroy(objects);
  return fonts;
}

// The file and face index fontconfig ranks best for the family among the fonts
// that have it by name; false when no installed font has it. Only the fonts of the
// family take part, so that fontconfig's fallback to another family never does.
bool FindFamilyFile(FcConfig* config, const std::string& name, std::string* file, int* index) {
  FcFontSet* fonts =
      ListScalableFonts(config, FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, FC_INDEX, FC_WEIGHT,
                                                 FC_SLANT, FC_WIDTH, nullptr));
  if (fonts == nullptr) return false;
  FcFontSet* named = FcFontSetCreate();
  for (int i = 0; i < fonts->nfont; ++i) {
    if (HasFamily(fonts->fonts[i], name)) FcFontSetAdd(named, FcPatternDuplicate(fonts->fonts[i]));
  }
  FcFontSetDestroy(fonts);

  FcPattern* best = nullptr;
  if (named->nfont > 0) {
    FcPattern* wanted = FcPatternCreate();
    FcPatternAddString(wanted, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcConfigSubstitute(config, wanted, FcMatchPattern);
    FcDefaultSubstitute(wanted);
    FcResult result;
    best = FcFontSetMatch(config, &named, 1, wanted, &result);
    FcPatternDestroy(wanted);
  }
  FcFontSetDestroy(named);
  if (best == nullptr) return false;

  FcChar8* path = nullptr;
  bool found = FcPatternGetString(best, FC_FILE, 0, &path) == FcResultMatch;
  if (found) *file = reinterpret_cast<const char*>(path);
  if (FcPatternGetInteger(best, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
  FcPatternDestroy(best);
  return found;
}

// Checks that a path names a file before FreeType is asked to read it, so that a
// missing file or a directory gets the system's reason rather than FreeType's.
bool CheckFontPath(const std::string& path, FontOpenResult* result) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) {
    result->status = FontOpenStatus::NoSuchFile;
    result->systemError = errno;
    return false;
  }
  if (!S_ISREG(status.st_mode)) {
    result->status = FontOpenStatus::NotAFile;
    result->systemError = S_ISDIR(status.st_mode) ? EISDIR : 0;
    return false;
  }
  return true;
}

// A whole sfnt table of the face; empty when it has none.
std::vector<uint8_t> LoadTable(FT_Face face, FT_ULong tag) {
  FT_ULong length = 0;
  std::vector<uint8_t> bytes;
  if (FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length) != 0) return bytes;
  bytes.resize(length);
  if (FT_Load_Sfnt_Table(face, tag, 0, bytes.data(), &length) != 0) bytes.clear();
  return bytes;
}

bool HasTable(FT_Face face, FT_ULong tag) {
  FT_ULong length = 0;
  return FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length) == 0 && length > 0;
}

SfntTable TableOf(const std::vector<uint8_t>& bytes) {
  return SfntTable{bytes.data(), bytes.size()};
}

// What the design-unit arithmetic needs of the face, read once at its open.
void ReadDesignTables(FontFaceData* data) {
  FT_Face face = data->face;
  // FreeType hints the glyphs of a "tricky" font whatever it is asked (their
  // outlines need it), so it scales that font's glyphs itself.
  data->hasGlyf = HasTable(face, TTAG_glyf) && !FT_IS_TRICKY(face);
  data->hasBitmaps = FT_HAS_FIXED_SIZES(face);
  data->longLoca = HasLongLocaOffsets(TableOf(LoadTable(face, TTAG_head)));
  data->loca = LoadTable(face, TTAG_loca);
  data->hhea = LoadTable(face, TTAG_hhea);
  data->hmtx = LoadTable(face, TTAG_hmtx);
  data->designAscender = DesignAscender(TableOf(LoadTable(face, TTAG_OS2)), TableOf(data->hhea));
}

// The glyph's glyf header; false where the font has none for it (an empty glyph).
bool ReadGlyfHeaderOf(const FontFaceData& data, FT_UInt index, GlyfHeader* header) {
  const size_t entry = size_t{index} * (data.longLoca ? 4 : 2);
  if (entry + LocaEntriesSize(data.longLoca) > data.loca.size()) return false;
  const GlyfRange range = GlyfRangeOfLoca(data.loca.data() + entry, data.longLoca);
  uint8_t bytes[kGlyfHeaderSize];
  FT_ULong length = kGlyfHeaderSize;
  if (range.size < kGlyfHeaderSize ||
      FT_Load_Sfnt_Table(data.face, TTAG_glyf, static_cast<FT_Long>(range.offset), bytes,
                         &length) != 0)
    return false;
  *header = ReadGlyfHeader(bytes);
  return true;
}

// Whether design_units.h gives FreeType's own values for the glyph: a simple or
// empty glyph of a glyf font. FreeType scales a composite glyph's parts each on
// its own. *outlineShift is glyf xMin - hmtx bearing, as design_units.h has it
// (also of a composite glyph).
bool ScalesFromDesign(const FontFaceData& data, FT_UInt index, int64_t* outlineShift) {
  *outlineShift = 0;
  if (!data.hasGlyf) return false;
  GlyfHeader header;
  if (!ReadGlyfHeaderOf(data, index, &header)) return true;  // nothing to draw
  int64_t bearing = 0;
  if (!ReadLeftSideBearing(TableOf(data.hhea), TableOf(data.hmtx), index, &bearing)) return false;
  *outlineShift = header.xMin - bearing;
  return header.contours >= 0;
}

// Opens face faceIndex of file with a library of its own and selects its Unicode
// map; on failure nothing stays open.
void OpenWithFreeType(const std::string& file, int faceIndex, FontFace* face,
                      FontOpenResult* result) {
  FT_Library library = nullptr;
  FT_Error error = FT_Init_FreeType(&library);
  if (error != 0) {
    result->status = FontOpenStatus::LibraryFailed;
    result->libraryError = error;
    return;
  }
  FT_Face opened = nullptr;
  error = FT_New_Face(library, file.c_str(), faceIndex, &opened);
  if (error == 0) {
    error = FT_Select_Charmap(opened, FT_ENCODING_UNICODE);
    result->status = error == 0 ? FontOpenStatus::Opened : FontOpenStatus::NoUnicodeMap;
  } else {
    result->status = FontOpenStatus::NotAFont;
  }
  result->libraryError = error;
  if (result->status != FontOpenStatus::Opened) {
    FT_Done_FreeType(library);  // also frees the face
    return;
  }
  face->data = new FontFaceData;
  face->data->library = library;
  face->data->face = opened;
  ReadDesignTables(face->data);
  face->file = file;
  face->family = opened->family_name ? opened->family_name : "";
}

// An outline glyph with no points (the space) has nothing to place: its metrics'
// box is meaningless, only its advance counts.
bool HasOutline(const FT_GlyphSlot slot) {
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) return slot->outline.n_points > 0;
  return slot->metrics.width != 0 || slot->metrics.height != 0;
}

OutlinePoint PointOf(const FT_Vector* vector) { return OutlinePoint{vector->x, vector->y}; }

// FT_Outline_Decompose's callbacks: each appends one command to the GlyphOutline
// passed as user.
int AddCommand(void* user, OutlineVerb verb, const FT_Vector* a, const FT_Vector* b,
               const FT_Vector* c) {
  OutlineCommand command;
  command.verb = verb;
  command.points[0] = PointOf(a);
  if (b) command.points[1] = PointOf(b);
  if (c) command.points[2] = PointOf(c);
  static_cast<GlyphOutline*>(user)->commands.push_back(command);
  return 0;
}

int MoveTo(const FT_Vector* to, void* user) {
  return AddCommand(user, OutlineVerb::MoveTo, to, nullptr, nullptr);
}
int LineTo(const FT_Vector* to, void* user) {
  return AddCommand(user, OutlineVerb::LineTo, to, nullptr, nullptr);
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  return AddCommand(user, OutlineVerb::ConicTo, control, to, nullptr);
}
int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
  return AddCommand(user, OutlineVerb::CubicTo, control1, control2, to);
}

}  // namespace

bool IsFontPath(const std::string& font) {
  struct stat status;
  return font.find('/') != std::string::npos || stat(font.c_str(), &status) == 0;
}

FontOpenResult OpenFontFace(const std::string& font, FontFace* face) {
  FontOpenResult result;
  std::string file = font;
  int faceIndex = 0;
  if (IsFontPath(font)) {
    result.file = font;
    if (!CheckFontPath(font, &result)) return result;
  } else {
    FcConfig* config = LoadFontConfig();
    bool found = FindFamilyFile(config, font, &file, &faceIndex);
    if (config) FcConfigDestroy(config);
    if (!found) {
      result.status = config ? FontOpenStatus::UnknownFamily : FontOpenStatus::LibraryFailed;
      return result;
    }
  }
  result.file = ResolvedPath(file);
  OpenWithFreeType(result.file, faceIndex, face, &result);
  return result;
}

void CloseFontFace(FontFace* face) {
  if (face->data != nullptr) {
    FT_Done_FreeType(face->data->library);  // frees its faces too
    delete face->data;
  }
  *face = FontFace();
}

std::string FreeTypeErrorText(int error) {
  const char* message = FreeTypeErrorMessage(error);
  if (message != nullptr) return message;
  return "FreeType error " + std::to_string(error);
}

std::string FontOpenFailureReason(const FontOpenResult& result) {
  switch (result.status) {
    case FontOpenStatus::Opened: return "opened";
    case FontOpenStatus::NoSuchFile:
      return std::string("cannot open: ") + FileErrorText(result.systemError);
    case FontOpenStatus::NotAFile:
      if (result.systemError == EISDIR) return "is a directory, not a font file";
      return "not a regular file (a device, FIFO or socket)";
    case FontOpenStatus::UnknownFamily:
      return "no installed font family has this name (fc-list : family lists them)";
    case FontOpenStatus::NotAFont:
      return "not a font FreeType can read: " + FreeTypeErrorText(result.libraryError);
    case FontOpenStatus::NoUnicodeMap:
      return "the font has no Unicode character map: " + FreeTypeErrorText(result.libraryError);
    case FontOpenStatus::LibraryFailed:
      if (result.libraryError == 0) return "fontconfig cannot start";
      return "FreeType cannot start: " + FreeTypeErrorText(result.libraryError);
  }
  return "cannot open";
}

namespace {

// One font's family name for language: the name in that language (its whole tag,
// "zh-tw", or its first part, "ja"), else the English one, else the first given.
// A font with names in several languages thus shows once, as the user reads it.
std::string FamilyNameFor(FcPattern* font, const std::string& language) {
  const std::string primary = language.substr(0, language.find('-'));
  FcChar8* family = nullptr;
  FcChar8* lang = nullptr;
  std::string first, english;
  for (int n = 0; FcPatternGetString(font, FC_FAMILY, n, &family) == FcResultMatch; ++n) {
    const std::string name = reinterpret_cast<const char*>(family);
    std::string tag;
    if (FcPatternGetString(font, FC_FAMILYLANG, n, &lang) == FcResultMatch)
      tag = reinterpret_cast<const char*>(lang);
    if (!language.empty() && (tag == language || tag == primary)) return name;
    if (n == 0) first = name;
    if (tag == "en" && english.empty()) english = name;
  }
  return english.empty() ? first : english;
}

}  // namespace

std::vector<std::string> InstalledFontFamilies(const std::string& language) {
  std::vector<std::string> families;
  FcConfig* config = LoadFontConfig();
  FcFontSet* fonts = ListScalableFonts(config, FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, nullptr));
  for (int i = 0; fonts != nullptr && i < fonts->nfont; ++i) {
    std::string name = FamilyNameFor(fonts->fonts[i], language);
    if (!name.empty()) families.push_back(name);
  }
  if (fonts) FcFontSetDestroy(fonts);
  if (config) FcConfigDestroy(config);
  std::sort(families.begin(), families.end());
  families.erase(std::unique(families.begin(), families.end()), families.end());
  return families;
}

const char kFontLibraryName[] = "FreeType";

std::string FontLibraryErrorText(int error) { return FreeTypeErrorText(error); }

int InvalidPixelSizeError() { return FT_Err_Invalid_Pixel_Size; }

int SetFontPixelSize(const FontFace& face, int pixelSize) {
  FontFaceData& data = *face.data;
  data.scale = DesignScale(pixelSize, data.face->units_per_EM);
  data.sizeAscender = SizeAscender(data.designAscender, data.scale);
  return FT_Set_Pixel_Sizes(data.face, 0, static_cast<FT_UInt>(pixelSize));
}

namespace {

// The glyph loaded in design units, as the pen places it.
DesignGlyph DesignGlyphOfSlot(const FT_GlyphSlot slot, int64_t outlineShift) {
  const FT_Glyph_Metrics& metrics = slot->metrics;
  DesignGlyph glyph;
  glyph.hasOutline = HasOutline(slot);
  glyph.advance = metrics.horiAdvance;
  glyph.left = metrics.horiBearingX;
  glyph.right = metrics.horiBearingX + metrics.width;
  glyph.top = metrics.horiBearingY;
  glyph.bottom = metrics.horiBearingY - metrics.height;
  glyph.outlineShift = outlineShift;
  return glyph;
}

// FreeType's own scaled metrics, for the glyphs design_units.h does not model.
void LoadScaledMetrics(FT_Face ftFace, FT_UInt index, GlyphMetrics* glyph) {
  // Unhinted, so that no hinter moves the glyph.
  glyph->loadError = FT_Load_Glyph(ftFace, index, FT_LOAD_NO_HINTING);
  if (glyph->loadError != 0) return;
  const FT_Glyph_Metrics& metrics = ftFace->glyph->metrics;
  glyph->hasOutline = HasOutline(ftFace->glyph);
  glyph->bearingX = metrics.horiBearingX;
  glyph->bearingY = metrics.horiBearingY;
  glyph->width = metrics.width;
  glyph->height = metrics.height;
  glyph->advance = metrics.horiAdvance;
  glyph->ascender = ftFace->size->metrics.ascender;
}

// Scales the outline FreeType loaded in design units in place, point by point as
// FreeType itself scales them, so that its decomposition is FreeType's own.
void ScaleOutlinePoints(FT_Outline* outline, int64_t outlineShift, int64_t scale) {
  for (int i = 0; i < outline->n_points; ++i) {
    FT_Vector& point = outline->points[i];
    const OutlinePoint scaled = ScaleDesignPoint(static_cast<double>(point.x),
                                                 static_cast<double>(point.y), outlineShift, scale);
    point.x = static_cast<FT_Pos>(scaled.x);
    point.y = static_cast<FT_Pos>(scaled.y);
  }
}

}  // namespace

bool ScalesFromDesignUnits(const FontFace& face, unsigned glyphIndex) {
  int64_t outlineShift = 0;
  return !face.data->hasBitmaps && ScalesFromDesign(*face.data, glyphIndex, &outlineShift);
}

GlyphMetrics LoadGlyphMetrics(const FontFace& face, uint32_t character) {
  FT_UInt index = FT_Get_Char_Index(face.data->face, character);
  if (index == 0) return GlyphMetrics();  // glyph 0 is the font's "missing" glyph
  return LoadGlyphMetricsOfIndex(face, index);
}

int LoadDesignGlyphOfIndex(const FontFace& face, unsigned index, DesignGlyph* glyph) {
  int64_t outlineShift = 0;
  ScalesFromDesign(*face.data, index, &outlineShift);
  const FT_Error error = FT_Load_Glyph(face.data->face, index, FT_LOAD_NO_SCALE);
  if (error == 0) *glyph = DesignGlyphOfSlot(face.data->face->glyph, outlineShift);
  return error;
}

GlyphMetrics LoadGlyphMetricsOfIndex(const FontFace& face, unsigned index) {
  GlyphMetrics glyph;
  const FontFaceData& data = *face.data;
  glyph.found = true;
  int64_t outlineShift = 0;
  // A bitmap the font holds for the size would be loaded instead of the outline.
  if (data.hasBitmaps || !ScalesFromDesign(data, index, &outlineShift)) {
    LoadScaledMetrics(data.face, index, &glyph);
    return glyph;
  }
  glyph.loadError = FT_Load_Glyph(data.face, index, FT_LOAD_NO_SCALE);
  if (glyph.loadError != 0) return glyph;
  return GlyphMetricsOfDesign(DesignGlyphOfSlot(data.face->glyph, outlineShift), data.scale,
                              data.sizeAscender);
}

GlyphOutline LoadGlyphOutline(const FontFace& face, uint32_t character) {
  FT_UInt index = FT_Get_Char_Index(face.data->face, character);
  if (index == 0) return GlyphOutline();
  return LoadGlyphOutlineOfIndex(face, index);
}

GlyphOutline LoadGlyphOutlineOfIndex(const FontFace& face, unsigned index) {
  GlyphOutline outline;
  const FontFaceData& data = *face.data;
  FT_Face ftFace = data.face;
  outline.found = true;
  int64_t outlineShift = 0;
  const bool fromDesign = ScalesFromDesign(data, index, &outlineShift);
  // Unhinted as measuring loads it, and never a bitmap the font holds for the size:
  // only an outline can be drawn at any box.
  const FT_Int32 flags = FT_LOAD_NO_BITMAP | (fromDesign ? FT_LOAD_NO_SCALE : FT_LOAD_NO_HINTING);
  outline.loadError = FT_Load_Glyph(ftFace, index, flags);
  if (outline.loadError != 0 || ftFace->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return outline;
  FT_Outline& glyph = ftFace->glyph->outline;
  if (fromDesign) ScaleOutlinePoints(&glyph, outlineShift, data.scale);
  outline.evenOdd = (glyph.flags & FT_OUTLINE_EVEN_ODD_FILL) != 0;
  const FT_Outline_Funcs steps = {MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
  outline.loadError = FT_Outline_Decompose(&glyph, &steps, &outline);
  if (outline.loadError != 0) outline.commands.clear();
  return outline;
}
