// A catalogue of hostile and broken inputs, each run through the editor's core and
// through quorvel-cli: every case ends with a clear message or its documented
// outcome, never a crash or a hang, and every file stays byte for byte as it was
// unless the case writes it on purpose.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "cli_process.h"
#include "command_line.h"
#include "field_text.h"
#include "metrics_document.h"
#include "shift_jis.h"
#include "test_files.h"
#include "value_edit.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

// The bytes of every regular file under the folder, to prove nothing was written.
std::map<std::string, Bytes> Snapshot(const TempFolder& folder) {
  std::map<std::string, Bytes> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder.Root())) {
    if (!entry.is_symlink() && entry.is_regular_file()) files[entry.path().string()] = ReadWholeFile(entry.path().string());
  }
  return files;
}

// Loads path in a child that has given up root (root reads files without read
// permission); the child's exit code carries the status.
LoadStatus LoadAsNobody(const std::string& path) {
  pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(100);
    MetricsDocument doc;
    _exit(static_cast<int>(LoadMetricsFile(doc, path.c_str()).status));
  }
  int status = 0;
  waitpid(child, &status, 0);
  return static_cast<LoadStatus>(WEXITSTATUS(status));
}

// A run of quorvel-cli as nobody, from a copy of the binary inside the (world-
// readable) folder: the build folder itself may be closed to nobody.
CliRun AsNobody(const TempFolder& folder) {
  CliRun run;
  run.unprivileged = true;
  run.program = folder.Path("quorvel-cli-copy");
  if (!fs::exists(run.program)) fs::copy_file(QUORVEL_CLI_PATH, run.program);
  fs::permissions(folder.Root(), fs::perms::all);
  fs::permissions(run.program, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec |
                                   fs::perms::group_read | fs::perms::others_read);
  return run;
}

LoadStatus Load(const std::string& path) {
  MetricsDocument doc;
  LoadStatus status = LoadMetricsFile(doc, path.c_str()).status;
  ReleaseMetricsFile(doc);
  return status;
}

std::string ValidFile(const TempFolder& folder, const std::string& name) {
  std::string path = folder.Path(name);
  WriteWholeFile(path, PatternedFile());
  return path;
}

// ---------------------------------------------------------------------------
// Files the program is asked to open.

struct FileCase {
  const char* name;
  std::function<std::string(const TempFolder&)> make;  // creates the input, returns the path
  LoadStatus load;                                     // the core's verdict
  bool unprivileged = false;                           // run without root's rights
};

const FileCase kFileCases[] = {
    {"empty file", [](const TempFolder& f) { WriteWholeFile(f.Path("e.fnt"), {}); return f.Path("e.fnt"); },
     LoadStatus::WrongSize},
    {"14,631 bytes",
     [](const TempFolder& f) { WriteWholeFile(f.Path("s.fnt"), Bytes(kMetricsFileSize - 1, 1)); return f.Path("s.fnt"); },
     LoadStatus::WrongSize},
    {"14,633 bytes",
     [](const TempFolder& f) { WriteWholeFile(f.Path("l.fnt"), Bytes(kMetricsFileSize + 1, 1)); return f.Path("l.fnt"); },
     LoadStatus::WrongSize},
    {"1 GiB sparse file",
     [](const TempFolder& f) {
       std::string path = f.Path("big.fnt");
       WriteWholeFile(path, {});
       fs::resize_file(path, uint64_t{1} << 30);
       return path;
     },
     LoadStatus::WrongSize},
    {"directory", [](const TempFolder& f) { fs::create_directory(f.Path("d.fnt")); return f.Path("d.fnt"); },
     LoadStatus::NotRegularFile},
    {"FIFO without a writer",
     [](const TempFolder& f) { mkfifo(f.Path("p.fnt").c_str(), 0666); return f.Path("p.fnt"); },
     LoadStatus::NotRegularFile},
    {"character device", [](const TempFolder&) { return std::string("/dev/null"); }, LoadStatus::NotRegularFile},
    {"missing file", [](const TempFolder& f) { return f.Path("missing.fnt"); }, LoadStatus::CannotOpen},
    {"no read permission",
     [](const TempFolder& f) {
       std::string path = ValidFile(f, "secret.fnt");
       chmod(path.c_str(), 0);
       return path;
     },
     LoadStatus::CannotOpen, true},
    {"symbolic link loop",
     [](const TempFolder& f) { fs::create_symlink("loop.fnt", f.Path("loop.fnt")); return f.Path("loop.fnt"); },
     LoadStatus::CannotOpen},
    {"path of 4,096 bytes", [](const TempFolder& f) { return f.Path(std::string(4096, 'x')); },
     LoadStatus::CannotOpen},
    {"symbolic link to a valid file",
     [](const TempFolder& f) {
       ValidFile(f, "target.fnt");
       fs::create_symlink("target.fnt", f.Path("link.fnt"));
       return f.Path("link.fnt");
     },
     LoadStatus::Loaded},
    {"Shift-JIS file name", [](const TempFolder& f) { return ValidFile(f, "\x95\x5C\x83\x5C.fnt"); }, LoadStatus::Loaded},
    {"UTF-8 file name", [](const TempFolder& f) { return ValidFile(f, "\xE8\xA1\xA8\xE3\x82\xBD.fnt"); },
     LoadStatus::Loaded},
    {"spaces, quotes and backslashes in the name",
     [](const TempFolder& f) { return ValidFile(f, "a b \"c\" \\d\\ 'e'.fnt"); }, LoadStatus::Loaded},
    {"path of 259 bytes",
     [](const TempFolder& f) {
       std::string base = f.Path("");
       return ValidFile(f, std::string(259 - base.size(), 'n'));
     },
     LoadStatus::Loaded},
};

