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

TEST_F(ImportCommandTest, CsvExportAppliedOntoAChangedCopyGivesTheSameBytes) {
  for (uint32_t seed = 0; seed <= 20; ++seed) {
    Bytes bytes =
        seed == 0 ? ReadWholeFile(QUORVEL_SAMPLE_PATH) : RandomFileWithSpecialValues(seed);
    std::string source = folder.Path("source.fnt"), copy = folder.Path("copy.fnt");
    WriteWholeFile(source, bytes);
    std::string csv = RunCli({"export", source, "--format", "csv", "--bom"}).out;
    Bytes changed = bytes;
    for (uint32_t i = 0; i < kEditedValueCount; ++i) {
      WriteSingle(changed.data(), ValueOffset(static_cast<uint8_t>(seed * 11 + i), Width + i),
                  1234.5f);
    }
    WriteSingle(changed.data(), kLineSpacingOffset, -1.0f);
    WriteWholeFile(copy, changed);
    CliRun fromPipe;
    fromPipe.input = csv;
    CliResult result = RunCli({"import", "-", "--format", "csv", "--onto", copy}, fromPipe);
    ASSERT_EQ(result.exitCode, 0) << "seed " << seed << ": " << result.err;
    ASSERT_EQ(ReadWholeFile(copy), bytes) << "seed " << seed;
  }
}

// The first version's text, written here from the bytes: every value a bit pattern.
std::string FirstVersionJson(const Bytes& bytes) {
  auto bits = [&](uint32_t offset) {
    float value = ReadSingle(bytes.data(), offset);
    uint32_t pattern;
    std::memcpy(&pattern, &value, sizeof pattern);
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", pattern);
    return json(text);
  };
  json document = {{"format", "quorvel-metrics"}, {"version", 1}, {"line_spacing", bits(0)}};
  std::string header;
  for (uint32_t i = kFirstHeaderByte; i < kHeaderSize; ++i) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
    header += hex;
  }
  document["header"] = header;
  document["records"] = json::array();
  for (int code = 0; code < kCodeCount; ++code) {
    json values = json::array();
    for (uint32_t v = 0; v < ValueCountInFile(static_cast<uint8_t>(code)); ++v) {
      values.push_back(bits(ValueOffset(static_cast<uint8_t>(code), v)));
    }
    document["records"].push_back({{"code", code}, {"values", values}});
  }
  return document.dump();
}

TEST_F(ImportCommandTest, FirstVersionStillImports) {
  Bytes bytes = RandomFileWithSpecialValues(7);
  std::string out = folder.Path("out.fnt");
  CliResult result = RunCli({"import", JsonFile(FirstVersionJson(bytes)), out});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadWholeFile(out), bytes);

  // The first version describes whole files only, in code order.
  json cut = json::parse(FirstVersionJson(bytes));
  cut["records"].erase(200);
  EXPECT_TRUE(IsOneLineError(RunCli({"import", JsonFile(cut.dump()), folder.Path("cut.fnt")}),
                             {"records", "255 records, expected 256"}));
  json swapped = json::parse(FirstVersionJson(bytes));
  std::swap(swapped["records"][3], swapped["records"][4]);
  EXPECT_TRUE(
      IsOneLineError(RunCli({"import", JsonFile(swapped.dump()), folder.Path("swapped.fnt")}),
                     {"records[3].code", "expected 3"}));
}

TEST_F(ImportCommandTest, ShownJsonOntoAnotherFileChangesExactlyTheValuesShown) {
  Bytes from = PatternedFile(11), onto = PatternedFile(12);
  std::string fromPath = folder.Path("from.fnt"), ontoPath = folder.Path("onto.fnt");
  WriteWholeFile(fromPath, from);
  WriteWholeFile(ontoPath, onto);
  CliRun fromPipe;
  fromPipe.input = RunCli({"show", fromPath, "A", "0xB1", "255", "--json"}).out;
  CliResult result = RunCli({"import", "-", "--onto", ontoPath}, fromPipe);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  Bytes expected = onto;
  std::memcpy(expected.data(), from.data(), 4);  // the line spacing is shown too
  for (uint8_t code : {0x41, 0xB1, 0xFF}) {
    uint32_t size = 4 * ValueCountInFile(code);
    std::memcpy(expected.data() + RecordOffset(code), from.data() + RecordOffset(code), size);
  }
  EXPECT_EQ(ReadWholeFile(ontoPath), expected);
}

