// quorvel-cli import: rebuilding files from their JSON form, exactly, and refusing
// JSON that does not describe a whole file.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "cli_process.h"
#include "metrics_format.h"
#include "test_files.h"

namespace {

using nlohmann::json;

// Bit patterns that numbers in JSON cannot carry, or carry only with care.
const uint32_t kSpecialBits[] = {
    0x7FC00000, 0x7FC00001, 0x7F800001, 0x7FBFFFFF, 0xFFFFFFFF,  // NaNs, quiet and signalling
    0x7F800000, 0xFF800000,                                      // infinities
    0x80000000, 0x00000000,                                      // zeros
    0x00000001, 0x807FFFFF, 0x00400000,                          // subnormals
    0x00800000, 0x7F7FFFFF, 0xFF7FFFFF, 0x3DCCCCCD, 0x4B000001,  // normal extremes and others
};

// Random bytes with the special patterns written over random values, the line
// spacing and the last value of the file.
Bytes RandomFileWithSpecialValues(uint32_t seed) {
  Bytes bytes = PatternedFile(seed);
  std::mt19937 random(seed);
  auto writeBits = [&](uint32_t offset, uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    WriteSingle(bytes.data(), offset, value);
  };
  for (uint32_t bits : kSpecialBits) {
    auto code = static_cast<uint8_t>(random() % 255);
    writeBits(ValueOffset(code, random() % kRecordValueCount), bits);
  }
  writeBits(kLineSpacingOffset, kSpecialBits[seed % std::size(kSpecialBits)]);
  writeBits(ValueOffset(255, 12), kSpecialBits[(seed + 1) % std::size(kSpecialBits)]);
  return bytes;
}

class ImportCommandTest : public ::testing::Test {
 protected:
  // Exports bytes and returns the JSON text.
  std::string Exported(const Bytes& bytes) {
    std::string path = folder.Path("source.fnt");
    WriteWholeFile(path, bytes);
    CliResult result = RunCli({"export", path});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
  }
  std::string JsonFile(const std::string& text) {
    std::string path = folder.Path("in.json");
    WriteWholeFile(path, Bytes(text.begin(), text.end()));
    return path;
  }

