// Glyphs as the preview and quorvel-cli render draw them, against FreeType's own
// rendering of the same line: after measuring a font at a size, every glyph's ink
// must land within a pixel of where the font puts it.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <QImage>
#include <QPlainTextEdit>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "cli_process.h"
#include "font_face.h"
#include "font_measure.h"
#include "metrics_format.h"
#include "preview_plan.h"
#include "test_files.h"
#include "text_layout.h"
#include "text_preview.h"

namespace {

// Ink darkness, 0 (paper) to 255, row by row.
struct Gray {
  int width = 0, height = 0;
  std::vector<uint8_t> ink;
  uint8_t At(int x, int y) const { return ink[static_cast<size_t>(y) * width + x]; }
};

Gray InkOf(const QImage& image) {
  Gray gray{image.width(), image.height(), {}};
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      gray.ink.push_back(static_cast<uint8_t>(255 - qGray(image.pixel(x, y))));
    }
  }
  return gray;
}

// The line as FreeType draws it: each glyph unhinted, at the pen that the advances
// before it add up to, the line's top at (left, top) of a width x height picture.
Gray FreeTypeLine(const char* fontFile, int size, const std::string& ascii, double left, double top,
                  int width, int height) {
  Gray line{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height, 0)};
  FT_Library library;
  FT_Face face;
  if (FT_Init_FreeType(&library) != 0) return line;
  std::vector<uint8_t> scratch(line.ink.size());
  if (FT_New_Face(library, fontFile, 0, &face) == 0 && FT_Set_Pixel_Sizes(face, 0, size) == 0) {
    // FreeType's picture has y growing upward from its bottom row.
    const FT_Pos baseline = std::lround((height - top) * 64) - face->size->metrics.ascender;
    FT_Pos pen = std::lround(left * 64);
    for (char c : ascii) {
      if (FT_Load_Char(face, static_cast<unsigned char>(c),
                       FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) {
        continue;
      }
      FT_Outline_Translate(&face->glyph->outline, pen, baseline);
      std::fill(scratch.begin(), scratch.end(), 0);
      FT_Bitmap bitmap = {};
      bitmap.rows = static_cast<unsigned>(height);
      bitmap.width = static_cast<unsigned>(width);
      bitmap.pitch = width;
      bitmap.buffer = scratch.data();
      bitmap.num_grays = 256;
      bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
      FT_Outline_Get_Bitmap(library, &face->glyph->outline, &bitmap);
      for (size_t i = 0; i < scratch.size(); ++i) line.ink[i] = std::max(line.ink[i], scratch[i]);
      pen += face->glyph->metrics.horiAdvance;
    }
  }
  FT_Done_FreeType(library);
  return line;
}

// The dark pixels (half covered or more) of a that have no inked pixel of b (a
// quarter covered or more) within one pixel: ink that is not where b has it.
int StrayInk(const Gray& a, const Gray& b) {
  int stray = 0;
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      if (a.At(x, y) < 128) continue;
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy) {
        for (int dx = -1; dx <= 1 && !near; ++dx) {
          const int nx = x + dx, ny = y + dy;
          near = nx >= 0 && ny >= 0 && nx < b.width && ny < b.height && b.At(nx, ny) >= 64;
        }
      }
      stray += near ? 0 : 1;
    }
  }
  return stray;
}

int DarkPixels(const Gray& gray) {
  return static_cast<int>(
      std::count_if(gray.ink.begin(), gray.ink.end(), [](uint8_t ink) { return ink >= 128; }));
}

struct LineCase {
  const char* name;
  const char* family;
  const char* file;
  int size;
  const char* text;  // ASCII: each character its own code
};

const LineCase kLines[] = {
    {"proportional English", "VL PGothic",
     "/usr/share/fonts/truetype/vlgothic/VL-PGothic-Regular.ttf", 24,
     "The quick brown fox jumps over the lazy dog."},
    {"small, another font", "IPAPGothic", "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf", 13,
     "Judge my vow, fix a {quirky} sphinx!"},
};

