#include "recent_files.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "file_io.h"
#include "shift_jis.h"

namespace {

// A folder separator: on Windows either slash.
bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

// Whether path names the same file from any current folder: on Windows a drive's
// root ("C:\...") or a share ("\\server\..."), elsewhere the root "/".
bool IsAbsolutePath(const std::string& path) {
#ifdef _WIN32
  const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                     path[1] == ':' && IsSeparator(path[2]);
  const bool share = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
  return drive || share;
#else
  return !path.empty() && path[0] == '/';
#endif
}

// The folder of an absolute path as the menu shows it: "/home/u/g.fnt" -> "/home/u";
// a root keeps its separator ("/g.fnt" -> "/", "C:\g.fnt" -> "C:\" on Windows).
std::string FolderOfPath(const std::string& path) {
  size_t separator = path.size();
  while (separator > 0 && !IsSeparator(path[separator - 1])) --separator;
  if (separator == 0) return std::string();
  std::string folder = path.substr(0, separator - 1);
  if (folder.empty() || folder.back() == ':') folder = path.substr(0, separator);
  return folder;
}

bool IsRegularFileThere(const std::string& path) {
  FileFacts facts;
  return LookAtPath(path.c_str(), &facts) && facts.kind == FileKind::RegularFile;
}

}  // namespace

void RememberRecentFile(RecentFiles& recent, const std::string& path) {
  if (!IsAbsolutePath(path)) return;
  ForgetRecentFile(recent, path);
  std::vector<std::string>& paths = recent.paths;
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

void ForgetRecentFile(RecentFiles& recent, const std::string& path) {
  std::vector<std::string>& paths = recent.paths;
  paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
}

std::vector<RecentEntry> RecentMenuEntries(const RecentFiles& recent) {
  // The dash as UTF-8 bytes: the Windows build's literals are code page 932.
  constexpr char kDash[] = " \xE2\x80\x94 ";
  std::vector<RecentEntry> entries;
  for (const std::string& path : recent.paths) {
    const std::string folder = NameBytesToUtf8(FolderOfPath(path).c_str());
    entries.push_back(
        {path, FileNameText(path.c_str()) + kDash + folder, IsRegularFileThere(path)});
  }
  return entries;
}

std::string FileNameText(const char* path) {
  // The bytes after the last separator. Paths are UTF-8 on Windows too, where the
  // caption's reading as Shift-JIS would take the last byte of a character such as
  // "あ" (E3 81 82) for a lead byte and the "\" after it for its trail byte.
  const char* name = path + std::strlen(path);
  while (name > path && !IsSeparator(name[-1])) --name;
  return NameBytesToUtf8(name);
}