class FileInputs : public ::testing::TestWithParam<FileCase> {};

TEST_P(FileInputs, CoreAndCliAgreeAndWriteNothingUnasked) {
  const FileCase& c = GetParam();
  TempFolder folder;
  fs::permissions(folder.Root(), fs::perms::all);
  std::string path = c.make(folder);
  CliRun run = c.unprivileged ? AsNobody(folder) : CliRun{};
  auto before = Snapshot(folder);

  EXPECT_EQ(c.unprivileged ? LoadAsNobody(path) : Load(path), c.load);

  CliResult check = RunCli({"check", path}, run);
  EXPECT_EQ(check.exitCode, c.load == LoadStatus::Loaded ? 0 : 1) << check.out << check.err;
  EXPECT_EQ(check.out.rfind(path + ": ", 0), 0u) << "one line naming the file: " << check.out;

  CliResult show = RunCli({"show", path, "65"}, run);
  if (c.load == LoadStatus::Loaded) {
    EXPECT_EQ(show.exitCode, 0) << show.err;
  } else {
    EXPECT_TRUE(IsOneLineError(show, {path}));
  }
  EXPECT_EQ(Snapshot(folder), before) << "loading and showing write nothing";

  // A change: written on purpose into a valid file, refused for the others.
  CliResult set = RunCli({"set", path, "--code", "65", "--width", "7"}, run);
  if (c.load == LoadStatus::Loaded) {
    EXPECT_EQ(set.exitCode, 0) << set.err;
  } else {
    EXPECT_TRUE(IsOneLineError(set, {path}));
    EXPECT_EQ(Snapshot(folder), before) << "nothing written to a file that failed to load";
  }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, FileInputs, ::testing::ValuesIn(kFileCases),
                         [](const auto& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p; ++p) {
                             if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                           }
                           return name;
                         });

