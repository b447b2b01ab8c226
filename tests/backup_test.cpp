// --backup and --suffix: the old file kept before set or new --force replaces it,
// never through anything planted at the backup's name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_process.h"
#include "test_files.h"

namespace {

namespace fs = std::filesystem;

enum class Planted { Nothing, Link, Folder };

struct BackupCase {
  const char* name;
  bool isNew;                          // new --force, else set
  std::vector<std::string> arguments;  // after the subcommand and FILE
  const char* suffix;                  // where the backup is looked for
  Planted planted;                     // what is at FILE + suffix beforehand
  int exitCode;
  bool backedUp;  // FILE + suffix holds the old bytes, and FILE was replaced
};

const BackupCase kBackupCases[] = {
    {"set, default suffix", false, {"--backup"}, "~", Planted::Nothing, 0, true},
    {"set, dry run", false, {"--backup", "--dry-run"}, "~", Planted::Nothing, 0, false},
    {"set, link replaced", false, {"--backup"}, "~", Planted::Link, 0, true},
    {"set, folder refused", false, {"--backup"}, "~", Planted::Folder, 2, false},
    {"new, default suffix", true, {"--backup"}, "~", Planted::Nothing, 0, true},
    {"new, link replaced", true, {"--suffix=.bak"}, ".bak", Planted::Link, 0, true},
    {"new, folder refused", true, {"--backup"}, "~", Planted::Folder, 2, false},
};

TEST(Backup, KeepsTheOldFileBesideItAndNothingElse) {
  for (const BackupCase& c : kBackupCases) {
    TempFolder folder;
    std::string file = folder.Path("f.fnt"), backup = file + c.suffix, link = folder.Path("t");
    // new replaces any file: one longer than the copy's buffer shows the copy whole.
    Bytes old = PatternedFile(5), more = PatternedFile(6), linked = {'t'};
    if (c.isNew) old.insert(old.end(), more.begin(), more.end());
    WriteWholeFile(file, old);
    WriteWholeFile(link, linked);
    if (c.planted == Planted::Link) fs::create_symlink(link, backup);
    if (c.planted == Planted::Folder) fs::create_directory(backup);

    std::vector<std::string> arguments = {c.isNew ? "new" : "set", file};
    if (c.isNew) arguments.push_back("--force");
    if (!c.isNew) arguments.insert(arguments.end(), {"--code", "65", "--width", "3"});
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    CliResult result = RunCli(arguments);
    EXPECT_EQ(result.exitCode, c.exitCode) << c.name << ": " << result.err;
    EXPECT_EQ(ReadWholeFile(file) != old, c.backedUp) << c.name << ": replaced after its backup";
    EXPECT_EQ(ReadWholeFile(link), linked) << c.name;
    if (c.backedUp) {
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(backup))) << c.name;
      EXPECT_EQ(ReadWholeFile(backup), old) << c.name;
    }
    if (c.planted == Planted::Folder) {
      EXPECT_TRUE(IsOneLineError(result, {file, "cannot back up to", backup, "Is a directory"}));
    }
    // No temporary left, and no backup unless one was made.
    auto entries = std::distance(fs::directory_iterator(folder.Root()), fs::directory_iterator());
    EXPECT_EQ(entries, 2 + (c.backedUp || c.planted != Planted::Nothing)) << c.name;
  }
}

}  // namespace
