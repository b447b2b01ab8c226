// A catalogue of hostile and broken inputs, each run through the editor's core
// and through quorvel-cli: every case ends with a clear message or its
// documented outcome, never a crash or a hang, and every file stays byte for
// byte as it was unless the case writes it on purpose.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

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

// The names in the folder, hidden ones too.
std::set<std::string> NamesIn(const TempFolder& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.Root()))
    names.insert(entry.path().filename());
  return names;
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

  // check judges a loaded file's values too, and a patterned file's do not hold
  // together; a folder named to check gives its .fnt files (none here).
  CliResult check = RunCli({"check", path}, run);
  std::error_code notAFolder;
  if (fs::is_directory(path, notAFolder)) {
    EXPECT_EQ(check.exitCode, 0) << check.err;
    EXPECT_EQ(check.out, "");
  } else {
    EXPECT_EQ(check.exitCode, 1) << check.out << check.err;
    std::string verdict = c.load == LoadStatus::Loaded ? path + ": code " : path + ": ";
    EXPECT_EQ(check.out.rfind(verdict, 0), 0u) << "lines naming the file: " << check.out;
    if (c.load != LoadStatus::Loaded) {
      EXPECT_EQ(Lines(check.out).size(), 1u) << check.out;
    }
  }

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

  CliResult show = RunCli({"show", path, "65"});
  EXPECT_EQ(show.exitCode, 0);
  EXPECT_NE(show.out.find("nan"), std::string::npos) << show.out;
  CliResult json = RunCli({"show", path, "65", "--json"});
  EXPECT_NE(json.out.find("\"width\":\"0x7FC00001\""), std::string::npos) << json.out;

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
// Things that happen to the file between load and save, done by someone else.

struct Interference {
  const char* name;
  std::function<void(const TempFolder&, const std::string& path)> act;
  SaveStatus refused;    // the save that refuses outside changes
  bool overwriteWrites;  // the save that was told to overwrite writes the file
};

void ReplaceWith(const std::string& path, const std::function<void(const std::string&)>& make) {
  fs::remove(path);
  make(path);
}

const Interference kInterferences[] = {
    {"symbolic link to another file swapped in",
     [](const TempFolder& f, const std::string& p) {
       WriteWholeFile(f.Path("victim"), Bytes(100, 0x66));
       ReplaceWith(p, [&](const std::string& at) { fs::create_symlink(f.Path("victim"), at); });
     },
     SaveStatus::NotRegularFile, false},
    {"symbolic link to a missing file swapped in",
     [](const TempFolder& f, const std::string& p) {
       ReplaceWith(p, [&](const std::string& at) { fs::create_symlink(f.Path("created"), at); });
     },
     SaveStatus::NotRegularFile, false},
    {"removed", [](const TempFolder&, const std::string& p) { fs::remove(p); },
     SaveStatus::CannotOpen, false},
    {"directory in its place",
     [](const TempFolder&, const std::string& p) {
       ReplaceWith(p, [](const std::string& at) { fs::create_directory(at); });
     },
     SaveStatus::NotRegularFile, false},
    {"FIFO in its place",
     [](const TempFolder&, const std::string& p) {
       ReplaceWith(p, [](const std::string& at) { mkfifo(at.c_str(), 0600); });
     },
     SaveStatus::NotRegularFile, false},
    {"replaced by another file (renamed over it)",
     [](const TempFolder& f, const std::string& p) {
       WriteWholeFile(f.Path("saved-elsewhere"), PatternedFile(7));
       fs::rename(f.Path("saved-elsewhere"), p);
     },
     SaveStatus::ChangedOutside, true},
    {"bytes changed in place",
     [](const TempFolder&, const std::string& p) { WriteWholeFile(p, PatternedFile(8)); },
     SaveStatus::ChangedOutside, true},
    {"grew",
     [](const TempFolder&, const std::string& p) {
       Bytes grown = PatternedFile();
       grown.resize(kMetricsFileSize + 5000, 0xAB);
       WriteWholeFile(p, grown);
     },
     SaveStatus::ChangedOutside, true},
    {"shrank", [](const TempFolder&, const std::string& p) { WriteWholeFile(p, Bytes(10, 0)); },
     SaveStatus::ChangedOutside, true},
    {"rewritten with the same bytes",
     [](const TempFolder&, const std::string& p) { WriteWholeFile(p, PatternedFile()); },
     SaveStatus::Saved, true},
};

