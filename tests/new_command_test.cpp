// quorvel-cli new: an all-zero metrics file, never over an existing one unasked.
#include <gtest/gtest.h>

#include <string>

#include "cli_process.h"
#include "metrics_format.h"
#include "test_files.h"

namespace {

class NewCommandTest : public ::testing::Test {
 protected:
  TempFolder folder;
  std::string out = folder.Path("new.fnt");
};

TEST_F(NewCommandTest, CreatesAZeroFileThatLoads) {
  CliResult result = RunCli({"new", out});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out + result.err, "");
  EXPECT_EQ(ReadWholeFile(out), Bytes(kMetricsFileSize, 0));
  EXPECT_EQ(RunCli({"check", out}).out, out + ": ok\n");
}

TEST_F(NewCommandTest, ExistingFileIsKeptUnlessForced) {
  Bytes longer = PatternedFile(3);
  longer.push_back(9);
  WriteWholeFile(out, longer);
  EXPECT_TRUE(IsOneLineError(RunCli({"new", out}), {"new.fnt", "already exists", "--force"}));
  EXPECT_EQ(ReadWholeFile(out), longer);
  ASSERT_EQ(RunCli({"new", out, "--force"}).exitCode, 0);
  EXPECT_EQ(ReadWholeFile(out), Bytes(kMetricsFileSize, 0));
}

TEST_F(NewCommandTest, PlacesThatCannotHoldTheFileAreReported) {
  std::filesystem::create_directory(folder.Path("dir.fnt"));
  EXPECT_TRUE(IsOneLineError(RunCli({"new", folder.Path("dir.fnt"), "--force"}),
                             {"dir.fnt", "not a regular file"}));
  EXPECT_TRUE(
      IsOneLineError(RunCli({"new", folder.Path("none/a.fnt")}), {"none/a.fnt", "cannot create"}));
  EXPECT_TRUE(
      IsOneLineError(RunCli({"new", kDevicePath, "--force"}), {kDevicePath, "not a regular file"}));
}

}  // namespace
