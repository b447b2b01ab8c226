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

#include "cli_process.h"
#include "font_measure.h"
#include "test_files.h"
#include "text_preview.h"

namespace {

// Ink darkness, 0 (paper) to 255, by pixel.
struct Gray {
  int width, height;
  std::vector<uint8_t> ink;
  int At(int x, int y) const {
    return x < 0 || y < 0 || x >= width || y >= height ? 0 : ink[y * width + x];
  }
};

Gray InkOf(const QImage& image) {
  Gray gray{image.width(), image.height(), {}};
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) gray.ink.push_back(255 - qGray(image.pixel(x, y)));
  }
  return gray;
}

// The line as FreeType draws it: each glyph unhinted at the pen the advances before
// it add up to, the line's top at (left, top) of a picture the size of like.
Gray FreeTypeLine(const char* fontFile, int size, const char* text, double left, double top,
                  const Gray& like) {
  Gray line{like.width, like.height, std::vector<uint8_t>(like.ink.size(), 0)};
  std::vector<uint8_t> glyph(line.ink.size());
  FT_Library library;
  FT_Face face;
  FT_Init_FreeType(&library);
  if (FT_New_Face(library, fontFile, 0, &face) == 0 && FT_Set_Pixel_Sizes(face, 0, size) == 0) {
    // FreeType's picture has y growing upward from its bottom row.
    const FT_Pos baseline = std::lround((line.height - top) * 64) - face->size->metrics.ascender;
    FT_Pos pen = std::lround(left * 64);
    for (const char* c = text; *c != 0; ++c) {
      if (FT_Load_Char(face, *c, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) continue;
      FT_Outline_Translate(&face->glyph->outline, pen, baseline);
      std::fill(glyph.begin(), glyph.end(), 0);
      FT_Bitmap bitmap = {};
      bitmap.rows = line.height, bitmap.width = line.width, bitmap.pitch = line.width;
      bitmap.buffer = glyph.data(), bitmap.num_grays = 256, bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
      FT_Outline_Get_Bitmap(library, &face->glyph->outline, &bitmap);
      for (size_t i = 0; i < glyph.size(); ++i) line.ink[i] = std::max(line.ink[i], glyph[i]);
      pen += face->glyph->metrics.horiAdvance;
    }
  }
  FT_Done_FreeType(library);
  return line;
}

// The dark pixels of a (half covered or more) with no inked pixel of b (a quarter
// covered or more) within one pixel: ink that is not where b has it.
int StrayInk(const Gray& a, const Gray& b) {
  int stray = 0;
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      int near = 0;
      for (int d = 0; d < 9; ++d) near = std::max(near, b.At(x + d % 3 - 1, y + d / 3 - 1));
      stray += a.At(x, y) >= 128 && near < 64;
    }
  }
  return stray;
}

void ExpectSameInk(const Gray& drawn, const Gray& font, const std::string& what) {
  EXPECT_GT(std::count_if(font.ink.begin(), font.ink.end(), [](int ink) { return ink >= 128; }),
            200)
      << what << ": the font's line has ink";
  EXPECT_EQ(StrayInk(drawn, font), 0) << what << ": ink where the font has none";
  EXPECT_EQ(StrayInk(font, drawn), 0) << what << ": the font's ink missing";
}

// The half-width alphanumerics of the sample measured from the font (the model of
// font_measure.h), then the line drawn by the preview and by render, whose SVG
// rsvg-convert (librsvg) rasterises with its boxes' frames left out.
TEST(GlyphDrawing, ThePreviewAndRenderDrawEachGlyphWhereTheFontRendersIt) {
  const struct {
    const char *family, *file;
    int size;
    const char* text;  // ASCII: each character its own code
  } lines[] = {
      {"VL PGothic", "/usr/share/fonts/truetype/vlgothic/VL-PGothic-Regular.ttf", 24,
       "The quick brown fox jumps over the lazy dog."},
      {"IPAPGothic", "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf", 13,
       "Judge my vow, fix a {quirky} sphinx!"},
  };
  TempFolder folder;
  for (const auto& line : lines) {
    Bytes file = ReadWholeFile(QUORVEL_SAMPLE_PATH);
    FontFace face;
    ASSERT_EQ(OpenFontFace(line.family, &face).status, FontOpenStatus::Opened);
    MeasureRequest request;
    request.pixelSize = line.size, request.halfAlnum = true;
    MeasureReport report;
    ASSERT_TRUE(MeasureIntoImage(face, request, file.data(), &report));
    CloseFontFace(&face);

    TextPreview preview(nullptr);
    preview.sampleText()->setPlainText(line.text);
    preview.SetMeasuredFont(line.family, line.size);
    preview.ShowImage(file.data());
    preview.canvas()->SetOptions(PreviewOptions{false, false, 1});  // glyphs only, 1x
    const Gray shown =
        InkOf(preview.canvas()->Render(QRect(QPoint(0, 0), preview.canvas()->CanvasSize())));
    const TextLayout& layout = preview.canvas()->layout();
    const PreviewPlan plan = PlanPreview(layout, PreviewPlanOptions());
    ExpectSameInk(shown,
                  FreeTypeLine(line.file, line.size, line.text, plan.originX, plan.originY, shown),
                  std::string("preview of ") + line.family);

    WriteWholeFile(folder.Path("line.fnt"), file);
    CliResult result =
        RunCli({"render", folder.Path("line.fnt"), line.text, "-o", "-", "--font", line.family});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.find("<text"), std::string::npos);
    const std::string glyphs =
        std::regex_replace(result.out, std::regex("<rect class=\"glyph\"[^>]*/>\n"), "");
    WriteWholeFile(folder.Path("line.svg"), Bytes(glyphs.begin(), glyphs.end()));
    const std::string rasterise =
        "rsvg-convert -o '" + folder.Path("line.png") + "' '" + folder.Path("line.svg") + "'";
    ASSERT_EQ(std::system(rasterise.c_str()), 0) << "rsvg-convert (librsvg2-bin) is needed";
    const Gray rendered = InkOf(QImage(QString::fromStdString(folder.Path("line.png"))));
    // The SVG's view box starts a stroke width (1) before the layout's corner.
    ExpectSameInk(
        rendered,
        FreeTypeLine(line.file, line.size, line.text, 1 - layout.left, 1 - layout.top, rendered),
        std::string("render with ") + line.family);
  }
}

}  // namespace