  TempFolder folder;
};

TEST_F(ImportCommandTest, ExportThenImportReproducesTheSample) {
  Bytes sample = ReadWholeFile(QUORVEL_SAMPLE_PATH);
  std::string out = folder.Path("out.fnt");
  ASSERT_EQ(RunCli({"import", JsonFile(Exported(sample)), out}).exitCode, 0);
  EXPECT_EQ(ReadWholeFile(out), sample);
}

TEST_F(ImportCommandTest, ExportThenImportReproducesRandomFilesExactly) {
  constexpr uint32_t kFiles = 100;
  for (uint32_t seed = 1; seed <= kFiles; ++seed) {
    Bytes bytes = RandomFileWithSpecialValues(seed);
    std::string out = folder.Path("out" + std::to_string(seed) + ".fnt");
    CliRun fromPipe;
    fromPipe.input = Exported(bytes);
    CliResult result = RunCli({"import", "-", out}, fromPipe);
    ASSERT_EQ(result.exitCode, 0) << "seed " << seed << ": " << result.err;
    ASSERT_EQ(ReadWholeFile(out), bytes) << "seed " << seed;
  }
}

TEST_F(ImportCommandTest, NumbersAreRoundedToSingleAndBitPatternsTakenAsTheyAre) {
  json document = json::parse(Exported(Bytes(kMetricsFileSize, 0)));
  document["line_spacing"] = 0.1;  // as a person would write it
  document["records"][65]["values"][8] = 12;
  document["records"][65]["values"][9] = "0x3f800000";
  document["records"][65]["values"][10] = 3.4028235e38;  // rounds to the largest single
  document["records"][65]["values"][11] = 1e-50;                  // below the smallest subnormal: 0
  std::string out = folder.Path("out.fnt");
  ASSERT_EQ(RunCli({"import", JsonFile(document.dump()), out}).exitCode, 0);
  Bytes bytes = ReadWholeFile(out);
  EXPECT_EQ(ReadLineSpacing(bytes.data()), 0.1f);
  EXPECT_EQ(ReadRecordValue(bytes.data(), 65, Width), 12.0f);
  EXPECT_EQ(ReadRecordValue(bytes.data(), 65, Height), 1.0f);
  EXPECT_EQ(ReadRecordValue(bytes.data(), 65, SpacingLeft), 3.4028234663852886e38f);
  EXPECT_EQ(ReadRecordValue(bytes.data(), 65, SpacingRight), 0.0f);
}

TEST_F(ImportCommandTest, JsonThatDoesNotDescribeAWholeFileIsRefused) {
  const json valid = json::parse(Exported(PatternedFile(3)));
  struct Case {
    const char* name;
    std::function<void(json&)> change;
    std::vector<std::string> mentions;
  } cases[] = {
      {"top level not an object", [](json& j) { j = json::array(); }, {"expected an object, found array"}},
      {"missing records", [](json& j) { j.erase("records"); }, {"missing key \"records\""}},
      {"missing header", [](json& j) { j.erase("header"); }, {"missing key \"header\""}},
      {"unknown key", [](json& j) { j["comment"] = "hi"; }, {"unknown key \"comment\""}},
      {"other format", [](json& j) { j["format"] = "other"; }, {"format", "\"other\""}},
      {"later version", [](json& j) { j["version"] = 2; }, {"version", "2, expected 1"}},
      {"line spacing of the wrong type", [](json& j) { j["line_spacing"] = true; },
       {"line_spacing", "expected a number or a bit pattern string, found boolean"}},
      {"line spacing beyond single", [](json& j) { j["line_spacing"] = 1e39; }, {"line_spacing", "out of range"}},
      {"short bit pattern", [](json& j) { j["line_spacing"] = "0x7FC0000"; }, {"line_spacing", "not a bit pattern"}},
      {"named NaN", [](json& j) { j["line_spacing"] = "NaN"; }, {"line_spacing", "not a bit pattern"}},
      {"header one byte short", [](json& j) { j["header"] = j["header"].get<std::string>().substr(2); },
       {"header", "590 hexadecimal digits, expected 592"}},
      {"header not hexadecimal", [](json& j) { j["header"] = "zz" + j["header"].get<std::string>().substr(2); },
       {"header", "\"zz\"", "not a hexadecimal byte"}},
      {"header as a number", [](json& j) { j["header"] = 0; }, {"header", "expected a string"}},
      {"records not an array", [](json& j) { j["records"] = json::object(); }, {"records", "expected an array"}},
      {"a record missing", [](json& j) { j["records"].erase(200); }, {"records", "255 records, expected 256"}},
      {"a record too many", [](json& j) { j["records"].push_back(j["records"][0]); }, {"257 records"}},
      {"records out of order", [](json& j) { std::swap(j["records"][3], j["records"][4]); },
       {"records[3].code", "expected 3"}},
      {"record without values", [](json& j) { j["records"][7].erase("values"); },
       {"records[7]", "missing key \"values\""}},
      {"record with an unknown key", [](json& j) { j["records"][7]["width"] = 1; },
       {"records[7]", "unknown key \"width\""}},
      {"char of the wrong type", [](json& j) { j["records"][9]["char"] = 9; }, {"records[9].char", "expected a string"}},
      {"thirteen values", [](json& j) { j["records"][0]["values"].erase(13); },
       {"records[0].values", "13 values, expected 14"}},
      {"fourteen values for code 255", [](json& j) { j["records"][255]["values"].push_back(0); },
       {"records[255].values", "14 values, expected 13"}},
      {"a null value", [](json& j) { j["records"][9]["values"][8] = nullptr; },
       {"records[9].values[8]", "found null"}},
      {"a value below single", [](json& j) { j["records"][9]["values"][2] = -1e39; },
       {"records[9].values[2]", "out of range"}},
  };
  for (const auto& c : cases) {
    json changed = valid;
    c.change(changed);
    std::string out = folder.Path("out.fnt");
    CliResult result = RunCli({"import", JsonFile(changed.dump()), out});
    EXPECT_TRUE(IsOneLineError(result, c.mentions)) << c.name;
    EXPECT_NE(result.err.find("in.json"), std::string::npos) << c.name << ": names the JSON file";
    EXPECT_FALSE(std::filesystem::exists(out)) << c.name << ": nothing is written";
  }
}

TEST_F(ImportCommandTest, MalformedJsonIsRefusedWithItsPlace) {
  struct Case {
    const char* name;
    const char* text;
    std::vector<std::string> mentions;
  } cases[] = {
      {"empty", "", {"not valid JSON", "unexpected end of input"}},
      {"cut short", "{\n  \"format\": ", {"not valid JSON", "line 2"}},
      {"trailing comma", "{\"format\": 1,}", {"not valid JSON", "column 14"}},
      {"not UTF-8", "{\"format\": \"\xFF\"}", {"not valid JSON"}},
  };
  for (const auto& c : cases) {
    std::string out = folder.Path("out.fnt");
    EXPECT_TRUE(IsOneLineError(RunCli({"import", JsonFile(c.text), out}), c.mentions)) << c.name;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.name;
  }
  EXPECT_TRUE(IsOneLineError(RunCli({"import", folder.Path("missing.json"), folder.Path("out.fnt")}),
                             {"missing.json", "cannot open"}));
  EXPECT_TRUE(IsOneLineError(RunCli({"import", folder.Root().string(), folder.Path("out.fnt")}),
                             {"is a directory"}));
}

TEST_F(ImportCommandTest, ExistingOutputIsReplacedOnlyWithForce) {
  std::string json = JsonFile(Exported(PatternedFile(5)));
  std::string out = folder.Path("out.fnt");
  Bytes longer(kMetricsFileSize + 10, 1);
  WriteWholeFile(out, longer);
  EXPECT_TRUE(IsOneLineError(RunCli({"import", json, out}), {"out.fnt", "already exists", "--force"}));
  EXPECT_EQ(ReadWholeFile(out), longer);
  ASSERT_EQ(RunCli({"import", json, out, "--force"}).exitCode, 0);
  EXPECT_EQ(ReadWholeFile(out), PatternedFile(5)) << "replaced whole, no old tail";
}

TEST_F(ImportCommandTest, OutputThatCannotBeAFileIsRefused) {
  std::string json = JsonFile(Exported(PatternedFile(5)));
  std::string directory = folder.Path("dir.fnt"), fifo = folder.Path("fifo.fnt");
  std::filesystem::create_directory(directory);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    const char* name;
    std::string out;
    std::vector<std::string> mentions;
  } cases[] = {
      {"directory", directory, {"dir.fnt", "not a regular file"}},
      {"FIFO", fifo, {"fifo.fnt", "not a regular file"}},
      {"missing folder", folder.Path("none/out.fnt"), {"none/out.fnt", "cannot create", "No such file"}},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(IsOneLineError(RunCli({"import", json, c.out, "--force"}), c.mentions)) << c.name;
  }
  EXPECT_TRUE(std::filesystem::is_directory(directory));
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

}  // namespace