// Every mode of loading, every interference: the refusing save writes nothing
// anywhere; the overwriting save (the editors' answer "overwrite") writes only
// the regular file in the path's place and never follows or creates anything.
TEST(DuringSave, OutsideChangesAreRefusedAndNothingElseIsEverWritten) {
  for (const Interference& c : kInterferences) {
    for (LoadMode mode : {LoadMode::Read, LoadMode::Hold}) {
      for (SaveCheck check : {SaveCheck::RefuseOutsideChange, SaveCheck::Overwrite}) {
        SCOPED_TRACE(std::string(c.name) + (mode == LoadMode::Hold ? ", held" : "") +
                     (check == SaveCheck::Overwrite ? ", overwrite" : ""));
        TempFolder folder;
        std::string path = ValidFile(folder, "a.fnt");
        MetricsDocument doc;
        ASSERT_EQ(LoadMetricsFile(doc, path.c_str(), mode).status, LoadStatus::Loaded);
        Bytes edited(doc.image, doc.image + kMetricsImageSize);
        edited[ValueOffset(65, Width)] ^= 0x55;
        c.act(folder, path);
        auto before = Snapshot(folder);

        SaveStatus status = SaveEditedImage(doc, edited.data(), check).status;
        // A held file that is no longer at its path is never written through.
        bool writes =
            c.refused == SaveStatus::Saved ||
            (check == SaveCheck::Overwrite && c.overwriteWrites &&
             !(mode == LoadMode::Hold && std::string(c.name).find("renamed") != std::string::npos));
        if (writes) {
          EXPECT_EQ(status, SaveStatus::Saved);
          Bytes written = ReadWholeFile(path);
          written.resize(std::min<size_t>(written.size(), kMetricsFileSize));
          EXPECT_EQ(written, Bytes(edited.begin(), edited.begin() + kMetricsFileSize));
        } else {
          EXPECT_EQ(status, check == SaveCheck::Overwrite && c.refused == SaveStatus::ChangedOutside
                                ? SaveStatus::ChangedOutside
                                : c.refused);
          EXPECT_EQ(Snapshot(folder), before);
          EXPECT_FALSE(fs::exists(folder.Path("created")));
        }
        ReleaseMetricsFile(doc);
      }
    }
  }
}

// A file opened through a link is edited through it: the link stays a link.
TEST(DuringSave, FileLoadedThroughALinkIsWrittenThroughIt) {
  TempFolder folder;
  std::string target = ValidFile(folder, "target.fnt");
  fs::create_symlink("target.fnt", folder.Path("link.fnt"));
  CliResult set = RunCli({"set", folder.Path("link.fnt"), "--code", "65", "--width", "7"});
  EXPECT_EQ(set.exitCode, 0) << set.err;
  EXPECT_TRUE(fs::is_symlink(folder.Path("link.fnt")));
  EXPECT_EQ(ReadRecordValue(ReadWholeFile(target).data(), 65, Width), 7.0f);
}

TEST(DuringSave, ReadOnlyFileThenChangeIsRefusedAndKept) {
  TempFolder folder;
  std::string path = ValidFile(folder, "a.fnt");
  chmod(path.c_str(), 0444);
  CliResult set = RunCli({"set", path, "--code", "65", "--width", "3"}, AsNobody(folder));
  EXPECT_TRUE(IsOneLineError(set, {path}));
  EXPECT_EQ(ReadWholeFile(path), PatternedFile());
}