TEST_F(ImportCommandTest, NumbersAreRoundedToSingleAndBitPatternsTakenAsTheyAre) {
  json document = json::parse(Exported(Bytes(kMetricsFileSize, 0)));
  document["line_spacing"] = 0.1;  // as a person would write it
  document["records"][65]["width"] = 12;
  document["records"][65]["height"] = "0x3f800000";
  document["records"][65]["spacing_left"] = 3.4028235e38;  // rounds to the largest single
  document["records"][65]["spacing_right"] = 1e-50;        // below the smallest subnormal: 0
  document["records"][65]["char"] = "";  // an empty char says nothing, as an absent one
  document["records"][66].erase("char");
  std::string out = folder.Path("out.fnt");
  ASSERT_EQ(RunCli({"import", JsonFile(document.dump()), out}).exitCode, 0);
  Bytes bytes = ReadWholeFile(out);
  EXPECT_EQ(ReadLineSpacing(bytes.data()), 0.1f);
  EXPECT_EQ(ReadRecordValue(bytes.data(), 65, Width), 12.0f);
  EXPECT_EQ(ReadRecordValue(bytes.data(), 65, Height), 1.0f);
  EXPECT_EQ(ReadRecordValue(bytes.data(), 65, SpacingLeft), 3.4028234663852886e38f);
  EXPECT_EQ(ReadRecordValue(bytes.data(), 65, SpacingRight), 0.0f);
}

