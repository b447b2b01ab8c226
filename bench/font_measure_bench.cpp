// measure --scope halfalnum into one image (the codes 0x20-0x7F: 95 glyphs, 0x7F
// has no character) against a bare FreeType loop that loads the 96 glyphs of
// the same characters unhinted and reads their metrics, the floor any measure has
// to pay. On both sides the font is opened once, outside the timed loop, and the
// pixel size is set inside it, once per pass. Argument: the font (0 IPA Gothic,
// 1 VL PGothic).
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <vector>

#include "font_face.h"
#include "font_measure.h"
#include "metrics_format.h"

namespace {

const char* const kFonts[] = {"/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
                              "/usr/share/fonts/truetype/vlgothic/VL-PGothic-Regular.ttf"};
constexpr int kPixelSize = 16;

void BM_MeasureHalfAlnum(benchmark::State& state) {
  FontFace face;
  if (OpenFontFace(kFonts[state.range(0)], &face).status != FontOpenStatus::Opened) {
    state.SkipWithError("font");
    return;
  }
  MeasureRequest request;
  request.pixelSize = kPixelSize;
  request.halfAlnum = true;
  std::vector<uint8_t> image(kMetricsImageSize, 0);
  MeasureReport report;
  for (auto _ : state) {
    if (!MeasureIntoImage(face, request, image.data(), &report)) state.SkipWithError("measure");
    benchmark::DoNotOptimize(image.data());
    benchmark::ClobberMemory();
  }
  CloseFontFace(&face);
}
BENCHMARK(BM_MeasureHalfAlnum)->Arg(0)->Arg(1);

void BM_BareFreeTypeHalfAlnum(benchmark::State& state) {
  FT_Library library;
  FT_Face face;
  if (FT_Init_FreeType(&library) != 0 ||
      FT_New_Face(library, kFonts[state.range(0)], 0, &face) != 0) {
    state.SkipWithError("font");
    return;
  }
  for (auto _ : state) {
    FT_Set_Pixel_Sizes(face, 0, kPixelSize);
    FT_Pos sum = 0;
    for (FT_ULong character = kHalfAlnumFirst; character <= kHalfAlnumLast; ++character) {
      FT_Load_Glyph(face, FT_Get_Char_Index(face, character), FT_LOAD_NO_HINTING);
      const FT_Glyph_Metrics& metrics = face->glyph->metrics;
      sum += metrics.horiBearingX + metrics.width + metrics.horiAdvance + metrics.height +
             metrics.horiBearingY + face->size->metrics.ascender;
    }
    benchmark::DoNotOptimize(sum);
  }
  FT_Done_FreeType(library);
}
BENCHMARK(BM_BareFreeTypeHalfAlnum)->Arg(0)->Arg(1);

}  // namespace
