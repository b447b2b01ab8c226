#include "settings_file.h"

#include <windows.h>

#include <charconv>
#include <initializer_list>
#include <vector>

#include "metrics_document.h"

namespace {

constexpr char kWindowKey[] = "window";
constexpr char kCompanionKey[] = "companion";
constexpr char kRecentKey[] = "recent";
// Far beyond any screen, and clear of the -32000 Windows gives a minimised window.
constexpr int kMaxCoordinate = 30000;

// Reads a whole decimal number in [-kMaxCoordinate, kMaxCoordinate] from text.
bool ReadCoordinate(const std::string& text, int* value) {
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, *value);
  return error == std::errc() && stop == end && *value >= -kMaxCoordinate &&
         *value <= kMaxCoordinate;
}

// "window LEFT TOP"
void ReadWindowPosition(const std::string& value, ProgramSettings* settings) {
  const size_t space = value.find(' ');
  if (space == std::string::npos) return;
  int left = 0, top = 0;
  if (!ReadCoordinate(value.substr(0, space), &left)) return;
  if (!ReadCoordinate(value.substr(space + 1), &top)) return;
  settings->hasWindowPosition = true;
  settings->windowLeft = left;
  settings->windowTop = top;
}

// "companion open|closed LEFT TOP WIDTH HEIGHT"; a window of no size is no placement.
void ReadCompanion(const std::string& value, ProgramSettings* settings) {
  std::vector<std::string> words;
  for (size_t start = 0; start <= value.size();) {
    size_t end = value.find(' ', start);
    if (end == std::string::npos) end = value.size();
    words.push_back(value.substr(start, end - start));
    start = end + 1;
  }
  int numbers[4];
  if (words.size() != 5 || (words[0] != "open" && words[0] != "closed")) return;
  for (int i = 0; i < 4; ++i) {
    if (!ReadCoordinate(words[i + 1], &numbers[i])) return;
  }
  if (numbers[2] <= 0 || numbers[3] <= 0) return;
  settings->companionOpen = words[0] == "open";
  settings->hasCompanionPlacement = true;
  settings->companionLeft = numbers[0];
  settings->companionTop = numbers[1];
  settings->companionWidth = numbers[2];
  settings->companionHeight = numbers[3];
}

// A path the document could take: it fits its buffer, and no control character
// (nor a NUL, which would cut it short) hides in it.
bool IsStorablePath(const std::string& path) {
  if (path.empty() || path.size() >= kPathBufferSize) return false;
  for (char c : path) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  return true;
}

}  // namespace

std::string SettingsText(const ProgramSettings& settings) {
  std::string text;
  // One line: key, then each word and number after a space.
  const auto addLine = [&text](const char* key, std::initializer_list<const char*> words,
                               std::initializer_list<int> numbers) {
    text += key;
    for (const char* word : words) (text += ' ') += word;
    for (int number : numbers) (text += ' ') += std::to_string(number);
    text += '\n';
  };
  if (settings.hasWindowPosition)
    addLine(kWindowKey, {}, {settings.windowLeft, settings.windowTop});
  if (settings.hasCompanionPlacement) {
    addLine(kCompanionKey, {settings.companionOpen ? "open" : "closed"},
            {settings.companionLeft, settings.companionTop, settings.companionWidth,
             settings.companionHeight});
  }
  for (const std::string& path : settings.recent.paths) addLine(kRecentKey, {path.c_str()}, {});
  return text;
}

ProgramSettings ParseSettingsText(const std::string& text) {
  ProgramSettings settings;
  std::vector<std::string> stored;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    const std::string key = line.substr(0, space);
    const std::string value = line.substr(space + 1);
    if (key == kWindowKey) ReadWindowPosition(value, &settings);
    if (key == kCompanionKey) ReadCompanion(value, &settings);
    if (key == kRecentKey && IsStorablePath(value)) stored.push_back(value);
  }
  settings.recent = RecentFilesFromStored(stored);
  return settings;
}

std::wstring SettingsFilePath() {
  wchar_t folder[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"APPDATA", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  return std::wstring(folder) + L"\\QUORVEL\\settings";
}

ProgramSettings ReadSettingsFile(const std::wstring& path) {
  if (path.empty()) return ProgramSettings();
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ProgramSettings();
  LARGE_INTEGER size = {};
  std::string text;
  // A device or a pipe in the file's place could block or never end: plain files only.
  if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) &&
      size.QuadPart <= static_cast<LONGLONG>(kMaxSettingsSize)) {
    text.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!text.empty() && !ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr))
      read = 0;
    text.resize(read);
  }
  CloseHandle(file);
  return ParseSettingsText(text);
}

bool WriteSettingsFile(const std::wstring& path, const ProgramSettings& settings) {
  const size_t separator = path.find_last_of(L'\\');
  if (path.empty() || separator == std::wstring::npos) return false;
  CreateDirectoryW(path.substr(0, separator).c_str(), nullptr);  // already there: fine
  const std::wstring sibling = path + L".new";
  HANDLE file = CreateFileW(sibling.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const std::string text = SettingsText(settings);
  DWORD written = 0;
  const bool whole =
      WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
      written == text.size() && FlushFileBuffers(file);
  CloseHandle(file);
  if (whole && MoveFileExW(sibling.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileW(sibling.c_str());
  return false;
}
