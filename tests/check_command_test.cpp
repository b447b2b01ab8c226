// quorvel-cli check: one verdict line per file.
#include <gtest/gtest.h>

#include <sys/stat.h>

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
  WriteWholeFile(good, PatternedFile(1));
  WriteWholeFile(shorter, Bytes(kMetricsFileSize - 1, 0));
  WriteWholeFile(longer, Bytes(kMetricsFileSize + 1, 0));
  WriteWholeFile(empty, Bytes());
  std::filesystem::create_directory(directory);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string path;
    std::string verdict;
  } cases[] = {
      {good, "ok"},
      {shorter, "wrong size: 14631 bytes, a metrics file has exactly 14632 bytes"},
      {longer, "wrong size: 14633 bytes, a metrics file has exactly 14632 bytes"},
      {empty, "wrong size: 0 bytes, a metrics file has exactly 14632 bytes"},
      {directory, "is a directory, not a metrics file"},
      {fifo, "not a regular file (a device, FIFO or socket)"},
      {"/dev/null", "not a regular file (a device, FIFO or socket)"},
      {missing, "cannot open: No such file or directory"},
  };
  std::vector<std::string> arguments = {"check"};
  std::string expected;
  for (const auto& c : cases) {
    arguments.push_back(c.path);
    expected += c.path + ": " + c.verdict + "\n";
  }
  CliResult result = RunCli(arguments);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, expected);
  EXPECT_EQ(result.err, "");

  CliResult allGood = RunCli({"check", good, good});
  EXPECT_EQ(allGood.exitCode, 0);
  EXPECT_EQ(allGood.out, good + ": ok\n" + good + ": ok\n");
}

}  // namespace