// Two documents saving over one file at once: the lock queues them.
TEST(DuringSave, TwoSavesRacingLeaveOneWholeImage) {
  TempFolder folder;
  std::string path = ValidFile(folder, "a.fnt");
  MetricsDocument first, second;
  ASSERT_EQ(LoadMetricsFile(first, path.c_str()).status, LoadStatus::Loaded);
  ASSERT_EQ(LoadMetricsFile(second, path.c_str()).status, LoadStatus::Loaded);
  Bytes one(kMetricsImageSize, 0x11), other(kMetricsImageSize, 0x22);
  for (int round = 0; round < 50; ++round) {
    std::thread a([&] { SaveEditedImage(first, one.data(), SaveCheck::Overwrite); });
    std::thread b([&] { SaveEditedImage(second, other.data(), SaveCheck::Overwrite); });
    a.join();
    b.join();
    Bytes result = ReadWholeFile(path);
    ASSERT_TRUE(result == Bytes(kMetricsFileSize, 0x11) || result == Bytes(kMetricsFileSize, 0x22))
        << "round " << round << ": bytes of both";
  }
  ReleaseMetricsFile(first);
  ReleaseMetricsFile(second);
}

// ---------------------------------------------------------------------------
// set over many files, and many sets over one file.

TEST(SetRuns, ParallelRelativeSetsLoseNoIncrement) {
  TempFolder folder;
  std::string path = folder.Path("a.fnt");
  WriteWholeFile(path, Bytes(kMetricsFileSize, 0));
  constexpr int kRuns = 16;
  std::vector<std::thread> runs;
  std::vector<int> exitCodes(kRuns, -1);
  for (int i = 0; i < kRuns; ++i) {
    runs.emplace_back([&, i] {
      exitCodes[i] = RunCli({"set", path, "--code", "65", "--width", "1", "--relative"}).exitCode;
    });
  }
  for (std::thread& run : runs) run.join();
  EXPECT_EQ(exitCodes, std::vector<int>(kRuns, 0));
  EXPECT_EQ(ReadRecordValue(ReadWholeFile(path).data(), 65, Width), static_cast<float>(kRuns));
}

// Real signals against set --backup, for a few seconds, each run stopped after a
// random moment of its life: each run writes one value into the line spacing (the
// file's first page) and code 255's width (its last page). Whatever stops a run,
// the two agree; Ctrl+C, SIGTERM and SIGHUP leave nothing but the file and its
// backup, and the run after a SIGKILL removes what that one left.
TEST(SetRuns, NoSignalTearsASaveOrLeavesATemporary) {
  TempFolder folder;
  const std::string path = folder.Path("k.fnt");
  WriteWholeFile(path, Bytes(kMetricsFileSize, 0));
  auto setTo = [&](int value) {
    const std::string text = std::to_string(value);
    return std::vector<std::string>{"set",     path, "--line-spacing", text, "--code", "255",
                                    "--width", text, "--backup"};
  };
  ASSERT_EQ(RunCli(setTo(0)).exitCode, 0);
  const std::set<std::string> kept = {"k.fnt", "k.fnt~"};
  const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGKILL};
  std::mt19937 random(25);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  for (int run = 1; std::chrono::steady_clock::now() < end; ++run) {
    const int signal = kSignals[run % 4];
    RunningCli running = StartCli(setTo(run));
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 6000));
    kill(running.pid, signal);
    FinishCli(running);
    const Bytes bytes = ReadWholeFile(path);
    ASSERT_EQ(bytes.size(), kMetricsFileSize);
    ASSERT_EQ(ReadSingle(bytes.data(), kLineSpacingOffset),
              ReadRecordValue(bytes.data(), 255, Width))
        << "torn by signal " << signal << " in run " << run;
    // What a SIGKILL left goes with the next run that gets as far as its save.
    if (signal == SIGKILL) ASSERT_EQ(RunCli(setTo(0)).exitCode, 0);
    ASSERT_EQ(NamesIn(folder), kept) << "run " << run << ", signal " << signal;
  }
}

