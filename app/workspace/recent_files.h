// The recent files of a front end's file menu: newest first, each path once, at
// most kRecentFileCount of them. Paths are kept as their bytes, so that a name that
// is not UTF-8 opens as it is; the front end stores and shows them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

constexpr size_t kRecentFileCount = 8;

struct RecentFiles {
  std::vector<std::string> paths;  // newest first
};

// Puts path first, dropping an older entry of the same path and the oldest entry
// beyond kRecentFileCount.
void RememberRecentFile(RecentFiles& recent, const std::string& path);

// The list as stored by an earlier run, cut to kRecentFileCount entries; an empty
// entry (a damaged settings file) is dropped.
RecentFiles RecentFilesFromStored(const std::vector<std::string>& stored);

// A path's file name as the caption shows it, in UTF-8 for a front end's status
// line and menus ("dir/my file.fnt" -> "my file.fnt").
std::string FileNameText(const char* path);
