// Fonts opened and measured through this platform's side of font_face.h: FreeType
// natively, DirectWrite under Wine. Both must give the values FreeType gives,
// written down here as FreeType gave them (unhinted, 26.6).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "font_face.h"
#include "font_measure.h"
#include "test_files.h"

namespace {

// Fonts that Debian ships (fonts-ipafont-gothic, fonts-vlgothic,
// fonts-dejavu-extra), by their Unix paths on both sides: under Wine the
// DirectWrite side takes them as Wine does.
constexpr char kIpaGothic[] = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
constexpr char kIpaPGothic[] = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf";
constexpr char kVlGothic[] = "/usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf";
constexpr char kVlPGothic[] = "/usr/share/fonts/truetype/vlgothic/VL-PGothic-Regular.ttf";
constexpr char kDejaVuSerifItalic[] = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Italic.ttf";

// The path a side reports for a font file: Wine shows the Unix root as drive Z:.
std::string ReportedPath(const std::string& path) {
#ifdef _WIN32
  if (path.empty() || path[0] != '/') return path;
  std::string windows = "Z:" + path;
  std::replace(windows.begin(), windows.end(), '/', '\\');
  return windows;
#else
  return path;
#endif
}

// One glyph as FreeType 2.12 gives it after FT_Set_Pixel_Sizes(face, 0, size) and
// FT_Load_Glyph(..., FT_LOAD_NO_HINTING): horiBearingX, horiBearingY, width,
// height, horiAdvance and size->metrics.ascender.
struct GlyphCase {
  const char* name;
  const char* font;  // a file or a family
  uint32_t character;
  int size;
  bool hasOutline;
  int64_t bearingX, bearingY, width, height, advance, ascender;
};

// clang-format off
const GlyphCase kFreeTypeGlyphs[] = {
    {"letter, typo ascender (USE_TYPO_METRICS)", kVlPGothic, 'A', 24, true, 49, 1137, 926, 1137, 1025, 1344},
    {"space: an advance only", "VL PGothic", ' ', 12, false, 0, 0, 0, 0, 205, 704},
    {"glyf xMin left of its hmtx bearing", kVlGothic, 0x2177, 8, true, -16, 384, 546, 384, 512, 448},
    {"the same glyph larger", "VL Gothic", 0x2177, 24, true, -50, 1152, 1640, 1152, 1536, 1344},
    {"fullwidth macron, shifted too", kVlGothic, 0xFFE3, 13, true, -6, 709, 846, 59, 832, 768},
    {"descender, family name in another case", "vl pgothic", 'g', 48, true, 144, 1628, 1361, 2335, 1742, 2688},
    {"ideograph, hhea ascender, 2048 units", "IPAGothic", 0x56FD, 16, true, 101, 798, 821, 870, 1024, 960},
    {"proportional letter", kIpaPGothic, 'g', 13, true, 46, 450, 383, 613, 462, 768},
    {"half-width katakana", "IPAPGothic", 0xFF71, 11, true, 36, 488, 283, 512, 352, 640},
    {"glyf xMin beside its points, not shifted", kVlGothic, 0xFF9E, 8, true, 4, 408, 136, 95, 256, 448},
    {"italic: the advance's end shifted too", kDejaVuSerifItalic, ')', 24, true, -27, 1167, 558, 1406, 600, 1472},
};
// clang-format on

TEST(FontFace, MeasuresWhatFreeTypeGives) {
  for (const GlyphCase& c : kFreeTypeGlyphs) {
    SCOPED_TRACE(c.name);
    FontFace face;
    FontOpenResult opened = OpenFontFace(c.font, &face);
    ASSERT_EQ(opened.status, FontOpenStatus::Opened) << FontOpenFailureReason(opened);
    ASSERT_EQ(SetMeasureSize(face, c.size), 0);
    GlyphMetrics glyph = LoadGlyphMetrics(face, c.character);
    GlyphOutline outline = LoadGlyphOutline(face, c.character);
    CloseFontFace(&face);
    EXPECT_TRUE(glyph.found);
    EXPECT_EQ(glyph.loadError, 0);
    EXPECT_EQ(glyph.hasOutline, c.hasOutline);
    EXPECT_EQ(glyph.advance, c.advance);
    EXPECT_EQ(glyph.ascender, c.ascender);
    if (!c.hasOutline) {
      EXPECT_TRUE(outline.commands.empty());
      continue;
    }
    EXPECT_EQ(std::vector<int64_t>({glyph.bearingX, glyph.bearingY, glyph.width, glyph.height}),
              std::vector<int64_t>({c.bearingX, c.bearingY, c.width, c.height}));
    // The outline lies where the metrics put it: FreeType's box is its control box.
    OutlineBox box = ControlBoxOfOutline(outline);
    EXPECT_EQ(std::vector<int64_t>({box.left, box.top, box.right - box.left, box.top - box.bottom}),
              std::vector<int64_t>({c.bearingX, c.bearingY, c.width, c.height}));
  }
  // Glyph 0 is the font's "missing" glyph: IPA Gothic has none for ∑.
  FontFace face;
  ASSERT_EQ(OpenFontFace(kIpaGothic, &face).status, FontOpenStatus::Opened);
  EXPECT_FALSE(LoadGlyphMetrics(face, 0x2211).found);
  EXPECT_FALSE(LoadGlyphOutline(face, 0x2211).found);
  CloseFontFace(&face);
}

// By path, or by an installed family's name and nothing else.
TEST(FontFace, OpensByPathOrInstalledFamilyOnly) {
  TempFolder folder;
  std::string notAFont = folder.Path("notes.ttf"), directory = folder.Root().string();
  WriteWholeFile(notAFont, Bytes(100, 'x'));
  struct Case {
    std::string font;
    FontOpenStatus status;
    std::string file;  // the file opened or tried
  } cases[] = {
      {kVlGothic, FontOpenStatus::Opened, ReportedPath(kVlGothic)},
      {"VL Gothic", FontOpenStatus::Opened, ReportedPath(kVlGothic)},
      {"vl pgothic", FontOpenStatus::Opened, ReportedPath(kVlPGothic)},  // case aside
      {"IPAGothic", FontOpenStatus::Opened,
       ReportedPath(kIpaGothic)},  // also listed through a link
      {"VL ゴシック", FontOpenStatus::Opened, ReportedPath(kVlGothic)},  // the Japanese name
      {"No Such Family", FontOpenStatus::UnknownFamily, ""},             // no fallback
      {"sans-serif", FontOpenStatus::UnknownFamily, ""},                 // an alias is no family
      {"/nonexistent/VL Gothic", FontOpenStatus::NoSuchFile, "/nonexistent/VL Gothic"},
      {directory, FontOpenStatus::NotAFile, directory},
      {notAFont, FontOpenStatus::NotAFont, notAFont},
#ifdef _WIN32
      {"MS Gothic", FontOpenStatus::Opened, ReportedPath(kIpaGothic)},  // Wine's substitute
#endif
  };
  for (const Case& c : cases) {
    FontFace face;
    FontOpenResult opened = OpenFontFace(c.font, &face);
    EXPECT_EQ(opened.status, c.status) << c.font;
    EXPECT_EQ(opened.file, c.file) << c.font;
    EXPECT_EQ(face.file, c.status == FontOpenStatus::Opened ? c.file : "") << c.font;
    CloseFontFace(&face);
  }
  // Each family once, by its name in the language asked for, else its English one.
  struct FamilyCase {
    const char* language;
    const char* shown;
    const char* hidden;
  };
  const FamilyCase families[] = {
      {"", "VL Gothic", "VL ゴシック"},   {"en", "VL PGothic", "VL Pゴシック"},
      {"ja", "VL ゴシック", "VL Gothic"}, {"ja-jp", "VL Pゴシック", "VL PGothic"},
      {"fr", "IPAGothic", "IPAゴシック"},  // no French name: the English one
  };
  for (const FamilyCase& c : families) {
    std::vector<std::string> names = InstalledFontFamilies(c.language);
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), c.shown)) << c.language;
    EXPECT_FALSE(std::binary_search(names.begin(), names.end(), c.hidden)) << c.language;
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
  }
}

}  // namespace
