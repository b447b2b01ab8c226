// quorvel-cli set: the editor's change command from the command line. Each edit is
// checked against the shared core applied to the same field texts, byte for byte.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdint>
#include <string>
#include <vector>

#include "cli_process.h"
#include "field_text.h"
#include "metrics_format.h"
#include "shift_jis.h"
#include "test_files.h"
#include "value_edit.h"

namespace {

struct SetCase {
  const char* name;
  std::vector<std::string> target;  // the target options as typed
  EditScope scope;                  // what the editor's boxes would say
  uint8_t code;
  bool relative;
  const char* values[kEditedValueCount];  // field texts; nullptr: option not given
  const char* lineSpacing;
};

const char* const kValueOptions[] = {"--width", "--height", "--spacing-left", "--spacing-right", "--offset-y"};

std::vector<std::string> SetArguments(const SetCase& c, const std::vector<std::string>& files) {
  std::vector<std::string> arguments = {"set"};
  arguments.insert(arguments.end(), files.begin(), files.end());
  arguments.insert(arguments.end(), c.target.begin(), c.target.end());
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    if (c.values[i]) arguments.push_back(std::string(kValueOptions[i]) + "=" + c.values[i]);
  }
  if (c.lineSpacing) arguments.push_back(std::string("--line-spacing=") + c.lineSpacing);
  if (c.relative) arguments.push_back("--relative");
  return arguments;
}

// A field holding the text, as the editor checks it (every text here is taken).
FieldValue EditorField(const char* utf8) {
  FieldValue field;
  EXPECT_NE(CheckFieldText(Utf8ToShiftJis(utf8, SIZE_MAX).c_str(), &field), FieldTextStatus::NotANumber) << utf8;
  return field;
}

// What the editor's change command makes of file with the same texts in its fields.
Bytes AppliedByTheEditor(const Bytes& file, const SetCase& c) {
  Bytes image(kMetricsImageSize, 0);
  std::copy(file.begin(), file.end(), image.begin());
  RecordEdit edit;
  edit.mode = c.relative ? ValueMode::Relative : ValueMode::Absolute;
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    if (c.values[i]) edit.values[i] = EditorField(c.values[i]);
  }
  if (c.lineSpacing) edit.lineSpacing = EditorField(c.lineSpacing);
  ApplyRecordEdit(image.data(), edit, c.scope, c.code);
  image.resize(kMetricsFileSize);
  return image;
}

const SetCase kSetCases[] = {
    {"code, absolute", {"--code", "65"}, EditScope::CurrentCode, 65, false, {"12", nullptr, nullptr, nullptr, nullptr}, nullptr},
    {"hex code, relative negative", {"--code", "0x41"}, EditScope::CurrentCode, 0x41, true, {"-1.5", "2", nullptr, nullptr, "-0.25"}, nullptr},
    {"code 255, all five", {"--code", "255"}, EditScope::CurrentCode, 255, false, {"1", "2", "3", "4", "5"}, nullptr},
    {"code 0", {"--code", "0"}, EditScope::CurrentCode, 0, false, {nullptr, "7", nullptr, nullptr, nullptr}, nullptr},
    {"character", {"--char", "A"}, EditScope::CurrentCode, 0x41, false, {" 12 ", nullptr, nullptr, nullptr, nullptr}, nullptr},
    {"half-width katakana character", {"--char", "ｱ"}, EditScope::CurrentCode, 0xB1, true, {nullptr, "１３", "1e1", nullptr, nullptr}, nullptr},
    {"full width, absolute", {"--scope", "fullwidth"}, EditScope::FullWidth, 0, false, {"7", "24", nullptr, nullptr, nullptr}, nullptr},
    {"full width, relative", {"--scope", "fullwidth"}, EditScope::FullWidth, 0, true, {"1", "1", "1", "1", "1"}, "1"},
    {"half-width katakana", {"--scope", "halfkana"}, EditScope::HalfKana, 0, false, {"6", nullptr, "0.1", nullptr, nullptr}, "12"},
    {"half-width alphanumerics", {"--scope", "halfalnum"}, EditScope::HalfAlnum, 0, false, {"12", nullptr, nullptr, nullptr, nullptr}, nullptr},
    {"half-width alphanumerics, relative", {"--scope", "halfalnum"}, EditScope::HalfAlnum, 0, true, {"0.5", "-1", nullptr, nullptr, nullptr}, nullptr},
    {"line spacing alone", {}, EditScope::CurrentCode, 0, false, {nullptr, nullptr, nullptr, nullptr, nullptr}, "0.1234568"},
    {"line spacing alone, relative", {}, EditScope::CurrentCode, 0, true, {nullptr, nullptr, nullptr, nullptr, nullptr}, "-2"},
    {"empty texts and lone signs", {"--code", "66"}, EditScope::CurrentCode, 66, false, {"", "+", "-", "3", ""}, ""},
    {"spaces and full-width forms", {"--code", "67"}, EditScope::CurrentCode, 67, false, {"\t5", "－１．５ｅ２", "　－", nullptr, nullptr}, "　2　"},
    {"largest and tiny", {"--code", "68"}, EditScope::CurrentCode, 68, false, {"3.4028235e38", "1e-400", "-3.4028235e38", "1e-45", nullptr}, nullptr},
};