TEST(SetRuns, OneFileNamedFourWaysIsSetOnceAndNamedWhenWritten) {
  TempFolder folder;
  std::string path = folder.Path("a.fnt");
  WriteWholeFile(path, Bytes(kMetricsFileSize, 0));
  fs::create_symlink("a.fnt", folder.Path("link.fnt"));
  fs::create_hard_link(path, folder.Path("hard.fnt"));
  std::string other = folder.Path("line\nbreak.fnt");
  WriteWholeFile(other, Bytes(kMetricsFileSize, 0));
  std::string dotted = folder.Root().string() + "/./a.fnt";
  CliResult set = RunCli({"set", path, dotted, folder.Path("link.fnt"), folder.Path("hard.fnt"),
                          other, "--code", "65", "--width", "1", "--relative", "--verbose"});
  EXPECT_EQ(set.exitCode, 0) << set.err;
  EXPECT_EQ(ReadRecordValue(ReadWholeFile(path).data(), 65, Width), 1.0f);
  EXPECT_EQ(ReadRecordValue(ReadWholeFile(other).data(), 65, Width), 1.0f);
  EXPECT_EQ(Lines(set.out),
            (std::vector<std::string>{path + ": written",
                                      folder.Path("line\\nbreak.fnt") + ": written"}));
  std::vector<std::string> warnings = Lines(set.err);
  ASSERT_EQ(warnings.size(), 3u) << set.err;
  for (const std::string& warning : warnings)
    EXPECT_NE(warning.find("the same file as " + path), std::string::npos);
}

TEST(SetRuns, FileSizeLimitBelowTheMetricsWritesNothing) {
  TempFolder folder;
  std::string path = ValidFile(folder, "a.fnt");
  CliRun limited;
  limited.fileSizeLimit = 8192;
  CliResult set = RunCli({"set", path, "--code", "65", "--width", "3"}, limited);
  EXPECT_TRUE(IsOneLineError(set, {path, "nothing written", "File too large"}));
  EXPECT_EQ(ReadWholeFile(path), PatternedFile()) << "never cut off half-way";
}

// ---------------------------------------------------------------------------
// import --onto reads its data without holding the file's lock: another writer
// goes ahead meanwhile, and import then refuses the file it changed.

