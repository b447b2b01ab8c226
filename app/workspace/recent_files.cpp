#include "recent_files.h"

#include <algorithm>
#include <cstring>

#include "shift_jis.h"
#include "window_title.h"

void RememberRecentFile(RecentFiles& recent, const std::string& path) {
  std::vector<std::string>& paths = recent.paths;
  paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
  paths.insert(paths.begin(), path);
  if (paths.size() > kRecentFileCount) paths.resize(kRecentFileCount);
}

RecentFiles RecentFilesFromStored(const std::vector<std::string>& stored) {
  RecentFiles recent;
  for (const std::string& path : stored) {
    if (recent.paths.size() == kRecentFileCount) break;
    if (!path.empty()) recent.paths.push_back(path);
  }
  return recent;
}

std::string FileNameText(const char* path) {
  std::vector<char> name(std::strlen(path) + 1, '\0');
  FileNameFromPath(path, name.data());
  return NameBytesToUtf8(name.data());
}
