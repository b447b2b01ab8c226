// The Windows side of input_stream.h: files on disk, pipes and standard input.
// Windows has no FIFO in the file system: only "-" is read as a stream.
#include <windows.h>

#include <algorithm>

#include "file_io.h"
#include "input_stream.h"
#include "utf16_text.h"

namespace {

// Why what handle names is not read, or "" for files on disk and pipes.
std::string UnreadableKindReason(HANDLE handle, const char* kindWord) {
  DWORD type = GetFileType(handle);
  BY_HANDLE_FILE_INFORMATION info;
  bool directory = type == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
                   (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  if ((type == FILE_TYPE_DISK && !directory) || type == FILE_TYPE_PIPE) return "";
  return std::string(directory ? "is a directory" : "is a device") + ", not a " + kindWord;
}

std::string CannotOpenReason() { return std::string("cannot open: ") + LastFileErrorText(); }

// Opens path into *handle, or returns why it is not read. The kind is looked at
// through a handle without data access first, as opening some devices (a console,
// a serial port) for reading has effects.
std::string OpenForReading(const std::string& path, const char* kindWord, HANDLE* handle) {
  std::wstring wide = Utf8ToUtf16(path);
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE probe = CreateFileW(wide.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return CannotOpenReason();
  std::string refusal = UnreadableKindReason(probe, kindWord);
  CloseHandle(probe);
  if (!refusal.empty()) return refusal;
  *handle = CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
  if (*handle == INVALID_HANDLE_VALUE) return CannotOpenReason();
  return UnreadableKindReason(*handle, kindWord);
}

// Reads from handle until its end or until maxBytes came. A pipe whose writer
// closed it ends the input (ERROR_BROKEN_PIPE), as the end of a file does.
bool ReadAtMost(HANDLE handle, size_t maxBytes, std::string* text) {
  char buffer[64 * 1024];
  while (text->size() < maxBytes) {
    DWORD count = 0;
    DWORD wanted = static_cast<DWORD>(std::min(sizeof buffer, maxBytes - text->size()));
    if (!ReadFile(handle, buffer, wanted, &count, nullptr))
      return GetLastError() == ERROR_BROKEN_PIPE;
    if (count == 0) return true;
    text->append(buffer, count);
  }
  return true;
}

}  // namespace

bool ReadInputText(const std::string& path, size_t maxBytes, const char* kindWord,
                   std::string* text, std::string* reason) {
  // The room is taken first, so that running out of memory cannot happen while the
  // file is open.
  text->reserve(maxBytes + 1);
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (path != "-") {
    input = INVALID_HANDLE_VALUE;
    *reason = OpenForReading(path, kindWord, &input);
    if (!reason->empty()) {
      if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
      return false;
    }
  }
  bool read = ReadAtMost(input, maxBytes + 1, text);
  int readError = LastFileError();
  if (path != "-") CloseHandle(input);
  if (!read) *reason = std::string("read failed: ") + FileErrorText(readError);
  return read;
}

bool IsStreamInput(const std::string& path) { return path == "-"; }
