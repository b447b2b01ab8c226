// --backup and --suffix: the old file kept before set or new --force replaces it,
// never through anything planted at the backup's name.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "cli_process.h"
#include "test_files.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

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

// set or new --force of name, with --backup.
std::vector<std::string> BackingUp(const std::string& command, const std::string& name) {
  if (command == "new") return {"new", name, "--force", "--backup"};
  return {"set", name, "--code", "65", "--width", "3", "--backup"};
}

std::set<std::string> Names(const TempFolder& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.Root()))
    names.insert(entry.path().filename());
  return names;
}

// The copy takes the owner, group and mode of the file itself, whatever name it is
// reached by: through a symbolic link, or one of two hard links.
TEST(Backup, TakesTheOwnerAndModeOfTheFileItself) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to give the file away";
  struct Case {
    const char* name;
    void (*link)(const std::string& file, const std::string& name);
  } cases[] = {
      {"symbolic link",
       [](const std::string& file, const std::string& name) { fs::create_symlink(file, name); }},
      {"second hard link",
       [](const std::string& file, const std::string& name) { fs::create_hard_link(file, name); }},
  };
  for (const Case& c : cases) {
    for (const char* command : {"set", "new"}) {
      SCOPED_TRACE(std::string(c.name) + ", " + command);
      TempFolder folder;
      std::string file = folder.Path("f.fnt"), name = folder.Path("n.fnt");
      WriteWholeFile(file, PatternedFile());
      ASSERT_EQ(chown(file.c_str(), kNobody, kNobody), 0);
      chmod(file.c_str(), 0640);
      c.link(file, name);
      CliResult result = RunCli(BackingUp(command, name));
      ASSERT_EQ(result.exitCode, 0) << result.err;
      struct stat backup;
      ASSERT_EQ(lstat((name + "~").c_str(), &backup), 0);
      EXPECT_EQ(backup.st_uid, kNobody);
      EXPECT_EQ(backup.st_gid, kNobody);
      EXPECT_EQ(backup.st_mode & 07777, 0640u);
    }
  }
}

// A run killed while it wrote a backup leaves a hidden copy, ".f.fnt~." and six
// characters; the next run that backs f.fnt up removes it, and nothing else: not a
// link, a folder, a file with another name or another user's, nor another pattern.
TEST(Backup, NextRunRemovesOnlyItsOwnLeftovers) {
  for (const char* command : {"set", "new"}) {
    SCOPED_TRACE(command);
    TempFolder folder;
    std::string file = folder.Path("f.fnt");
    WriteWholeFile(file, PatternedFile());
    WriteWholeFile(folder.Path(".f.fnt~.abc123"), PatternedFile());  // the leftover
    fs::create_symlink(folder.Path("victim"), folder.Path(".f.fnt~.zzzzzz"));
    WriteWholeFile(folder.Path("victim"), {'v'});
    fs::create_directory(folder.Path(".f.fnt~.dir000"));
    WriteWholeFile(folder.Path(".f.fnt~.hard01"), {'h'});
    fs::create_hard_link(folder.Path(".f.fnt~.hard01"), folder.Path("hard"));
    WriteWholeFile(folder.Path(".f.fnt~.abc12"), {'5'});
    WriteWholeFile(folder.Path(".g.fnt~.abcdef"), {'g'});
    WriteWholeFile(folder.Path(".f.fnt~.nobody"), {'n'});
    bool othersFile = chown(folder.Path(".f.fnt~.nobody").c_str(), kNobody, kNobody) == 0;
    std::set<std::string> names = Names(folder);
    names.erase(".f.fnt~.abc123");
    if (!othersFile) names.erase(".f.fnt~.nobody");
    names.insert("f.fnt~");

    CliResult result = RunCli(BackingUp(command, file));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Names(folder), names);
    EXPECT_EQ(ReadWholeFile(folder.Path("victim")), Bytes{'v'});
  }
}

}  // namespace