class SetCommandTest : public ::testing::Test {
 protected:
  std::string File(const std::string& name, const Bytes& bytes) {
    std::string path = folder.Path(name);
    WriteWholeFile(path, bytes);
    return path;
  }

  TempFolder folder;
};

TEST_F(SetCommandTest, AgreesWithTheEditorsApplyByteForByte) {
  const Bytes bases[] = {PatternedFile(11), ReadWholeFile(QUORVEL_SAMPLE_PATH), Bytes(kMetricsFileSize, 0)};
  for (const auto& c : kSetCases) {
    for (size_t b = 0; b < std::size(bases); ++b) {
      std::string path = File("a.fnt", bases[b]);
      CliResult result = RunCli(SetArguments(c, {path}));
      ASSERT_EQ(result.exitCode, 0) << c.name << "\n" << result.err;
      EXPECT_EQ(result.out, "") << c.name;
      EXPECT_EQ(ReadWholeFile(path), AppliedByTheEditor(bases[b], c)) << c.name << ", base " << b;
    }
  }
}

TEST_F(SetCommandTest, StoresTheValuesTheEditorWould) {
  // Independent of the core: the stored numbers themselves.
  std::string path = File("a.fnt", Bytes(kMetricsFileSize, 0));
  ASSERT_EQ(RunCli({"set", path, "--code", "0x41", "--width", "10", "--height=１２"}).exitCode, 0);
  ASSERT_EQ(RunCli({"set", path, "--char", "A", "--width", "-1.5", "--relative"}).exitCode, 0);
  ASSERT_EQ(RunCli({"set", path, "--scope", "fullwidth", "--width", "7"}).exitCode, 0);
  // An empty text after "=" is empty: it does not take the next argument.
  ASSERT_EQ(RunCli({"set", path, "--code", "0x41", "--width=", "--height", "5"}).exitCode, 0);
  Bytes bytes = ReadWholeFile(path);
  EXPECT_EQ(ReadRecordValue(bytes.data(), 0x41, Width), 8.5f);
  EXPECT_EQ(ReadRecordValue(bytes.data(), 0x41, Height), 5.0f);
  EXPECT_EQ(ReadRecordValue(bytes.data(), 16, Width), 7.0f);
  EXPECT_EQ(ReadRecordValue(bytes.data(), 21, Width), 7.0f);
  EXPECT_EQ(ReadRecordValue(bytes.data(), 19, Width), 4.0f) << "7 / 2 = 3.5 rounds to even";
  EXPECT_EQ(ReadRecordValue(bytes.data(), 24, Width), 4.0f);
  ASSERT_EQ(RunCli({"set", path, "--scope", "fullwidth", "--width", "5"}).exitCode, 0);
  EXPECT_EQ(ReadRecordValue(ReadWholeFile(path).data(), 19, Width), 2.0f) << "5 / 2 = 2.5 rounds to even";
}

