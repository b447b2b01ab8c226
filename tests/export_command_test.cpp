// quorvel-cli export: the JSON form that holds every byte, and CSV for spreadsheets.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli_process.h"
#include "metrics_format.h"
#include "test_files.h"

namespace {

void WriteBits(Bytes& bytes, uint32_t offset, uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  WriteSingle(bytes.data(), offset, value);
}

class ExportCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes = Bytes(kMetricsFileSize, 0);
    for (uint32_t i = 4; i < kHeaderSize; ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    WriteSingle(bytes.data(), kLineSpacingOffset, 14.0f);
    WriteSingle(bytes.data(), ValueOffset(0x41, Width), 0.1f);
    WriteSingle(bytes.data(), ValueOffset(0x41, Height), 24.0f);
    WriteSingle(bytes.data(), ValueOffset(0x41, 0), 1e-45f);  // smallest subnormal
    WriteBits(bytes, ValueOffset(0x41, 1), 0x7FC00001);       // NaN with a payload
    WriteBits(bytes, ValueOffset(0x41, 2), 0x80000000);       // -0
    WriteBits(bytes, ValueOffset(0x41, 3), 0xFF800000);       // -inf
    WriteSingle(bytes.data(), ValueOffset(255, 12), -3.0f);
    WriteSingle(bytes.data(), ValueOffset(0x2C, Width), 1.5f);  // the comma
    file = folder.Path("a.fnt");
    WriteWholeFile(file, bytes);
  }

  TempFolder folder;
  Bytes bytes;
  std::string file;
};

TEST_F(ExportCommandTest, JsonHoldsEveryValueAndByteByName) {
  CliResult result = RunCli({"export", file});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  nlohmann::json json = nlohmann::json::parse(result.out);
  EXPECT_EQ(json["format"], "quorvel-metrics");
  EXPECT_EQ(json["version"], 2);
  EXPECT_EQ(json["line_spacing"], 14.0);
  std::string header;
  for (uint32_t i = 4; i < kHeaderSize; ++i) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
    header += hex;
  }
  EXPECT_EQ(json["header_bytes"], header);
  ASSERT_EQ(json["records"].size(), 256u);
  const nlohmann::json& a = json["records"][0x41];
  EXPECT_EQ(a["code"], 0x41);
  EXPECT_EQ(a["char"], "A");
  EXPECT_EQ(a["width"].get<double>(), static_cast<double>(0.1f)) << "the single value exactly";
  EXPECT_EQ(a["height"], 24.0);
  ASSERT_EQ(a["values_0_to_7"].size(), 8u);
  EXPECT_EQ(a["values_0_to_7"][0].get<double>(), static_cast<double>(1e-45f));
  EXPECT_EQ(a["values_0_to_7"][1], "0x7FC00001");
  EXPECT_EQ(a["values_0_to_7"][2], "0x80000000");
  EXPECT_EQ(a["values_0_to_7"][3], "0xFF800000");
  EXPECT_EQ(a["value_13"], 0.0);
  const nlohmann::json& last = json["records"][255];
  EXPECT_FALSE(last.contains("value_13")) << "the file ends inside record 255";
  EXPECT_EQ(last["offset_y"], -3.0);
  EXPECT_FALSE(json["records"][0x81].contains("char"));
}

TEST_F(ExportCommandTest, JsonHasOneLinePerRecord) {
  std::vector<std::string> lines = Lines(RunCli({"export", file}).out);
  ASSERT_EQ(lines.size(), 6u + 256u + 2u);
  EXPECT_EQ(lines[5], "  \"records\": [");
  EXPECT_EQ(lines[6].substr(0, 26), "    {\"code\":0,\"width\":0.0,");
  EXPECT_EQ(lines[6 + 255].substr(0, 18), "    {\"code\":255,\"w");
}

TEST_F(ExportCommandTest, CsvHasTheLineSpacingAndTheValuesOfEveryCode) {
  for (bool bom : {false, true}) {
    std::vector<std::string> arguments = {"export", file, "--format", "csv"};
    if (bom) arguments.push_back("--bom");
    CliResult result = RunCli(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 258u);
    EXPECT_EQ(lines[0], std::string(bom ? "\xEF\xBB\xBF" : "") +
                            "code,char,width,height,spacing_left,spacing_right,offset_y");
    EXPECT_EQ(lines[1], "line_spacing,,14.0");
    EXPECT_EQ(lines[2 + 0x00], "0,,0.0,0.0,0.0,0.0,0.0");
    EXPECT_EQ(lines[2 + 0x22], "34,\"\"\"\",0.0,0.0,0.0,0.0,0.0");
    EXPECT_EQ(lines[2 + 0x2C], "44,\",\",1.5,0.0,0.0,0.0,0.0");
    EXPECT_EQ(lines[2 + 0x41], "65,A,0.10000000149011612,24.0,0.0,0.0,0.0");
    EXPECT_EQ(lines[2 + 0xB1], "177,ｱ,0.0,0.0,0.0,0.0,0.0");
    EXPECT_EQ(lines[2 + 0xFF], "255,,0.0,0.0,0.0,0.0,-3.0");
  }
}

TEST_F(ExportCommandTest, FailuresAreReported) {
  EXPECT_TRUE(IsOneLineError(RunCli({"export", folder.Path("missing.fnt")}),
                             {"missing.fnt", "cannot open"}));
  std::string wrong = folder.Path("wrong.fnt");
  WriteWholeFile(wrong, Bytes(100, 0));
  EXPECT_TRUE(
      IsOneLineError(RunCli({"export", wrong, "--format", "csv"}), {"wrong.fnt", "wrong size"}));

#ifndef _WIN32  // Windows has no device that fails every write
  CliRun toFullDisk;
  toFullDisk.outputPath = "/dev/full";
  CliResult result = RunCli({"export", file}, toFullDisk);
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("standard output: write failed"), std::string::npos) << result.err;
#endif
}

}  // namespace