TEST(FileInputs, ValidFileWithNaNsShowsThemAndTheShownNanIsNotANumber) {
  TempFolder folder;
  std::string path = folder.Path("nan.fnt");
  Bytes file(kMetricsFileSize, 0);
  const uint32_t quietNaN = 0x7FC00001, signallingNaN = 0xFF800001;
  std::memcpy(&file[ValueOffset(65, Width)], &quietNaN, 4);
  std::memcpy(&file[ValueOffset(65, Height)], &signallingNaN, 4);
  WriteWholeFile(path, file);

  CliResult show = RunCli({"show", path, "65", "--json"});
  EXPECT_EQ(show.exitCode, 0);
  EXPECT_NE(show.out.find("nan"), std::string::npos) << show.out;

  // "nan" as shown is refused, so it never reaches the edit; a field left empty
  // keeps even a NaN bit for bit.
  MetricsDocument doc;
  ASSERT_EQ(LoadMetricsFile(doc, path.c_str()).status, LoadStatus::Loaded);
  RecordTexts texts;
  FormatRecordFields(doc.image, 65, &texts);
  EXPECT_STREQ(texts.field[0], "nan");
  RecordEdit edit;
  EXPECT_EQ(CheckFieldText(texts.field[0], &edit.values[0]), FieldTextStatus::NotANumber);
  ApplyRecordEdit(doc.image, edit, EditScope::CurrentCode, 65);
  uint32_t widthBits, heightBits;
  std::memcpy(&widthBits, doc.image + ValueOffset(65, Width), 4);
  std::memcpy(&heightBits, doc.image + ValueOffset(65, Height), 4);
  EXPECT_EQ(widthBits, quietNaN);
  EXPECT_EQ(heightBits, signallingNaN);
  ReleaseMetricsFile(doc);
  Bytes before = ReadWholeFile(path);
  EXPECT_TRUE(IsOneLineError(RunCli({"set", path, "--code", "65", "--width", "nan"}), {"\"nan\" is not a number"}));
  EXPECT_EQ(ReadWholeFile(path), before);
}

// ---------------------------------------------------------------------------
// Field texts typed into a value field or given to set --width.

struct TextCase {
  const char* name;
  std::string text;        // UTF-8, as set takes it
  FieldTextStatus status;  // NoNumber and NotANumber leave the value as it was
  float stored;            // the width afterwards for a number
};

const TextCase kTextCases[] = {
    {"259 digits", std::string(259, '9'), FieldTextStatus::NotANumber, 0},
    {"259 digits behind the point", "0." + std::string(257, '9'), FieldTextStatus::Number, 1.0f},
    {"1e400", "1e400", FieldTextStatus::NotANumber, 0},
    {"1e minus 400", "1e-400", FieldTextStatus::Number, 0.0f},
    {"exponent beyond 32 bits", "1e99999999999", FieldTextStatus::NotANumber, 0},
    {"negative exponent beyond 32 bits", "1e-99999999999", FieldTextStatus::Number, 0.0f},
    {"lone minus", "-", FieldTextStatus::NoNumber, 0},
    {"empty", "", FieldTextStatus::NoNumber, 0},
    {"letters", "abc", FieldTextStatus::NotANumber, 0},
    {"leading space", " 5", FieldTextStatus::Number, 5.0f},
    {"259 characters of garbage", std::string(259, '\xFF'), FieldTextStatus::NotANumber, 0},
};

class FieldTexts : public ::testing::TestWithParam<TextCase> {};

TEST_P(FieldTexts, CoreAndCliStoreTheSameBits) {
  const TextCase& c = GetParam();
  TempFolder folder;
  std::string path = ValidFile(folder, "t.fnt");
  Bytes before = ReadWholeFile(path);

  Bytes image = before;
  image.resize(kMetricsImageSize, 0);
  RecordEdit edit;
  ASSERT_EQ(CheckFieldText(Utf8ToShiftJis(c.text.c_str(), SIZE_MAX).c_str(), &edit.values[0]), c.status);
  if (c.status != FieldTextStatus::NotANumber) ApplyRecordEdit(image.data(), edit, EditScope::CurrentCode, 65);
  image.resize(kMetricsFileSize);
  if (c.status == FieldTextStatus::Number) {
    EXPECT_EQ(ReadRecordValue(image.data(), 65, Width), c.stored);
  } else {
    EXPECT_EQ(image, before);
  }

  CliResult set = RunCli({"set", path, "--code", "65", "--width", c.text});
  if (c.status == FieldTextStatus::NotANumber) {
    EXPECT_TRUE(IsOneLineError(set, {"--width", "is not a number"}));
  } else {
    EXPECT_EQ(set.exitCode, 0) << set.err;
  }
  EXPECT_EQ(ReadWholeFile(path), image) << "quorvel-cli writes what the editor writes";
}

INSTANTIATE_TEST_SUITE_P(Catalogue, FieldTexts, ::testing::ValuesIn(kTextCases), [](const auto& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p) {
    if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
  }
  return name;
});

// ---------------------------------------------------------------------------
// Command lines the Windows program may be started with (260-byte path buffer)
// and the POSIX one (4,096 bytes).