TEST_F(ImportCommandTest, DataThatCannotBeReadIsRefusedAndNothingIsWritten) {
  const json valid = json::parse(Exported(PatternedFile(3)));
  const Bytes ontoBytes = PatternedFile(4);
  struct Case {
    const char* name;
    std::function<void(json&)> change;  // of the valid document; or, for CSV cases, nullptr
    std::string csvText;
    std::vector<std::string> mentions;
    bool onto = false;  // applied with --onto rather than built as OUT
  } cases[] = {
      {"top level not an object",
       [](json& j) { j = json::array(); },
       "",
       {"expected an object, found array"}},
      {"unknown key", [](json& j) { j["comment"] = "hi"; }, "", {"unknown key \"comment\""}},
      {"misspelt width",
       [](json& j) { j["records"][7]["widht"] = 1; },
       "",
       {"records[7]: unknown key \"widht\""},
       true},
      {"first version's key in the second",
       [](json& j) { j["header"] = j["header_bytes"]; },
       "",
       {"unknown key \"header\""}},
      {"missing version",
       [](json& j) { j.erase("version"); },
       "",
       {"missing key \"version\""},
       true},
      {"other format", [](json& j) { j["format"] = "other"; }, "", {"format", "\"other\""}},
      {"later version", [](json& j) { j["version"] = 3; }, "", {"version", "3, expected 1 or 2"}},
      {"partial document as a new file",
       [](json& j) { j["records"].erase(200); },
       "",
       {"not a whole file", "the record of code 200", "--onto"}},
      {"no header bytes for a new file",
       [](json& j) { j.erase("header_bytes"); },
       "",
       {"lacks header_bytes"}},
      {"value 13 missing",
       [](json& j) { j["records"][3].erase("value_13"); },
       "",
       {"value_13 of code 3"}},
      {"line spacing of the wrong type",
       [](json& j) { j["line_spacing"] = true; },
       "",
       {"line_spacing", "expected a number or a bit pattern string, found boolean"},
       true},
      {"line spacing beyond single",
       [](json& j) { j["line_spacing"] = 1e39; },
       "",
       {"line_spacing", "out of range"}},
      {"named NaN",
       [](json& j) { j["line_spacing"] = "NaN"; },
       "",
       {"line_spacing", "not a bit pattern"}},
      {"header one byte short",
       [](json& j) { j["header_bytes"] = j["header_bytes"].get<std::string>().substr(2); },
       "",
       {"header_bytes", "590 hexadecimal digits, expected 592"}},
      {"header not hexadecimal",
       [](json& j) { j["header_bytes"] = "zz" + j["header_bytes"].get<std::string>().substr(2); },
       "",
       {"header_bytes", "\"zz\"", "not a hexadecimal byte"}},
      {"records not an array",
       [](json& j) { j["records"] = json::object(); },
       "",
       {"records", "expected an array"}},
      {"a code twice",
       [](json& j) { j["records"].push_back(j["records"][9]); },
       "",
       {"records[256].code", "9 is given twice"},
       true},
      {"code beyond 255",
       [](json& j) { j["records"][9]["code"] = 256; },
       "",
       {"records[9].code", "expected a code 0-255"}},
      {"value 13 of code 255",
       [](json& j) { j["records"][255]["value_13"] = 0; },
       "",
       {"records[255].value_13", "the file ends before it"},
       true},
      {"seven opaque values",
       [](json& j) { j["records"][0]["values_0_to_7"].erase(7); },
       "",
       {"records[0].values_0_to_7", "7 values, expected 8"}},
      {"char of the wrong type",
       [](json& j) { j["records"][9]["char"] = 9; },
       "",
       {"records[9].char", "expected a string"}},
      {"char of another code (a file sorted by one column)",
       [](json& j) { j["records"][65]["char"] = "B"; },
       "",
       {"records[65].char: \"B\" is not the character of code 65, \"A\""},
       true},
      {"char for a code without one",
       [](json& j) { j["records"][0]["char"] = "x"; },
       "",
       {"records[0].char: \"x\" is not the character of code 0, which has none"}},
      {"a null value",
       [](json& j) { j["records"][9]["width"] = nullptr; },
       "",
       {"records[9].width", "found null"}},
      {"CSV unknown column",
       nullptr,
       "code,widht\n65,1\n",
       {"line 1", "unknown column \"widht\""},
       true},
      {"CSV column twice",
       nullptr,
       "code,width,width\n",
       {"line 1", "\"width\" is given twice"},
       true},
      {"CSV without codes", nullptr, "char,width\nA,1\n", {"line 1", "no \"code\" column"}, true},
      {"CSV not a number",
       nullptr,
       "code,width\n65,12abc\n",
       {"line 2, width", "\"12abc\" is not a number"},
       true},
      {"CSV comma as decimal point",
       nullptr,
       "code,width\n65,\"1,5\"\n",
       {"line 2, width", "\"1,5\""},
       true},
      {"CSV beyond single",
       nullptr,
       "code,height\n65,1e39\n",
       {"line 2, height", "out of range"},
       true},
      {"CSV short bit pattern", nullptr, "code,width\n65,0x7FC0000\n", {"not a bit pattern"}, true},
      {"CSV a code twice",
       nullptr,
       "code,width\n65,1\n0x41,2\n",
       {"line 3, code", "given twice"},
       true},
      {"CSV code beyond 255",
       nullptr,
       "code,width\n256,1\n",
       {"line 2, code", "out of range"},
       true},
      {"CSV too many fields", nullptr, "code,width\n65,1,2\n", {"line 2", "3 fields"}, true},
      {"CSV char of another code",
       nullptr,
       "code,char,width\n65,A,1\n66,A,2\n",
       {"line 3, char: \"A\" is not the character of code 66, \"B\""},
       true},
      {"CSV line spacing in another column",
       nullptr,
       "code,width,height\nline_spacing,,3\n",
       {"line 2, height", "the line_spacing row holds one value"},
       true},
      {"CSV quote not closed", nullptr, "code,width\n65,\"1\n", {"line 2", "not closed"}, true},
      {"CSV for a new file", nullptr, "code,width\n65,1\n", {"import", "--onto"}},
  };
  for (const auto& c : cases) {
    std::string data;
    if (c.change) {
      json changed = valid;
      c.change(changed);
      data = JsonFile(changed.dump());
    } else {
      data = folder.Path("in.csv");
      WriteWholeFile(data, Bytes(c.csvText.begin(), c.csvText.end()));
    }
    std::string out = folder.Path("out.fnt");
    WriteWholeFile(folder.Path("onto.fnt"), ontoBytes);
    std::vector<std::string> arguments = {"import", data};
    if (c.onto) arguments.insert(arguments.end(), {"--onto", folder.Path("onto.fnt")});
    if (!c.onto) arguments.push_back(out);
    CliResult result = RunCli(arguments);
    EXPECT_TRUE(IsOneLineError(result, c.mentions)) << c.name << ": " << result.err;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.name << ": nothing is written";
    EXPECT_EQ(ReadWholeFile(folder.Path("onto.fnt")), ontoBytes)
        << c.name << ": nothing is written";
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
  EXPECT_TRUE(
      IsOneLineError(RunCli({"import", folder.Path("missing.json"), folder.Path("out.fnt")}),
                     {"missing.json", "cannot open"}));
  EXPECT_TRUE(IsOneLineError(RunCli({"import", folder.Root().string(), folder.Path("out.fnt")}),
                             {"is a directory"}));
}

TEST_F(ImportCommandTest, WhereTheDataGoesMustBeClear) {
  std::string json = JsonFile(Exported(PatternedFile(5)));
  std::string out = folder.Path("out.fnt");
  WriteWholeFile(out, PatternedFile(6));
  struct Case {
    std::vector<std::string> arguments;
    std::vector<std::string> mentions;
  } cases[] = {
      {{"import", json}, {"give OUT.fnt", "--onto FILE"}},
      {{"import", json, out, "--onto", out}, {"give OUT.fnt", "--onto FILE"}},
      {{"import", json, "--onto", out, "--force"}, {"--force is for OUT.fnt"}},
      {{"import", json, "--onto", folder.Path("missing.fnt")}, {"missing.fnt", "cannot open"}},
      {{"import", json, json, "--force"}, {"in.json, which this run reads: not written"}},
  };
  Bytes data = ReadWholeFile(json);
  for (const auto& c : cases)
    EXPECT_TRUE(IsOneLineError(RunCli(c.arguments), c.mentions)) << c.arguments.size();
  EXPECT_EQ(ReadWholeFile(out), PatternedFile(6));
  EXPECT_EQ(ReadWholeFile(json), data);
}

TEST_F(ImportCommandTest, ExistingOutputIsReplacedOnlyWithForce) {
  std::string json = JsonFile(Exported(PatternedFile(5)));
  std::string out = folder.Path("out.fnt");
  Bytes longer(kMetricsFileSize + 10, 1);
  WriteWholeFile(out, longer);
  EXPECT_TRUE(
      IsOneLineError(RunCli({"import", json, out}), {"out.fnt", "already exists", "--force"}));
  EXPECT_EQ(ReadWholeFile(out), longer);
  ASSERT_EQ(RunCli({"import", json, out, "--force"}).exitCode, 0);
  EXPECT_EQ(ReadWholeFile(out), PatternedFile(5)) << "replaced whole, no old tail";
}

TEST_F(ImportCommandTest, OutputThatCannotBeAFileIsRefused) {
  std::string json = JsonFile(Exported(PatternedFile(5)));
  std::string directory = folder.Path("dir.fnt"), fifo = folder.Path("fifo.fnt");
  std::filesystem::create_directory(std::filesystem::u8path(directory));
#ifdef _WIN32  // Windows has no FIFO in the file system: a device stands in for it
  std::string special = kDevicePath;
#else
  std::string special = fifo;
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
#endif
  struct Case {
    const char* name;
    std::string out;
    std::vector<std::string> mentions;
  } cases[] = {
      {"directory", directory, {"dir.fnt", "not a regular file"}},
      {"FIFO or device", special, {special, "not a regular file"}},
      {"missing folder", folder.Path("none/out.fnt"), {"none/out.fnt", "cannot create"}},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(IsOneLineError(RunCli({"import", json, c.out, "--force"}), c.mentions)) << c.name;
  }
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::u8path(directory)));
#ifndef _WIN32
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
#endif
}

}  // namespace