// The sample file with the half-width alphanumerics measured from the font.
Bytes MeasuredFile(const LineCase& line) {
  Bytes file = ReadWholeFile(QUORVEL_SAMPLE_PATH);
  FontFace face;
  EXPECT_EQ(OpenFontFace(line.family, &face).status, FontOpenStatus::Opened) << line.name;
  MeasureRequest request;
  request.pixelSize = line.size;
  request.halfAlnum = true;
  MeasureReport report;
  EXPECT_TRUE(MeasureIntoImage(face, request, file.data(), &report)) << line.name;
  CloseFontFace(&face);
  return file;
}

void ExpectSameInk(const Gray& drawn, const Gray& font, const char* name) {
  EXPECT_GT(DarkPixels(font), 200) << name << ": the font's line has ink";
  EXPECT_EQ(StrayInk(drawn, font), 0) << name << ": ink where the font has none";
  EXPECT_EQ(StrayInk(font, drawn), 0) << name << ": the font's ink missing";
}

TEST(GlyphDrawing, ThePreviewDrawsEachGlyphWhereTheFontRendersIt) {
  for (const LineCase& line : kLines) {
    const Bytes file = MeasuredFile(line);
    TextPreview preview(nullptr);
    preview.sampleText()->setPlainText(QString::fromUtf8(line.text));
    preview.SetMeasuredFont(line.family, line.size);
    preview.ShowImage(file.data());
    preview.canvas()->SetOptions(PreviewOptions{false, false, 1});  // glyphs only, 1x
    const QSize size = preview.canvas()->CanvasSize();
    const Gray drawn = InkOf(preview.canvas()->Render(QRect(QPoint(0, 0), size)));

    const PreviewPlan plan = PlanPreview(preview.canvas()->layout(), PreviewPlanOptions());
    const Gray font = FreeTypeLine(line.file, line.size, line.text, plan.originX, plan.originY,
                                   size.width(), size.height());
    ExpectSameInk(drawn, font, line.name);
  }
}

// The SVG's glyph paths, rasterised by another program (rsvg-convert, librsvg).
TEST(GlyphDrawing, RendersPathsThatRasteriseWhereTheFontRendersEachGlyph) {
  TempFolder folder;
  for (const LineCase& line : kLines) {
    WriteWholeFile(folder.Path("line.fnt"), MeasuredFile(line));
    CliResult result =
        RunCli({"render", folder.Path("line.fnt"), line.text, "-o", "-", "--font", line.family});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.find("<text"), std::string::npos) << line.name;
    EXPECT_NE(result.out.find("<path"), std::string::npos) << line.name;
    // The boxes' frames left out, so that only the glyphs are compared.
    const std::string glyphs =
        std::regex_replace(result.out, std::regex("<rect class=\"glyph\"[^>]*/>\n"), "");
    WriteWholeFile(folder.Path("line.svg"), Bytes(glyphs.begin(), glyphs.end()));
    const std::string command =
        "rsvg-convert -o '" + folder.Path("line.png") + "' '" + folder.Path("line.svg") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << "rsvg-convert (librsvg2-bin) is needed";
    QImage picture(QString::fromStdString(folder.Path("line.png")));
    ASSERT_FALSE(picture.isNull());
    const Gray drawn = InkOf(picture.convertToFormat(QImage::Format_RGB32));

    // The picture's view box starts a stroke width (1) before the layout's corner.
    const Bytes file = ReadWholeFile(folder.Path("line.fnt"));
    const TextLayout layout = LayOutUtf8Text(file.data(), line.text, std::strlen(line.text));
    const Gray font = FreeTypeLine(line.file, line.size, line.text, 1 - layout.left, 1 - layout.top,
                                   picture.width(), picture.height());
    ExpectSameInk(drawn, font, line.name);
  }
}

}  // namespace
