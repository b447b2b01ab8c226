#include "settings_file.h"

#include <windows.h>

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <vector>

#include "metrics_document.h"

namespace {

constexpr char kWindowKey[] = "window";
constexpr char kCompanionKey[] = "companion";
constexpr char kRecentKey[] = "recent";
constexpr char kPreviewKey[] = "preview";
constexpr char kSampleKey[] = "sample";
constexpr char kPreviewFontKey[] = "previewfont";
constexpr char kMeasureKey[] = "measure";
constexpr char kMeasureFontKey[] = "measurefont";
constexpr char kMeasureFullWidthKey[] = "measurefullwidth";
constexpr char kMeasureHalfKanaKey[] = "measurehalfkana";
// Longer texts are no sample a user typed nor a font name: skipped.
constexpr size_t kMaxTextSetting = 4096;
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

std::vector<std::string> Words(const std::string& value) {
  std::vector<std::string> words;
  for (size_t start = 0; start <= value.size();) {
    size_t end = value.find(' ', start);
    if (end == std::string::npos) end = value.size();
    words.push_back(value.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

// Exactly count whole numbers, each in [low, high].
bool ReadNumbers(const std::string& value, int count, int low, int high, int* numbers) {
  const std::vector<std::string> words = Words(value);
  if (int(words.size()) != count) return false;
  for (int i = 0; i < count; ++i) {
    if (!ReadCoordinate(words[i], &numbers[i]) || numbers[i] < low || numbers[i] > high)
      return false;
  }
  return true;
}

// "companion open|closed LEFT TOP WIDTH HEIGHT"; a window of no size is no placement.
void ReadCompanion(const std::string& value, ProgramSettings* settings) {
  const std::vector<std::string> words = Words(value);
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

// A text setting: no control character, not too long.
bool IsStorableText(const std::string& text) {
  return text.size() <= kMaxTextSetting && std::none_of(text.begin(), text.end(), [](char c) {
           return static_cast<unsigned char>(c) < 0x20;
         });
}

std::string EscapedText(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\')
      escaped += "\\\\";
    else if (c == '\n')
      escaped += "\\n";
    else
      escaped += c;
  }
  return escaped;
}

// The escaped text's own, or false for an escape that is neither \\ nor \n.
bool ReadEscapedText(const std::string& value, std::string* text) {
  if (!IsStorableText(value)) return false;
  std::string read;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\') {
      read += value[i];
    } else if (i + 1 < value.size() && (value[i + 1] == '\\' || value[i + 1] == 'n')) {
      read += value[++i] == 'n' ? '\n' : '\\';
    } else {
      return false;
    }
  }
  *text = read;
  return true;
}

// "preview OUTLINES GRID ZOOM"
void ReadPreview(const std::string& value, ProgramSettings* settings) {
  int numbers[3];
  if (!ReadNumbers(value, 3, 0, kMaxPreviewZoom, numbers) || numbers[0] > 1 || numbers[1] > 1 ||
      numbers[2] < 1)
    return;
  settings->preview = {numbers[0] == 1, numbers[1] == 1, numbers[2]};
}

// "measure SIZE FULLWIDTH HALFKANA HALFALNUM ROUND"
void ReadMeasure(const std::string& value, ProgramSettings* settings) {
  int numbers[5];
  if (!ReadNumbers(value, 5, 0, kMaxMeasureSize, numbers) || numbers[0] < kMinMeasureSize ||
      std::any_of(numbers + 1, numbers + 5, [](int flag) { return flag > 1; }))
    return;
  MeasureChoices& choices = settings->measure;
  settings->hasMeasureChoices = true;
  choices.pixelSize = numbers[0];
  choices.fullWidth = numbers[1] == 1;
  choices.halfKana = numbers[2] == 1;
  choices.halfAlnum = numbers[3] == 1;
  choices.roundEdges = numbers[4] == 1;
}

void ReadTextSetting(const std::string& key, const std::string& value, ProgramSettings* settings) {
  if (!IsStorableText(value)) return;
  if (key == kPreviewFontKey) settings->previewFont = value;
  if (key == kMeasureFontKey) settings->measure.font = value;
  if (key == kMeasureFullWidthKey) settings->measure.fullWidthSample = value;
  if (key == kMeasureHalfKanaKey) settings->measure.halfKanaSample = value;
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
  const PreviewOptions& preview = settings.preview;
  const PreviewOptions defaults;
  if (preview.outlines != defaults.outlines || preview.grid != defaults.grid ||
      preview.zoom != defaults.zoom)
    addLine(kPreviewKey, {}, {preview.outlines, preview.grid, preview.zoom});
  if (settings.hasSampleText) addLine(kSampleKey, {EscapedText(settings.sampleText).c_str()}, {});
  if (!settings.previewFont.empty()) addLine(kPreviewFontKey, {settings.previewFont.c_str()}, {});
  if (settings.hasMeasureChoices) {
    const MeasureChoices& measure = settings.measure;
    addLine(kMeasureKey, {},
            {measure.pixelSize, measure.fullWidth, measure.halfKana, measure.halfAlnum,
             measure.roundEdges});
    addLine(kMeasureFontKey, {measure.font.c_str()}, {});
    addLine(kMeasureFullWidthKey, {measure.fullWidthSample.c_str()}, {});
    addLine(kMeasureHalfKanaKey, {measure.halfKanaSample.c_str()}, {});
  }
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
    if (key == kPreviewKey) ReadPreview(value, &settings);
    if (key == kSampleKey) settings.hasSampleText = ReadEscapedText(value, &settings.sampleText);
    if (key == kMeasureKey) ReadMeasure(value, &settings);
    ReadTextSetting(key, value, &settings);
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