TEST(DuringSave, ImportOntoLocksOnlyOnceItsDataIsRead) {
  TempFolder folder;
  std::string path = ValidFile(folder, "a.fnt");
  RunningCli import = StartCli({"import", "-", "--onto", path});
  // The first byte taken from the pipe shows that import has read the file and
  // waits for the rest of its data.
  ASSERT_EQ(write(import.input, "{", 1), 1);
  for (int waiting = 0, left = 1; left > 0 && waiting < 1000; ++waiting) {
    ioctl(import.input, FIONREAD, &left);
    if (left > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  CliResult set = RunCli({"set", path, "--code", "66", "--width", "5"});
  EXPECT_EQ(set.exitCode, 0) << "not kept waiting for the lock: " << set.err;
  std::string rest = R"("format":"quorvel-metrics","version":2,"line_spacing":3})";
  ASSERT_EQ(write(import.input, rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
  EXPECT_TRUE(IsOneLineError(FinishCli(import), {path, "changed by another program"}));
  Bytes file = ReadWholeFile(path);
  EXPECT_EQ(ReadRecordValue(file.data(), 66, Width), 5.0f);
  EXPECT_NE(ReadLineSpacing(file.data()), 3.0f);
}

// ---------------------------------------------------------------------------
// Outputs a run names: render -o never writes the file it reads, never opens or
// follows what stands at the name, and replaces an old output whole or not at all.

struct OutputCase {
  const char* name;
  // Makes what the case needs beside read, the metrics file read; returns OUT.
  std::string (*make)(const TempFolder&, const std::string& read);
  const char* refusal = nullptr;  // in the one error line; nullptr: written
  mode_t mode = 0;                // the written output's mode (umask 022)
  uint64_t fileSizeLimit = 0;     // bytes a file may grow to, as on a full disk (the
                                  // picture of "Ab" takes 766, the error line less)
};

void PrintTo(const OutputCase& c, std::ostream* out) { *out << c.name; }

std::string OldOutput(const TempFolder& f, const std::string&) {
  WriteWholeFile(f.Path("out.svg"), {'o', 'l', 'd'});
  chmod(f.Path("out.svg").c_str(), 0640);
  return f.Path("out.svg");
}

const OutputCase kOutputCases[] = {
    {"the file read itself", [](const TempFolder&, const std::string& read) { return read; },
     "main.fnt, which this run reads: not written"},
    {"a hard link to the file read",
     [](const TempFolder& f, const std::string& read) {
       fs::create_hard_link(read, f.Path("hard.svg"));
       return f.Path("hard.svg");
     },
     "which this run reads"},
    {"a symbolic link to the file read",
     [](const TempFolder& f, const std::string&) {
       fs::create_symlink("main.fnt", f.Path("link.svg"));
       return f.Path("link.svg");
     },
     "which this run reads"},
    {"a symbolic link planted at the name",
     [](const TempFolder& f, const std::string&) {
       fs::create_symlink(f.Path("victim"), f.Path("out.svg"));
       return f.Path("out.svg");
     },
     "is a symbolic link: not followed, not replaced"},
    {"a FIFO at the name",
     [](const TempFolder& f, const std::string&) {
       mkfifo(f.Path("out.svg").c_str(), 0644);
       return f.Path("out.svg");
     },
     "exists and is not a regular file"},
    {"a folder at the name",
     [](const TempFolder& f, const std::string&) {
       fs::create_directory(f.Path("out.svg"));
       return f.Path("out.svg");
     },
     "is a directory"},
    {"a new output", [](const TempFolder& f, const std::string&) { return f.Path("new.svg"); },
     nullptr, 0644},
    {"an old output is replaced whole and keeps its mode", OldOutput, nullptr, 0640},
    {"a full disk leaves the old output as it was", OldOutput,
     "write failed, nothing written: File too large", 0, 500},
};

class RenderOutputs : public ::testing::TestWithParam<OutputCase> {};

TEST_P(RenderOutputs, NothingButARegularOutputIsEverReplaced) {
  const OutputCase& c = GetParam();
  TempFolder folder;
  std::string read = ValidFile(folder, "main.fnt");
  WriteWholeFile(folder.Path("victim"), {'v'});
  std::string out = c.make(folder, read);
  auto before = Snapshot(folder);
  std::set<std::string> names = NamesIn(folder);
  fs::file_type kind = fs::symlink_status(out).type();
  CliRun run;
  run.fileSizeLimit = c.fileSizeLimit;
  mode_t mask = umask(022);
  CliResult result = RunCli({"render", read, "Ab", "-o", out}, run);
  umask(mask);

  EXPECT_EQ(fs::symlink_status(out).type(), c.refusal ? kind : fs::file_type::regular);
  if (c.refusal) {
    EXPECT_TRUE(IsOneLineError(result, {out, c.refusal}));
    EXPECT_EQ(Snapshot(folder), before) << "every file as it was";
  } else {
    EXPECT_EQ(result.exitCode, 0) << result.err;
    names.insert(fs::path(out).filename());
    EXPECT_EQ(ReadWholeFile(out).at(0), '<');
    struct stat facts;
    EXPECT_EQ(stat(out.c_str(), &facts) == 0 ? facts.st_mode & 07777 : 0, c.mode);
    auto written = Snapshot(folder);
    written.erase(out);
    before.erase(out);
    EXPECT_EQ(written, before) << "no other file written";
  }
  EXPECT_EQ(NamesIn(folder), names) << "no temporary left";
}

INSTANTIATE_TEST_SUITE_P(Catalogue, RenderOutputs, ::testing::ValuesIn(kOutputCases),
                         [](const auto& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p; ++p) {
                             if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                           }
                           return name;
                         });

}  // namespace
