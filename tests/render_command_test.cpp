// quorvel-cli render: the SVG draws the core's layout, every box at its own
// coordinates times --scale, exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "cli_process.h"
#include "metrics_format.h"
#include "test_files.h"
#include "text_layout.h"

namespace {

const char kPreviewSampleText[] = "漢字かなｶﾅ Abc 123";  // the editor's preview starts with it

struct SvgBox {
  std::string kind;  // "glyph" or "placeholder"
  double x, y, width, height;
};

std::vector<SvgBox> BoxesIn(const std::string& svg) {
  static const std::regex rect(
      R"re(<rect class="(glyph|placeholder)" x="([^"]*)" y="([^"]*)" width="([^"]*)" height="([^"]*)")re");
  std::vector<SvgBox> boxes;
  for (std::sregex_iterator it(svg.begin(), svg.end(), rect), end; it != end; ++it) {
    const std::smatch& m = *it;
    boxes.push_back(
        {m[1], std::strtod(m[2].str().c_str(), nullptr), std::strtod(m[3].str().c_str(), nullptr),
         std::strtod(m[4].str().c_str(), nullptr), std::strtod(m[5].str().c_str(), nullptr)});
  }
  return boxes;
}

// What each box draws, in order: "g" a glyph box, "p" a placeholder, "+" the
// character's path after its box.
std::string DrawnIn(const std::string& svg) {
  static const std::regex element(
      R"re(<(rect class="(glyph|placeholder)"|path class="character"))re");
  std::string drawn;
  for (std::sregex_iterator it(svg.begin(), svg.end(), element), end; it != end; ++it) {
    drawn += (*it)[2].matched ? (*it)[2].str().substr(0, 1) : "+";
  }
  return drawn;
}

TextLayout SampleLayout(const std::string& text) {
  Bytes image = ReadWholeFile(QUORVEL_SAMPLE_PATH);
  image.resize(kMetricsImageSize);
  return LayOutUtf8Text(image.data(), text.data(), text.size());
}

TEST(RenderCommand, RectsAreTheLayoutsBoxesTimesTheScale) {
  TextLayout layout = SampleLayout(kPreviewSampleText);
  ASSERT_EQ(layout.boxes.size(), 14u);
  TempFolder folder;
  for (double scale : {1.0, 3.0}) {
    std::string out = folder.Path("out.svg");
    std::vector<std::string> arguments = {"render", QUORVEL_SAMPLE_PATH, kPreviewSampleText, "-o",
                                          out};
    if (scale != 1) arguments.insert(arguments.end(), {"--scale", std::to_string(scale)});
    CliResult result = RunCli(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out + result.err, "");
    Bytes bytes = ReadWholeFile(out);
    std::string svg(bytes.begin(), bytes.end());
    std::vector<SvgBox> boxes = BoxesIn(svg);
    ASSERT_EQ(boxes.size(), layout.boxes.size()) << svg;
    for (size_t i = 0; i < boxes.size(); ++i) {
      const TextBox& box = layout.boxes[i];
      EXPECT_EQ(boxes[i].kind, box.kind == BoxKind::Glyph ? "glyph" : "placeholder") << i;
      EXPECT_EQ(boxes[i].x, box.x * scale) << i << " at scale " << scale;
      EXPECT_EQ(boxes[i].y, box.y * scale) << i << " at scale " << scale;
      EXPECT_EQ(boxes[i].width, box.width * scale) << i << " at scale " << scale;
      EXPECT_EQ(boxes[i].height, box.height * scale) << i << " at scale " << scale;
    }
    EXPECT_EQ(DrawnIn(svg), "g+g+g+g+g+g+gg+g+g+gg+g+g+")
        << "each glyph's path after its box; the spaces' boxes have no ink";
    EXPECT_EQ(svg.find("<text"), std::string::npos);
    if (scale == 1) {
      EXPECT_EQ(RunCli({"render", QUORVEL_SAMPLE_PATH, kPreviewSampleText, "-o", "-"}).out, svg);
    }
  }
}

// € has no Shift-JIS code: a red square of the full-width height, without a path.
TEST(RenderCommand, Placeholders) {
  TextLayout layout = SampleLayout("<€&");
  CliResult result = RunCli({"render", QUORVEL_SAMPLE_PATH, "<€&", "-o", "-"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  std::vector<SvgBox> boxes = BoxesIn(result.out);
  ASSERT_EQ(boxes.size(), 3u) << result.out;
  EXPECT_EQ(boxes[1].kind, "placeholder");
  EXPECT_EQ(boxes[1].x, layout.boxes[1].x);
  EXPECT_EQ(boxes[1].width, layout.placeholderSide);
  EXPECT_EQ(boxes[1].height, layout.placeholderSide);
  EXPECT_NE(result.out.find("fill=\"#ff0000\""), std::string::npos);
  EXPECT_EQ(DrawnIn(result.out), "g+pg+") << "no path for the placeholder";
}

// Codes without a visible character draw their outline but no glyph: the private-use
// characters of 0xA0 and 0xFD-0xFF, as control codes.
TEST(RenderCommand, CodesWithoutAVisibleCharacterDrawNoGlyph) {
  TempFolder folder;
  Bytes file = ReadWholeFile(QUORVEL_SAMPLE_PATH);
  for (uint8_t code : {0xA0, 0xFD}) {
    WriteSingle(file.data(), ValueOffset(code, Width), 12);
    WriteSingle(file.data(), ValueOffset(code, Height), 24);
  }
  WriteWholeFile(folder.Path("private.fnt"), file);
  CliResult result = RunCli({"render", folder.Path("private.fnt"), "A\uF8F0\uF8F1B", "-o", "-"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  std::vector<SvgBox> boxes = BoxesIn(result.out);
  ASSERT_EQ(boxes.size(), 4u) << result.out;
  EXPECT_EQ(boxes[1].kind, "glyph");
  EXPECT_EQ(boxes[2].kind, "glyph");
  EXPECT_EQ(DrawnIn(result.out), "g+ggg+");
}

// A box so flat that the stretch fitting its glyph's ink to it is no number: the
// smallest positive height over the ink's height rounds to 0. Its frame is drawn,
// its glyph left out, and no attribute holds inf or nan.
TEST(RenderCommand, BoxTooFlatForItsGlyphDrawsItsFrameOnly) {
  TempFolder folder;
  Bytes file(kMetricsFileSize, 0);
  WriteSingle(file.data(), ValueOffset('A', Width), 1);
  WriteSingle(file.data(), ValueOffset('A', Height), std::ldexp(1.0f, -149));  // least subnormal
  WriteWholeFile(folder.Path("flat.fnt"), file);
  // 2^-149 * 2^-925 is the least positive double.
  CliResult result =
      RunCli({"render", folder.Path("flat.fnt"), "A", "-o", "-", "--scale", "0x1p-925"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  ASSERT_EQ(BoxesIn(result.out).size(), 1u) << result.out;
  EXPECT_EQ(BoxesIn(result.out)[0].height, std::ldexp(1.0, -1074));
  EXPECT_EQ(DrawnIn(result.out), "g");
  EXPECT_EQ(result.out.find("inf"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("nan"), std::string::npos) << result.out;
}

// Without --font the dialog's font; with it a family or a file, as measure takes
// it. Each glyph box with ink gets its character's path; a character the font
// lacks (IPA Gothic has no ∑), its box alone.
TEST(RenderCommand, GlyphsAreDrawnFromTheFontChosen) {
  const std::string ipaGothic = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  const struct {
    std::vector<std::string> font;  // the --font arguments
    const char* drawn;
  } cases[] = {
#ifdef _WIN32  // Wine has MS Gothic, which is IPA Gothic there
      {{}, "g+gg+"},
#else
      {{}, "g+g+g+"},
#endif
      {{"--font", "vl pgothic"}, "g+g+g+"},
      {{"--font", ipaGothic}, "g+gg+"}};
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"render", QUORVEL_SAMPLE_PATH, "A∑B", "-o", "-"};
    arguments.insert(arguments.end(), c.font.begin(), c.font.end());
    CliResult result = RunCli(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(DrawnIn(result.out) + result.err, c.drawn) << c.font.size();
  }
}

#ifndef _WIN32  // hides the fonts through fontconfig, which Windows does not use
// With none of the dialog's fonts installed (here: no font at all), the boxes
// alone, and one line that says so.
TEST(RenderCommand, WithoutTheDialogsFontsOnlyTheBoxesAndOneWarning) {
  TempFolder folder;
  const std::string config = "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
  WriteWholeFile(folder.Path("fonts.conf"), Bytes(config.begin(), config.end()));
  setenv("FONTCONFIG_FILE", folder.Path("fonts.conf").c_str(), 1);
  CliResult result = RunCli({"render", QUORVEL_SAMPLE_PATH, "A€B", "-o", "-"});
  unsetenv("FONTCONFIG_FILE");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(DrawnIn(result.out), "gpg");
  ASSERT_EQ(Lines(result.err).size(), 1u) << result.err;
  EXPECT_NE(result.err.find("boxes only"), std::string::npos) << result.err;
}
#endif

TEST(RenderCommand, BadArgumentsAreOneLineErrorsAndWriteNothing) {
  TempFolder folder;
  std::string out = folder.Path("out.svg");
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> mentions;
  } cases[] = {
      {"scale zero", {QUORVEL_SAMPLE_PATH, "A", "-o", out, "--scale", "0"}, {"--scale", "\"0\""}},
      {"negative scale", {QUORVEL_SAMPLE_PATH, "A", "-o", out, "--scale", "-1"}, {"\"-1\""}},
      {"scale not a number", {QUORVEL_SAMPLE_PATH, "A", "-o", out, "--scale", "nan"}, {"\"nan\""}},
      {"scale beyond a double",
       {QUORVEL_SAMPLE_PATH, "A", "-o", out, "--scale", "1e999"},
       {"\"1e999\""}},
      {"scale with a tail", {QUORVEL_SAMPLE_PATH, "A", "-o", out, "--scale", "2x"}, {"\"2x\""}},
      {"no output named", {QUORVEL_SAMPLE_PATH, "A"}, {"--output"}},
      {"missing file",
       {folder.Path("missing.fnt"), "A", "-o", out},
       {"missing.fnt", "cannot open"}},
      {"font not installed",
       {QUORVEL_SAMPLE_PATH, "A", "-o", out, "--font", "No Such Family"},
       {"render --font \"No Such Family\"", "no installed font family has this name"}},
      {"output folder missing",
       {QUORVEL_SAMPLE_PATH, "A", "-o", folder.Path("no/out.svg")},
       {"no/out.svg", "cannot create"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"render"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    EXPECT_TRUE(IsOneLineError(RunCli(arguments), c.mentions)) << c.name;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.name;
  }
  // A device is never opened: a full disk is a row of the catalogue (bad_input_test).
  EXPECT_TRUE(IsOneLineError(RunCli({"render", QUORVEL_SAMPLE_PATH, "A", "-o", kDevicePath}),
                             {kDevicePath, "not a regular file"}));
}

}  // namespace
