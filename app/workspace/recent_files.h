// The recent files of a front end's file menu: newest first, each file once, at
// most kRecentFileCount of them. Each is kept as the absolute path of the file that
// was loaded (the document's filePath, links resolved), so that an entry opens
// that file from any current folder. Paths are kept as their bytes, so
// that a name that is not UTF-8 opens as it is; the front end stores and shows them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

constexpr size_t kRecentFileCount = 8;

struct RecentFiles {
  std::vector<std::string> paths;  // newest first, each absolute
};

// Puts path first, dropping an older entry of the same path and the oldest entry
// beyond kRecentFileCount. A path that is not absolute would name another file from
// another folder: it is not remembered.
void RememberRecentFile(RecentFiles& recent, const std::string& path);

// The list as stored by an earlier run, cut to kRecentFileCount entries; an entry
// that is not an absolute path (empty in a damaged settings file, or kept as typed
// by an older version) is dropped.
RecentFiles RecentFilesFromStored(const std::vector<std::string>& stored);

// Drops path from the list: an entry that could not be opened.
void ForgetRecentFile(RecentFiles& recent, const std::string& path);

// One entry of the menu: what it shows, in UTF-8, and whether it can be chosen.
struct RecentEntry {
  std::string path;
  std::string text;  // "g.fnt — /home/u/game/data": the name, then its folder
  bool available;    // a regular file is there
};

// The menu's entries, newest first, looked at as the menu opens: an entry whose
// file is gone or is not a regular file (a folder, a FIFO, a link put in its place)
// is not available. Each path is only looked at (lstat), never opened, so that
// opening the menu cannot block on a FIFO or a slow device.
std::vector<RecentEntry> RecentMenuEntries(const RecentFiles& recent);

// A path's file name as the caption shows it, in UTF-8 for a front end's status
// line and menus ("dir/my file.fnt" -> "my file.fnt").
std::string FileNameText(const char* path);
