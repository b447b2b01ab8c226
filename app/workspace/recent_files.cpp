#include "recent_files.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "shift_jis.h"
#include "window_title.h"

namespace {

// Whether path names the same file from any current folder: on Windows a drive's
// root ("C:\...") or a share ("\\server\..."), elsewhere the root "/".
bool IsAbsolutePath(const std::string& path) {
#ifdef _WIN32
  auto isSlash = [](char c) { return c == '\\' || c == '/'; };
  const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                     path[1] == ':' && isSlash(path[2]);
  const bool share = path.size() >= 2 && isSlash(path[0]) && isSlash(path[1]);
  return drive || share;
#else
  return !path.empty() && path[0] == '/';
#endif
}

}  // namespace

void RememberRecentFile(RecentFiles& recent, const std::string& path) {
  if (!IsAbsolutePath(path)) return;
  std::vector<std::string>& paths = recent.paths;
  paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
  paths.insert(paths.begin(), path);
  if (paths.size() > kRecentFileCount) paths.resize(kRecentFileCount);
}

RecentFiles RecentFilesFromStored(const std::vector<std::string>& stored) {
  RecentFiles recent;
  for (const std::string& path : stored) {
    if (recent.paths.size() == kRecentFileCount) break;
    if (IsAbsolutePath(path)) recent.paths.push_back(path);
  }
  return recent;
}

std::string FileNameText(const char* path) {
  std::vector<char> name(std::strlen(path) + 1, '\0');
  FileNameFromPath(path, name.data());
  return NameBytesToUtf8(name.data());
}