TEST_F(SetCommandTest, SeveralFilesInOneCall) {
  const SetCase& c = kSetCases[9];  // half-width alphanumerics
  std::vector<std::string> paths;
  for (uint32_t seed = 1; seed <= 3; ++seed) paths.push_back(File("f" + std::to_string(seed) + ".fnt", PatternedFile(seed)));
  ASSERT_EQ(RunCli(SetArguments(c, paths)).exitCode, 0);
  for (uint32_t seed = 1; seed <= 3; ++seed) {
    EXPECT_EQ(ReadWholeFile(paths[seed - 1]), AppliedByTheEditor(PatternedFile(seed), c)) << seed;
  }
}

TEST_F(SetCommandTest, RelativeSetTwiceAddsTwice) {
  std::string path = File("a.fnt", Bytes(kMetricsFileSize, 0));
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(RunCli({"set", path, "--code", "3", "--offset-y", "1.25", "--line-spacing", "2", "--relative"}).exitCode, 0);
  }
  Bytes bytes = ReadWholeFile(path);
  EXPECT_EQ(ReadRecordValue(bytes.data(), 3, OffsetY), 2.5f);
  EXPECT_EQ(ReadLineSpacing(bytes.data()), 4.0f);
}

TEST_F(SetCommandTest, DryRunPrintsTheChangesAndWritesNothing) {
  Bytes zero(kMetricsFileSize, 0);
  std::string a = File("a.fnt", zero), b = File("b.fnt", zero);
  CliResult result = RunCli({"set", a, b, "--code", "0x41", "--width", "12", "--height", "0", "--dry-run"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, a + ": 0x41 A width: 0 -> 12\n" + b + ": 0x41 A width: 0 -> 12\n");
  EXPECT_EQ(ReadWholeFile(a), zero);
  EXPECT_EQ(ReadWholeFile(b), zero);

  result = RunCli({"set", a, "--code", "0x41", "--width", "0", "--dry-run"});
  EXPECT_EQ(result.out, a + ": no change\n");

  result = RunCli({"set", a, "--scope", "fullwidth", "--width", "9", "--dry-run"});
  EXPECT_EQ(result.out, a + ": 0x10 width: 0 -> 9\n" + a + ": 0x13 width: 0 -> 4\n" + a +
                            ": 0x15 width: 0 -> 9\n" + a + ": 0x18 width: 0 -> 4\n");
}

TEST_F(SetCommandTest, BadOptionsWriteNothing) {
  struct Case {
    const char* name;
    std::vector<std::string> options;
    std::vector<std::string> mentions;
  } cases[] = {
      {"code above 255", {"--code", "256", "--width", "1"}, {"256", "out of range"}},
      {"code not a number", {"--code", "0x4g", "--width", "1"}, {"0x4g", "not a code"}},
      {"negative code", {"--code=-1", "--width", "1"}, {"-1", "not a code"}},
      {"full-width character", {"--char", "あ", "--width", "1"}, {"あ", "--scope fullwidth"}},
      {"two characters", {"--char", "AB", "--width", "1"}, {"AB", "not one character"}},
      {"unknown scope", {"--scope", "kanji", "--width", "1"}, {"kanji"}},
      {"two targets", {"--code", "1", "--scope", "halfkana", "--width", "1"}, {"--code", "--scope"}},
      {"value without a target", {"--width", "1"}, {"--width", "needs a target"}},
      {"nothing to set", {"--code", "1"}, {"nothing to set"}},
      {"unknown option", {"--code", "1", "--widht", "1"}, {"--widht"}},
  };
  Bytes original = PatternedFile(8);
  std::string path = File("a.fnt", original);
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"set", path};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    EXPECT_TRUE(IsOneLineError(RunCli(arguments), c.mentions)) << c.name;
    EXPECT_EQ(ReadWholeFile(path), original) << c.name;
  }
}

