// quorvel-cli show: the line spacing and the values of codes, as a table or JSON.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "cli_process.h"
#include "metrics_format.h"
#include "test_files.h"

namespace {

class ShowCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Bytes bytes(kMetricsFileSize, 0);
    WriteSingle(bytes.data(), kLineSpacingOffset, 14.0f);
    WriteSingle(bytes.data(), ValueOffset(0x41, Width), 12.0f);
    WriteSingle(bytes.data(), ValueOffset(0x41, Height), 24.0f);
    WriteSingle(bytes.data(), ValueOffset(0x41, SpacingLeft), 0.5f);
    WriteSingle(bytes.data(), ValueOffset(0x41, SpacingRight), -3.0f);
    WriteSingle(bytes.data(), ValueOffset(0xB1, Width), 6.0f);
    WriteSingle(bytes.data(), ValueOffset(0x41, 7), 99.0f);  // opaque: never shown
    WriteWholeFile(file, bytes);
  }

  TempFolder folder;
  std::string file = folder.Path("a.fnt");
};

TEST_F(ShowCommandTest, TableOfTheNamedCodes) {
  CliResult result = RunCli({"show", file, "0x41", "ｱ", "129"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "line_spacing: 14\n"
            "code   hex  char  width  height  spacing_left  spacing_right  offset_y\n"
            "  65  0x41  A        12      24           0.5             -3         0\n"
            " 177  0xB1  ｱ         6       0             0              0         0\n"
            " 129  0x81            0       0             0              0         0\n");
}

TEST_F(ShowCommandTest, CodeNumberAndCharacterNameTheSameRecord) {
  std::string byDecimal = RunCli({"show", file, "65"}).out;
  EXPECT_NE(byDecimal.find("  65  0x41  A        12"), std::string::npos) << byDecimal;
  EXPECT_EQ(RunCli({"show", file, "0x41"}).out, byDecimal);
  EXPECT_EQ(RunCli({"show", file, "A"}).out, byDecimal);
  // A digit alone is a code, not the digit's character.
  EXPECT_NE(RunCli({"show", file, "1"}).out.find("\n   1  0x01 "), std::string::npos);
}

TEST_F(ShowCommandTest, EveryCodeByDefault) {
  CliResult result = RunCli({"show", file});
  ASSERT_EQ(result.exitCode, 0);
  std::vector<std::string> lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 2u + kCodeCount);
  EXPECT_EQ(lines[2].substr(0, 10), "   0  0x00");
  EXPECT_EQ(lines[2 + 255].substr(0, 10), " 255  0xFF");
}

TEST_F(ShowCommandTest, JsonIsExportsDocumentWholeOrPartial) {
  CliResult result = RunCli({"show", file, "0x80", "A", "65", "--json"});
  ASSERT_EQ(result.exitCode, 0);
  nlohmann::json json = nlohmann::json::parse(result.out);
  EXPECT_EQ(json["version"], 2);
  EXPECT_EQ(json["line_spacing"], 14.0);
  EXPECT_FALSE(json.contains("header_bytes")) << "a partial document";
  ASSERT_EQ(json["records"].size(), 2u) << "each code once";
  const nlohmann::json& a = json["records"][1];
  EXPECT_EQ(json["records"][0]["code"], 65) << "in code order";
  EXPECT_EQ(a["code"], 0x80);
  EXPECT_FALSE(a.contains("char")) << "0x80 is a control code";
  const nlohmann::json& named = json["records"][0];
  EXPECT_EQ(named["char"], "A");
  EXPECT_EQ(named["width"], 12.0);
  EXPECT_EQ(named["spacing_left"], 0.5);
  EXPECT_EQ(named["spacing_right"], -3.0);
  EXPECT_EQ(named["values_0_to_7"][7], 99.0);

  EXPECT_EQ(RunCli({"show", file, "--json"}).out, RunCli({"export", file}).out);
}

TEST_F(ShowCommandTest, BadCodesAreRefused) {
  struct Case {
    const char* name;
    const char* code;
    std::vector<std::string> mentions;
  } cases[] = {
      {"above 255", "256", {"256", "out of range"}},
      {"hexadecimal above 0xFF", "0x100", {"0x100", "out of range"}},
      {"two characters", "AB", {"\"AB\"", "not a code", "nor one character"}},
      {"negative", "-1", {"-1"}},
      {"full-width character", "あ", {"\"あ\"", "--scope fullwidth", "code 16"}},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(IsOneLineError(RunCli({"show", file, c.code}), c.mentions)) << c.name;
  }
}

TEST_F(ShowCommandTest, FilesThatDoNotLoadAreReported) {
  std::string shortFile = folder.Path("short.fnt"), directory = folder.Path("folder.fnt");
  WriteWholeFile(shortFile, Bytes(kMetricsFileSize - 1, 0));
  std::filesystem::create_directory(directory);
  struct Case {
    const char* name;
    std::string path;
    std::vector<std::string> mentions;
  } cases[] = {
      {"missing", folder.Path("missing.fnt"), {"missing.fnt", "cannot open", MissingFileReason()}},
      {"one byte short", shortFile, {"short.fnt", "wrong size: 14631 bytes", "14632"}},
      {"directory", directory, {"folder.fnt", "is a directory"}},
      {"device", kDevicePath, {kDevicePath, "not a regular file"}},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(IsOneLineError(RunCli({"show", c.path}), c.mentions)) << c.name;
  }
}

}  // namespace
