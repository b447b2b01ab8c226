// quorvel-cli measure: the module's measure written through the guarded save, its
// report and exit codes, and every refusal writing nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli_process.h"
#include "font_face.h"
#include "font_measure.h"
#include "metrics_format.h"
#include "test_files.h"

namespace {

constexpr char kIpaGothic[] = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
constexpr char kVlGothic[] = "/usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf";

// A font file as measure names it, resolved: under Wine the Windows path of drive Z:.
std::string ResolvedFontPath(std::string path) {
#ifdef _WIN32
  std::replace(path.begin(), path.end(), '/', '\\');
  path = "Z:" + path;
#endif
  return path;
}

// What the module makes of file with request, as the file's bytes.
Bytes MeasuredByTheModule(const Bytes& file, const char* font, const MeasureRequest& request) {
  Bytes image = file;
  image.resize(kMetricsImageSize, 0);
  FontFace face;
  EXPECT_EQ(OpenFontFace(font, &face).status, FontOpenStatus::Opened);
  MeasureReport report;
  EXPECT_TRUE(MeasureIntoImage(face, request, image.data(), &report));
  CloseFontFace(&face);
  image.resize(kMetricsFileSize);
  return image;
}

TEST(MeasureCommand, WritesWhatTheModuleMeasuresAndAnswersForMissingGlyphs) {
  TempFolder folder;
  std::string a = folder.Path("a.fnt");
  WriteWholeFile(a, PatternedFile(3));
  CliResult result = RunCli({"measure", a, "--font", "vl gothic", "--size", "16", "--scope",
                             "halfalnum", "--char", "ｱ", "--code", "0x80", "--round"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  MeasureRequest request;
  request.halfAlnum = request.roundEdges = true;
  request.codes = {0xB1};
  EXPECT_EQ(ReadWholeFile(a), MeasuredByTheModule(PatternedFile(3), kVlGothic, request));
  EXPECT_EQ(Lines(result.err),
            (std::vector<std::string>{
                "quorvel-cli: measure: font " + ResolvedFontPath(kVlGothic) + " (VL Gothic), 16 px",
                "quorvel-cli: " + a + ": 96 codes set, 0 left as they were"}));

  // IPA Gothic has no ∑: its class is left, the rest written, and the answer is 1.
  WriteWholeFile(a, PatternedFile(3));
  result = RunCli({"measure", a, "--font", kIpaGothic, "--size", "12", "--scope", "fullwidth",
                   "--sample", "∑", "--char", "A"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find(": slots 16 and 21 (full width, from ∑) left as they were: the font "
                            "has no glyph for U+2211\n"),
            std::string::npos)
      << result.err;
  request = MeasureRequest();
  request.pixelSize = 12;
  request.codes = {'A'};
  EXPECT_EQ(ReadWholeFile(a), MeasuredByTheModule(PatternedFile(3), kIpaGothic, request));

  result = RunCli({"measure", a, "--font", kIpaGothic, "--size", "12", "--char", "B", "--dry-run"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out.rfind(a + ": 0x42 B width: ", 0), 0u) << result.out;
  EXPECT_EQ(ReadWholeFile(a), MeasuredByTheModule(PatternedFile(3), kIpaGothic, request));
}

TEST(MeasureCommand, RefusalsAreOneLineAndWriteNothing) {
  TempFolder folder;
  std::string notAFont = folder.Path("notes.txt");
  WriteWholeFile(notAFont, Bytes(64, 'x'));
  struct Case {
    const char* name;
    std::vector<std::string> options;
    std::vector<std::string> mentions;
  } cases[] = {
      {"size 0", {"--font", kVlGothic, "--size", "0", "--code", "65"}, {"--size 0", "1-1000"}},
      {"size 1001",
       {"--font", kVlGothic, "--size", "1001", "--code", "65"},
       {"--size 1001", "1-1000"}},
      {"size not a number", {"--font", kVlGothic, "--size", "x", "--code", "65"}, {"--size"}},
      {"missing font path",
       {"--font", "/no/such.ttf", "--size", "16", "--code", "65"},
       {"/no/such.ttf", "cannot open"}},
      {"unknown family",
       {"--font", "No Such Family", "--size", "16", "--code", "65"},
       {"\"No Such Family\"", "no installed font family"}},
      {"directory as font",
       {"--font", folder.Root().string(), "--size", "16", "--code", "65"},
       {folder.Root().string(), "is a directory"}},
      {"not a font",
       {"--font", notAFont, "--size", "16", "--code", "65"},
       {notAFont, "unknown file format"}},
      {"bad code", {"--font", kVlGothic, "--size", "16", "--code", "256"}, {"256", "out of range"}},
      {"full-width character",
       {"--font", kVlGothic, "--size", "16", "--char", "国"},
       {"国", "--scope fullwidth"}},
      {"nothing to measure", {"--font", kVlGothic, "--size", "16"}, {"nothing to measure"}},
      {"sample of no class",
       {"--font", kVlGothic, "--size", "16", "--scope", "fullwidth", "--sample", "A"},
       {"--sample \"A\"", "full-width"}},
      {"sample for a class not measured",
       {"--font", kVlGothic, "--size", "16", "--code", "65", "--sample", "ｶ"},
       {"--scope halfkana", "not measured"}},
  };
  Bytes original = PatternedFile(9);
  std::string path = folder.Path("a.fnt");
  WriteWholeFile(path, original);
  for (const Case& c : cases) {
    std::vector<std::string> arguments = {"measure", path};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    EXPECT_TRUE(IsOneLineError(RunCli(arguments), c.mentions)) << c.name;
    EXPECT_EQ(ReadWholeFile(path), original) << c.name;
  }
}

}  // namespace
