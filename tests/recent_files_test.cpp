// The recent files' list: newest first, each file once, at most eight, and only
// absolute paths, so that an entry names the same file from any current folder.
#include "recent_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "metrics_document.h"
#include "metrics_format.h"
#include "test_files.h"

namespace {

using Paths = std::vector<std::string>;

// An absolute path on this system.
std::string Absolute(const std::string& name) {
#ifdef _WIN32
  return "C:\\fonts\\" + name;
#else
  return "/fonts/" + name;
#endif
}

Paths AbsolutePaths(const char* names) {
  Paths paths;
  for (const char* name = names; *name; ++name) paths.push_back(Absolute(std::string(1, *name)));
  return paths;
}

TEST(RecentFilesTest, NewestFirstEachOnceAtMostEight) {
  const struct {
    const char* name;
    Paths remembered;
    Paths expected;
  } cases[] = {
      {"newest first", AbsolutePaths("ab"), AbsolutePaths("ba")},
      {"again: moved to the front, kept once", AbsolutePaths("aba"), AbsolutePaths("ab")},
      {"the ninth drops the oldest", AbsolutePaths("123456789"), AbsolutePaths("98765432")},
      {"a relative path is not remembered",
       {Absolute("a"), "b.fnt", "dir/c.fnt", ""},
       AbsolutePaths("a")},
  };
  for (const auto& c : cases) {
    RecentFiles recent;
    for (const std::string& path : c.remembered) RememberRecentFile(recent, path);
    EXPECT_EQ(recent.paths, c.expected) << c.name;
  }
}

// An older version kept the paths as typed; a damaged settings file may hold
// empty ones. Neither opens from another folder what it opened then.
TEST(RecentFilesTest, StoredEntriesThatAreNotAbsoluteAreDropped) {
  Paths stored = {"", "old.fnt", "dir/old.fnt"};
  for (const std::string& path : AbsolutePaths("123456789")) stored.push_back(path);
  EXPECT_EQ(RecentFilesFromStored(stored).paths, AbsolutePaths("12345678"));
}

// The front end remembers the path the document resolved at its load.
TEST(RecentFilesTest, OneFileByRelativeAndAbsoluteNamesIsOneEntry) {
  TempFolder folder;
  const std::string path = folder.Path("same.fnt");
  WriteWholeFile(path, Bytes(kMetricsFileSize, 0));
  CurrentFolder inside(folder.Root());
  RecentFiles recent;
  MetricsDocument doc;
  for (const std::string& name : {std::string("same.fnt"), std::string("./same.fnt"), path}) {
    ASSERT_EQ(LoadMetricsFile(doc, name.c_str()).status, LoadStatus::Loaded) << name;
    RememberRecentFile(recent, doc.filePath);
  }
  ReleaseMetricsFile(doc);
  ASSERT_EQ(recent.paths.size(), 1u);
  EXPECT_TRUE(std::filesystem::path(recent.paths[0]).is_absolute()) << recent.paths[0];
  EXPECT_TRUE(std::filesystem::equivalent(recent.paths[0], path)) << recent.paths[0];
}

// Each entry shows its name, then its folder; one whose file is gone or is not a
// regular file is greyed, found without opening it (a FIFO would block an open).
TEST(RecentFilesTest, MenuEntriesShowNameAndFolderAndGreyWhatIsNotAFile) {
  TempFolder folder;
  const std::string file = folder.Path("g.fnt");
  WriteWholeFile(file, Bytes(kMetricsFileSize, 0));
  std::filesystem::create_directory(folder.Path("dir.fnt"));
  RecentFiles recent{{file, folder.Path("gone.fnt"), folder.Path("dir.fnt")}};
#ifndef _WIN32
  ASSERT_EQ(mkfifo(folder.Path("fifo.fnt").c_str(), 0600), 0);
  std::filesystem::create_symlink(file, folder.Path("link.fnt"));
  recent.paths.insert(recent.paths.end(), {folder.Path("fifo.fnt"), folder.Path("link.fnt")});
  recent.paths.push_back("/a&b <i>.fnt");
  const char* const kInRoot = "a&b <i>.fnt \u2014 /";
#else
  recent.paths.push_back("C:\\a&b <i>.fnt");
  const char* const kInRoot = "a&b <i>.fnt \u2014 C:\\";
#endif
  const std::vector<RecentEntry> entries = RecentMenuEntries(recent);
  ASSERT_EQ(entries.size(), recent.paths.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].path, recent.paths[i]);
    EXPECT_EQ(entries[i].available, i == 0) << entries[i].path;
  }
  const std::string folderText = std::filesystem::path(file).parent_path().string();
  EXPECT_EQ(entries[0].text, "g.fnt \u2014 " + folderText);
  EXPECT_EQ(entries.back().text, kInRoot) << "a root keeps its separator";
  ForgetRecentFile(recent, file);
  EXPECT_EQ(recent.paths.front(), folder.Path("gone.fnt"));
}

}  // namespace
