// quorvel-cli check: one verdict line per file, one line per fault in its values.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli_process.h"
#include "metrics_format.h"
#include "test_files.h"

namespace {

TEST(CheckCommand, OneLinePerFileAndExitOneOnAnyFailure) {
  TempFolder folder;
  std::string good = folder.Path("good.fnt"), shorter = folder.Path("short.fnt"),
              longer = folder.Path("long.fnt"), empty = folder.Path("empty.fnt"),
              directory = folder.Path("dir.fnt"), fifo = folder.Path("fifo.fnt"),
              missing = folder.Path("missing.fnt");
  WriteWholeFile(good, Bytes(kMetricsFileSize, 0));
  WriteWholeFile(shorter, Bytes(kMetricsFileSize - 1, 0));
  WriteWholeFile(longer, Bytes(kMetricsFileSize + 1, 0));
  WriteWholeFile(empty, Bytes());
  std::filesystem::create_directory(std::filesystem::u8path(directory));
  struct Case {
    std::string path;
    std::string verdict;  // "": no line (an empty folder is a warning)
  };
  std::vector<Case> cases = {
      {good, "ok"},
      {shorter, "wrong size: 14631 bytes, a metrics file has exactly 14632 bytes"},
      {longer, "wrong size: 14633 bytes, a metrics file has exactly 14632 bytes"},
      {empty, "wrong size: 0 bytes, a metrics file has exactly 14632 bytes"},
      {directory, ""},
      {kDevicePath, "not a regular file (a device, FIFO or socket)"},
      {missing, "cannot open: " + MissingFileReason()},
  };
#ifndef _WIN32  // Windows has no FIFO in the file system
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  cases.push_back({fifo, "wrong size: 0 bytes, a metrics file has exactly 14632 bytes"});
#endif
  std::vector<std::string> arguments = {"check"};
  std::string expected;
  for (const auto& c : cases) {
    arguments.push_back(c.path);
    if (!c.verdict.empty()) expected += c.path + ": " + c.verdict + "\n";
  }
  CliResult result = RunCli(arguments);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, expected);
  EXPECT_EQ(result.err, "quorvel-cli: " + directory + ": warning: no .fnt files in it\n");

  CliResult allGood = RunCli({"check", good, good});
  EXPECT_EQ(allGood.exitCode, 0);
  EXPECT_EQ(allGood.out, good + ": ok\n" + good + ": ok\n");
}

struct PlantedValue {
  uint32_t offset;
  float value;
};

// A file as the full-width edit leaves it with Width 13 (slots 19 and 24 get 6:
// 6.5 rounded half to even), with a -0 width, which is not negative.
Bytes CleanFile(const std::vector<PlantedValue>& faults = {}) {
  Bytes file(kMetricsFileSize, 0);
  std::vector<PlantedValue> values = {
      {kLineSpacingOffset, 16},       {ValueOffset(16, Width), 13},
      {ValueOffset(21, Width), 13},   {ValueOffset(19, Width), 6},
      {ValueOffset(24, Width), 6},    {ValueOffset(0x41, Width), -0.0f},
      {ValueOffset(255, OffsetY), -2}};
  values.insert(values.end(), faults.begin(), faults.end());
  for (const PlantedValue& v : values) WriteSingle(file.data(), v.offset, v.value);
  return file;
}

// One file per row, each with one fault planted in a clean file: exactly one line.
TEST(CheckCommand, EachPlantedFaultIsOneLine) {
  struct Case {
    const char* name;
    std::vector<PlantedValue> faults;
    const char* finding;
  } cases[] = {
      {"clean", {}, "ok"},
      {"NaN width", {{ValueOffset(0x41, Width), NAN}}, "code 0x41 width: nan"},
      {"infinite line spacing", {{kLineSpacingOffset, INFINITY}}, "line_spacing: inf"},
      {"negative height", {{ValueOffset(0xB1, Height), -3}}, "code 0xB1 height: -3"},
      {"slot 17 not cleared", {{ValueOffset(17, 3), 1}}, "code 0x11 value 3: 1, expected 0"},
      {"slot 22 NaN, once", {{ValueOffset(22, Width), NAN}}, "code 0x16 width: nan, expected 0"},
      {"slot 19 width rounded half up",
       {{ValueOffset(19, Width), 7}},
       "code 0x13 width: 7, expected 6 (half the full width)"},
      {"slot 24 other value",
       {{ValueOffset(24, SpacingLeft), 2.5f}},
       "code 0x18 spacing_left: 2.5, expected 0"},
      {"slot 24 value 13 negative zero",
       {{ValueOffset(24, 13), -0.0f}},
       "code 0x18 value 13: 0 (0x80000000), expected 0 (0x00000000)"},
  };
  TempFolder folder;
  std::string path = folder.Path("planted.fnt");
  for (const auto& c : cases) {
    WriteWholeFile(path, CleanFile(c.faults));
    CliResult result = RunCli({"check", path});
    EXPECT_EQ(result.exitCode, c.faults.empty() ? 0 : 1) << c.name;
    EXPECT_EQ(result.out + result.err, path + ": " + c.finding + "\n") << c.name;
  }
  EXPECT_EQ(RunCli({"check", QUORVEL_SAMPLE_PATH}).out, QUORVEL_SAMPLE_PATH ": ok\n");
}