TEST_F(SetCommandTest, TextThatIsNotANumberWritesNoFile) {
  struct Case {
    std::vector<std::string> options;
    std::string error;  // the first refused option, in option order
  } cases[] = {
      {{"--width", "abc"}, "--width: \"abc\" is not a number"},
      {{"--line-spacing=1,5", "--offset-y", "1e39", "--width", "2"}, "--offset-y: \"1e39\" is not a number"},
      {{"--height=nan", "--spacing-left=12abc"}, "--height: \"nan\" is not a number"},
  };
  std::vector<std::string> paths = {File("a.fnt", PatternedFile(1)), File("b.fnt", PatternedFile(2))};
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"set", paths[0], paths[1], "--code", "65"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    CliResult result = RunCli(arguments);
    EXPECT_EQ(result.exitCode, 2) << c.error;
    EXPECT_EQ(result.err, "quorvel-cli: set: " + c.error + "\n");
    EXPECT_EQ(ReadWholeFile(paths[0]), PatternedFile(1)) << c.error;
    EXPECT_EQ(ReadWholeFile(paths[1]), PatternedFile(2)) << c.error;
  }
}

TEST_F(SetCommandTest, FilesThatDoNotLoadAreReportedAndTheOthersStillSet) {
  Bytes wrongSize(kMetricsFileSize + 1, 5);
  std::string good1 = File("good1.fnt", PatternedFile(1)), good2 = File("good2.fnt", PatternedFile(2));
  std::string longer = File("long.fnt", wrongSize), folderPath = folder.Path("dir.fnt");
  std::filesystem::create_directory(folderPath);
  std::string missing = folder.Path("missing.fnt");
  const SetCase& c = kSetCases[0];
  CliResult result = RunCli(SetArguments(c, {good1, missing, longer, folderPath, good2}));
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  std::vector<std::string> errors = Lines(result.err);
  ASSERT_EQ(errors.size(), 3u) << result.err;
  EXPECT_NE(errors[0].find(missing + ": cannot open: " + MissingFileReason()), std::string::npos) << errors[0];
  EXPECT_NE(errors[1].find(longer + ": wrong size: 14633 bytes"), std::string::npos) << errors[1];
  EXPECT_NE(errors[2].find(folderPath + ": is a directory"), std::string::npos) << errors[2];
  EXPECT_EQ(ReadWholeFile(good1), AppliedByTheEditor(PatternedFile(1), c));
  EXPECT_EQ(ReadWholeFile(good2), AppliedByTheEditor(PatternedFile(2), c));
  EXPECT_EQ(ReadWholeFile(longer), wrongSize) << "nothing is written to a file that failed to load";
  EXPECT_FALSE(std::filesystem::exists(missing));
}

#ifndef _WIN32  // runs as nobody; Windows' sharing refusals are in metrics_test
TEST_F(SetCommandTest, ReadOnlyFileIsReportedAndKept) {
  Bytes original = PatternedFile(4);
  std::string readOnly = File("readonly.fnt", original), writable = File("writable.fnt", original);
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  ASSERT_EQ(chmod(writable.c_str(), 0666), 0);
  ASSERT_EQ(chmod(folder.Root().c_str(), 0755), 0);
  // The build folder may be closed to nobody; a copy in the test folder is not.
  CliRun asNobody;
  asNobody.unprivileged = true;
  asNobody.program = folder.Path("quorvel-cli");
  std::filesystem::copy_file(QUORVEL_CLI_PATH, asNobody.program);
  CliResult result = RunCli({"set", readOnly, writable, "--code", "65", "--width", "3"}, asNobody);
  EXPECT_TRUE(IsOneLineError(result, {readOnly, "cannot open for writing", "Permission denied"}));
  EXPECT_EQ(ReadWholeFile(readOnly), original);
  EXPECT_EQ(ReadRecordValue(ReadWholeFile(writable).data(), 65, Width), 3.0f);
}
#endif

}  // namespace