TEST(CommandLines, HostileArgumentsAreTakenWholeOrNotAtAll) {
  struct Case {
    const char* name;
    std::string commandLine;
    size_t buffer;
    int result;
    std::string argument;
  } cases[] = {
      {"unterminated quoted argument", "Q.exe \"C:\\fonts\\a.fnt", 260, 0, ""},
      {"argument of 259 bytes fits", "Q.exe " + std::string(259, 'a'), 260, 1, std::string(259, 'a')},
      {"argument of 260 bytes is refused, never cut", "Q.exe " + std::string(260, 'a'), 260, 0, ""},
      {"argument of 4,096 bytes on POSIX is refused", "q " + std::string(4096, 'a'), 4096, 0, ""},
      {"quoted name with spaces", "\"Q.exe\" \"C:\\a b\\c d.fnt\"", 260, 1, "C:\\a b\\c d.fnt"},
  };
  for (const auto& c : cases) {
    std::string out(c.buffer, 'x');
    EXPECT_EQ(GetFirstArgument(c.commandLine.c_str(), out.data(), c.buffer), c.result) << c.name;
    EXPECT_EQ(std::string(out.c_str()), c.argument) << c.name;
  }
}

// ---------------------------------------------------------------------------
// Things that happen to the file between load and save.

class DuringSave : public ::testing::Test {
 protected:
  void SetUp() override {
    path = ValidFile(folder, "a.fnt");
    ASSERT_EQ(LoadMetricsFile(doc, path.c_str()).status, LoadStatus::Loaded);
    doc.image[ValueOffset(65, Width)] ^= 0x55;  // the edit a save would write
  }
  void TearDown() override { ReleaseMetricsFile(doc); }

  Bytes EditedFile() const { return Bytes(doc.image, doc.image + kMetricsFileSize); }

  TempFolder folder;
  std::string path;
  MetricsDocument doc;
};

TEST_F(DuringSave, ReadOnlyFileThenChangeIsRefusedAndKept) {
  chmod(path.c_str(), 0444);
  CliResult set = RunCli({"set", path, "--code", "65", "--width", "3"}, AsNobody(folder));
  EXPECT_TRUE(IsOneLineError(set, {path}));
  EXPECT_EQ(ReadWholeFile(path), PatternedFile());
}

TEST_F(DuringSave, FileThatGrewKeepsItsTail) {
  Bytes grown = PatternedFile(2);
  grown.insert(grown.end(), 100, 0xAB);
  WriteWholeFile(path, grown);
  ASSERT_EQ(SaveMetricsFile(doc, path.c_str()), SaveStatus::Saved);
  Bytes expected = EditedFile();
  expected.insert(expected.end(), 100, 0xAB);
  EXPECT_EQ(ReadWholeFile(path), expected);
}

TEST_F(DuringSave, FileThatShrankIsWrittenWholeAgain) {
  WriteWholeFile(path, Bytes(10, 0));
  ASSERT_EQ(SaveMetricsFile(doc, path.c_str()), SaveStatus::Saved);
  EXPECT_EQ(ReadWholeFile(path), EditedFile());
}

TEST_F(DuringSave, DiskFullIsReportedAsAFailedWrite) {
  EXPECT_EQ(SaveMetricsFile(doc, "/dev/full"), SaveStatus::WriteFailed);
}

TEST_F(DuringSave, DirectoryInTheFilesPlaceIsReportedAndKept) {
  fs::remove(path);
  fs::create_directory(path);
  EXPECT_EQ(SaveMetricsFile(doc, path.c_str()), SaveStatus::CannotOpen);
  EXPECT_TRUE(fs::is_directory(path));
}

TEST_F(DuringSave, TwoSavesRacingLeaveOneWholeImage) {
  MetricsDocument other;
  ASSERT_EQ(LoadMetricsFile(other, path.c_str()).status, LoadStatus::Loaded);
  std::memset(other.image, 0x11, kMetricsFileSize);
  for (int round = 0; round < 50; ++round) {
    std::thread first([&] { SaveMetricsFile(doc, path.c_str()); });
    std::thread second([&] { SaveMetricsFile(other, path.c_str()); });
    first.join();
    second.join();
    Bytes result = ReadWholeFile(path);
    Bytes otherImage(other.image, other.image + kMetricsFileSize);
    ASSERT_TRUE(result == EditedFile() || result == otherImage) << "round " << round << ": bytes of both";
  }
  ReleaseMetricsFile(other);
}

}  // namespace