// Folders give their .fnt files by name; links inside are never followed, so the
// loop and the second way into sub/ add nothing.
TEST(CheckCommand, FoldersGiveTheirMetricsFiles) {
  TempFolder folder;
  namespace fs = std::filesystem;
  fs::create_directories(folder.Path("top/sub/deeper"));
  WriteWholeFile(folder.Path("top/a.fnt"), CleanFile());
  WriteWholeFile(folder.Path("top/B.FNT"), CleanFile({{ValueOffset(0x41, Width), NAN}}));
  WriteWholeFile(folder.Path("top/notes.txt"), Bytes(3, 0));
  WriteWholeFile(folder.Path("top/sub/deeper/c.Fnt"), CleanFile({{ValueOffset(0x42, Height), -1}}));
#ifndef _WIN32  // Wine shows links as the folders and files they lead to
  fs::create_directory_symlink("sub", folder.Path("top/link"));
  fs::create_directory_symlink("..", folder.Path("top/sub/loop"));
  fs::create_symlink("../a.fnt", folder.Path("top/sub/linked.fnt"));
#endif
  std::string top = folder.Path("top"), bad = top + "/B.FNT: code 0x41 width: nan\n";

  CliResult flat = RunCli({"check", top});
  EXPECT_EQ(flat.exitCode, 1);
  EXPECT_EQ(flat.out + flat.err, bad + top + "/a.fnt: ok\n");
  CliResult deep = RunCli({"check", "--recursive", "--quiet", top});
  EXPECT_EQ(deep.exitCode, 1);
  EXPECT_EQ(deep.out + deep.err, bad + top + "/sub/deeper/c.Fnt: code 0x42 height: -1\n");

#ifndef _WIN32  // runs as nobody, who cannot read a folder of mode 0
  // An unreadable folder is one error line; the rest is still checked, then exit 2.
  ASSERT_EQ(chmod(folder.Path("top/sub").c_str(), 0), 0);
  ASSERT_EQ(chmod(folder.Root().c_str(), 0755), 0);
  CliRun asNobody;
  asNobody.unprivileged = true;
  asNobody.program = folder.Path("quorvel-cli");  // the build folder may be closed to nobody
  fs::copy_file(QUORVEL_CLI_PATH, asNobody.program);
  CliResult closed = RunCli({"check", "-r", "-q", top}, asNobody);
  EXPECT_EQ(closed.exitCode, 2);
  EXPECT_EQ(closed.out, bad);
  EXPECT_EQ(closed.err,
            "quorvel-cli: " + top + "/sub: cannot read the folder: Permission denied\n");
#endif
}

#ifndef _WIN32  // modes, another user and PATH_MAX are POSIX's

// Nests 200-byte folders in top until a path to the file at their bottom is
// longer than PATH_MAX; returns the deepest folder whose entries a path can name.
std::string MakeTooDeepFile(const std::string& top) {
  std::string name(200, 'd'), path = top, reported;
  int dir = open(top.c_str(), O_RDONLY | O_DIRECTORY);
  for (; path.size() <= PATH_MAX; path += "/" + name) {
    if (reported.empty() && path.size() + 1 + name.size() >= PATH_MAX) reported = path;
    mkdirat(dir, name.c_str(), 0755);
    int inner = openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY);
    close(dir);
    dir = inner;
  }
  close(openat(dir, "x.fnt", O_WRONLY | O_CREAT, 0644));
  close(dir);
  return reported;
}

// A folder whose entries cannot be looked at is reported, never passed over: one
// that may be listed but not searched (mode 0744, another user's), and one whose
// entries are deeper than a path can name. The rest is checked, then exit 2.
TEST(CheckCommand, FoldersWhoseEntriesCannotBeLookedAtAreErrors) {
  namespace fs = std::filesystem;
  struct Case {
    const char* name;
    std::string (*make)(const std::string& top);  // returns the folder reported
    const char* reason;
    bool asNobody;
  } cases[] = {
      {"listed but not searched",
       [](const std::string& top) {
         fs::create_directory(top + "/sub");
         WriteWholeFile(top + "/sub/x.fnt", Bytes(kMetricsFileSize, 0));
         chmod((top + "/sub").c_str(), 0744);
         return top + "/sub";
       },
       "Permission denied", true},
      {"deeper than a path can name", MakeTooDeepFile, "File name too long", false},
  };
  for (const Case& c : cases) {
    if (c.asNobody && geteuid() != 0) continue;  // the owner could search it
    TempFolder folder;
    std::string top = folder.Path("top");
    fs::create_directory(top);
    WriteWholeFile(top + "/a.fnt", CleanFile());
    std::string reported = c.make(top);
    CliRun run;
    run.unprivileged = c.asNobody;
    run.program = folder.Path("quorvel-cli");  // the build folder may be closed to nobody
    fs::copy_file(QUORVEL_CLI_PATH, run.program);
    chmod(folder.Root().c_str(), 0755);
    CliResult result = RunCli({"check", "--recursive", top}, run);
    EXPECT_EQ(result.exitCode, 2) << c.name;
    EXPECT_EQ(result.out, top + "/a.fnt: ok\n") << c.name;
    EXPECT_EQ(result.err,
              "quorvel-cli: " + reported + ": cannot read the folder: " + c.reason + "\n")
        << c.name;
    // rm walks the folders by their handles: the temporary folder's removal cannot.
    EXPECT_EQ(std::system(("rm -rf '" + top + "'").c_str()), 0);
  }
}
#endif

}  // namespace
