#include "file_io.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "utf16_text.h"

namespace {

HANDLE AsHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// Paths come in UTF-8 and reach the system as UTF-16, so that every name opens,
// whatever the ANSI code page holds.
std::wstring Wide(const char* path) { return Utf8ToUtf16(path); }

// Only files on disk count as regular: consoles, printers and pipes report other
// types. Directories cannot be opened without FILE_FLAG_BACKUP_SEMANTICS at all.
bool IsDiskFile(HANDLE handle) { return GetFileType(handle) == FILE_TYPE_DISK; }

// A lock held by someone else is tried again this often (ms), this many times.
constexpr DWORD kLockRetryMilliseconds = 10;
constexpr int kLockTries = 500;

FileKind KindOfAttributes(DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return FileKind::SymbolicLink;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::Directory;
  return FileKind::RegularFile;
}

bool FillFacts(HANDLE handle, FileFacts* facts);

// The facts of a handle opened only to look: a device (NUL, CON) or a pipe is
// something there of kind Other.
bool LookedFacts(HANDLE handle, FileFacts* facts) {
  if (IsDiskFile(handle)) return FillFacts(handle, facts);
  *facts = FileFacts{};
  facts->kind = FileKind::Other;
  return true;
}

bool FillFacts(HANDLE handle, FileFacts* facts) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  facts->kind = KindOfAttributes(info.dwFileAttributes);
  // The 64-bit size: the low 32 bits alone would let a 4 GiB + 14,632-byte file pass.
  facts->size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  facts->identity.volume = info.dwVolumeSerialNumber;
  facts->identity.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  facts->links = info.nNumberOfLinks;
  return true;
}

// Opens path with the access and flags given and keeps it only when it is a
// regular file on disk.
FileOpenStatus OpenRegularFile(const char* path, DWORD access, DWORD flags, FileHandle* file,
                               FileFacts* facts) {
  *facts = FileFacts{};
  // Shared for reading, writing and deleting: a second run then waits on the lock
  // (LockFileEx) instead of failing at the open, and a save may replace the file
  // while others hold it open.
  HANDLE handle = CreateFileW(Wide(path).c_str(), access,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_ARCHIVE | flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    // Windows opens no directory as a file (access denied): named as what it is,
    // as on POSIX.
    DWORD error = GetLastError();
    FileFacts there;
    if (!LookAtPath(path, &there) || there.kind != FileKind::Directory)
      return FileOpenStatus::CannotOpen;
    facts->kind = FileKind::Directory;
    SetLastError(error);
    return FileOpenStatus::NotRegularFile;
  }
  bool facts_known = IsDiskFile(handle) && FillFacts(handle, facts);
  if (!facts_known || facts->kind != FileKind::RegularFile) {
    if (!facts_known) facts->kind = FileKind::Other;
    CloseHandle(handle);
    SetLastError(ERROR_BAD_FILE_TYPE);
    return FileOpenStatus::NotRegularFile;
  }
  *file = reinterpret_cast<FileHandle>(handle);
  return FileOpenStatus::Opened;
}

// "\\?\C:\dir\name" as "C:\dir\name", which fits the path buffers and the
// calls that take plain paths; other forms are kept.
const char* WithoutLongPrefix(const char* path) {
  if (std::strncmp(path, "\\\\?\\", 4) == 0 && path[4] != 0 && path[5] == ':') return path + 4;
  return path;
}

}  // namespace

FileOpenStatus OpenFileForReading(const char* path, FileHandle* file, FileFacts* facts) {
  return OpenRegularFile(path, GENERIC_READ, 0, file, facts);
}

FileOpenStatus OpenFileForUpdate(const char* path, FileHandle* file, FileFacts* facts) {
  return OpenRegularFile(path, GENERIC_READ | GENERIC_WRITE, FILE_FLAG_OPEN_REPARSE_POINT, file,
                         facts);
}

bool LookAtPath(const char* path, FileFacts* facts) {
  // No data access: looking does not collide with a handle that shares nothing.
  HANDLE handle = CreateFileW(
      Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  bool known = LookedFacts(handle, facts);
  CloseHandle(handle);
  return known;
}

bool ResolveOpenedPath(const char* path, FileHandle file, char* resolved, size_t size) {
  wchar_t wide[MAX_PATH * 2];
  constexpr DWORD kWideSize = sizeof wide / sizeof wide[0];
  DWORD length = GetFinalPathNameByHandleW(AsHandle(file), wide, kWideSize, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= kWideSize) {
    length = GetFullPathNameW(Wide(path).c_str(), kWideSize, wide, nullptr);
    if (length == 0 || length >= kWideSize) return false;
  }
  std::string full = Utf16ToUtf8(std::wstring(wide, length));
  const char* plain = WithoutLongPrefix(full.c_str());
  FileFacts opened, named;
  bool same = FillFacts(AsHandle(file), &opened) && LookAtPath(plain, &named) &&
              named.identity == opened.identity;
  bool fits = std::strlen(plain) < size;
  if (same && fits) std::memcpy(resolved, plain, std::strlen(plain) + 1);
  if (!same || !fits) SetLastError(same ? ERROR_FILENAME_EXCED_RANGE : ERROR_FILE_INVALID);
  return same && fits;
}

bool LockFileExclusive(FileHandle file) {
  for (int attempt = 0; attempt < kLockTries; ++attempt) {
    OVERLAPPED whole = {};
    if (LockFileEx(AsHandle(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                   MAXDWORD, &whole)) {
      return true;
    }
    if (GetLastError() != ERROR_LOCK_VIOLATION) return false;
    Sleep(kLockRetryMilliseconds);
  }
  return false;
}

bool SeekFileStart(FileHandle file) {
  LARGE_INTEGER start = {};
  return SetFilePointerEx(AsHandle(file), start, nullptr, FILE_BEGIN) != FALSE;
}

bool TruncateFile(FileHandle file, uint64_t size) {
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(AsHandle(file), end, nullptr, FILE_BEGIN) && SetEndOfFile(AsHandle(file));
}

// Windows has no file-size limit per process.
bool MayWriteFileOfSize(uint64_t) { return true; }

bool FlushFileToDisk(FileHandle file) { return FlushFileBuffers(AsHandle(file)) != FALSE; }

bool GetOpenFileFacts(FileHandle file, FileFacts* facts) {
  return FillFacts(AsHandle(file), facts);
}

PathKind GetPathKind(const char* path) {
  DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  // Opened through any link, without data access, to see the file itself: its
  // kind and its number of names. A link that leads nowhere counts as missing.
  HANDLE handle =
      CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return PathKind::Missing;
  BY_HANDLE_FILE_INFORMATION info;
  bool file = IsDiskFile(handle) && GetFileInformationByHandle(handle, &info) &&
              !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  CloseHandle(handle);
  if (!file) return PathKind::Other;
  bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  return link || info.nNumberOfLinks > 1 ? PathKind::LinkedFile : PathKind::RegularFile;
}

FileOpenStatus CreateFileForWriting(const char* path, FileHandle* file) {
  HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_ARCHIVE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FileOpenStatus::CannotOpen;
  *file = reinterpret_cast<FileHandle>(handle);
  return FileOpenStatus::Opened;
}

namespace {

// Names that are taken are tried again with other characters, this many times.
constexpr int kUniqueNameTries = 100;
// One case only: Windows file names ignore case.
constexpr char kNameCharacters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr size_t kNameBlankLength = 6;

// A 64-bit value another process cannot foresee to the tick: the performance
// counter with the process and thread ids and a count of calls, every input bit
// spread over every output bit (the splitmix64 finaliser).
uint64_t UnforeseeableNumber() {
  static uint64_t calls = 0;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  uint64_t x = static_cast<uint64_t>(now.QuadPart) ^ (uint64_t{GetCurrentProcessId()} << 32) ^
               GetCurrentThreadId() ^ (++calls * 0x9E3779B97F4A7C15u);
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
  return x ^ (x >> 31);
}

}  // namespace

FileOpenStatus CreateUniqueFile(char* name, FileHandle* file) {
  char* blank = name + std::strlen(name) - kNameBlankLength;
  for (int attempt = 0; attempt < kUniqueNameTries; ++attempt) {
    uint64_t number = UnforeseeableNumber();
    for (size_t i = 0; i < kNameBlankLength; ++i, number /= sizeof kNameCharacters - 1) {
      blank[i] = kNameCharacters[number % (sizeof kNameCharacters - 1)];
    }
    // CREATE_NEW fails on any name that exists, a link included.
    HANDLE handle = CreateFileW(Wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      *file = reinterpret_cast<FileHandle>(handle);
      return FileOpenStatus::Opened;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return FileOpenStatus::CannotOpen;
}

// ReplaceFileW in MoveFileOver carries the replaced file's attributes and security
// descriptor over: nothing to do beforehand.
bool CopyOwnerAndAttributes(const char*, FileHandle) { return true; }

// The replaced file is kept under a backup name until the replace is done: a
// replace that fails half-way (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) has moved it
// there, and it is put back.
bool MoveFileOver(const char* from, const char* to) {
  std::wstring wideFrom = Wide(from), wideTo = Wide(to), backup = wideFrom + L".old";
  if (ReplaceFileW(wideTo.c_str(), wideFrom.c_str(), backup.c_str(),
                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    DeleteFileW(backup.c_str());
    return true;
  }
  DWORD error = GetLastError();
  if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
    MoveFileExW(backup.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    SetLastError(error);
    return false;
  }
  // Another program holds the file without delete sharing: not replaceable.
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
      error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_REMOVE_REPLACED) {
    return false;
  }
  // Where replacing is refused (a file system without it), a plain move still
  // replaces the file in one step.
  return MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

// Windows documents no flush of a folder's entries; NTFS journals the change of
// names itself.
bool FlushParentFolder(const char*) { return true; }

bool RemoveOwnLeftover(const char* path) {
  std::wstring wide = Wide(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
    return false;
  }
  return DeleteFileW(wide.c_str()) != FALSE;
}

bool IsNoRoomError(int error) {
  return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

namespace {

// Ctrl+C, Ctrl+Break and a closing console end a console program from a thread of
// their own (ExitProcess), which would stop a save half-way. While a save is held
// the handler keeps Ctrl+C and Ctrl+Break back until the release, which then ends
// the program as they would have; a closing console (or a log-off), which ends the
// program anyway once the handler returns, waits in the handler for the release.
SRWLOCK g_interruptionLock = SRWLOCK_INIT;
int g_holds = 0;
bool g_interrupted = false;
HANDLE g_released = nullptr;  // set while nothing is held

BOOL WINAPI OnConsoleControl(DWORD event) {
  AcquireSRWLockExclusive(&g_interruptionLock);
  bool held = g_holds > 0;
  bool keyed = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
  if (held && keyed) g_interrupted = true;
  ReleaseSRWLockExclusive(&g_interruptionLock);
  if (held && !keyed) WaitForSingleObject(g_released, INFINITE);
  return held && keyed;
}

}  // namespace

void HoldInterruptions() {
  AcquireSRWLockExclusive(&g_interruptionLock);
  if (!g_released) {
    g_released = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  }
  if (g_holds++ == 0) ResetEvent(g_released);
  ReleaseSRWLockExclusive(&g_interruptionLock);
}

void ReleaseInterruptions() {
  AcquireSRWLockExclusive(&g_interruptionLock);
  bool last = --g_holds == 0;
  bool interrupted = last && g_interrupted;
  if (last) SetEvent(g_released);
  ReleaseSRWLockExclusive(&g_interruptionLock);
  if (interrupted) ExitProcess(STATUS_CONTROL_C_EXIT);
}

bool RemoveFileQuietly(const char* path) {
  DWORD savedError = GetLastError();
  bool removed = DeleteFileW(Wide(path).c_str()) != FALSE;
  SetLastError(savedError);
  return removed;
}

bool ReadFileBytes(FileHandle file, void* buffer, uint32_t count, uint32_t* transferred) {
  DWORD n = 0;
  BOOL ok = ReadFile(AsHandle(file), buffer, count, &n, nullptr);
  *transferred = n;
  return ok != FALSE;
}

bool WriteFileBytes(FileHandle file, const void* buffer, uint32_t count, uint32_t* transferred) {
  DWORD n = 0;
  BOOL ok = WriteFile(AsHandle(file), buffer, count, &n, nullptr);
  *transferred = n;
  return ok != FALSE;
}

bool CloseFileHandle(FileHandle file) { return CloseHandle(AsHandle(file)) != FALSE; }

void* AllocateZeroed(size_t size) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size); }

void FreeAllocated(void* block) {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}

void SetLastFileError(int error) { SetLastError(static_cast<DWORD>(error)); }

int LastFileError() { return static_cast<int>(GetLastError()); }

// In UTF-8, as every text of the file layer.
const char* FileErrorText(int error) {
  static std::string text;
  wchar_t wide[256];
  DWORD length =
      FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     static_cast<DWORD>(error), 0, wide, sizeof wide / sizeof wide[0], nullptr);
  while (length > 0 && (wide[length - 1] == L'\n' || wide[length - 1] == L'\r')) --length;
  text = length == 0 ? "system error" : Utf16ToUtf8(std::wstring(wide, length));
  return text.c_str();
}

bool LookThroughPath(const char* path, FileFacts* facts) {
  // As LookAtPath, with a reparse point (a symbolic link, a junction) followed.
  HANDLE handle =
      CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  bool known = LookedFacts(handle, facts);
  CloseHandle(handle);
  return known;
}

// A new file takes the security its folder gives; ReplaceFileW in MoveFileOver
// carries the replaced file's over where there is one.
bool CopyOwnerAndAttributesOf(FileHandle, FileHandle) { return true; }

namespace {

// Whether name is pattern (its last kNameBlankLength characters "X") with
// CreateUniqueFile's characters, in either case, in place of the X's.
bool MatchesUniquePattern(const std::wstring& name, const std::wstring& pattern) {
  if (name.size() != pattern.size() || pattern.size() < kNameBlankLength) return false;
  int fixed = static_cast<int>(pattern.size() - kNameBlankLength);
  if (CompareStringOrdinal(name.c_str(), fixed, pattern.c_str(), fixed, TRUE) != CSTR_EQUAL) {
    return false;
  }
  for (size_t i = static_cast<size_t>(fixed); i < pattern.size(); ++i) {
    wchar_t c = name[i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c == 0 || c > 0x7F || !std::strchr(kNameCharacters, static_cast<char>(c))) return false;
  }
  return true;
}

// Removes the file at path when it is a regular file with one name, through a
// handle on the name itself (a reparse point is opened, not followed).
void RemoveLeftoverFile(const std::wstring& path) {
  HANDLE handle = CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  BY_HANDLE_FILE_INFORMATION info;
  DWORD other = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  if (GetFileInformationByHandle(handle, &info) && !(info.dwFileAttributes & other) &&
      info.nNumberOfLinks == 1) {
    FILE_DISPOSITION_INFO remove = {TRUE};
    SetFileInformationByHandle(handle, FileDispositionInfo, &remove, sizeof remove);
  }
  CloseHandle(handle);
}

}  // namespace

// Windows gives no user another's temporary files in a folder of their own; the
// owner is not compared, since an administrator's new files may belong to the
// Administrators group instead.
void RemoveLeftoverFiles(const char* pattern) {
  DWORD savedError = GetLastError();
  std::wstring widePattern = Wide(pattern);
  size_t length = widePattern.size();
  std::wstring wildcard = widePattern;
  if (length >= kNameBlankLength)
    wildcard.replace(length - kNameBlankLength, kNameBlankLength, L"??????");
  size_t folder = wildcard.find_last_of(L"/\\:") + 1;  // 0 when there is none
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(wildcard.c_str(), &found);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
    if (MatchesUniquePattern(found.cFileName, widePattern.substr(folder)))
      RemoveLeftoverFile(wildcard.substr(0, folder) + found.cFileName);
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  SetLastError(savedError);
}

FileHandle StandardInputHandle() {
  return reinterpret_cast<FileHandle>(GetStdHandle(STD_INPUT_HANDLE));
}

void GiveNewFilePermissions(FileHandle) {}

const int kNameTooLongError = ERROR_FILENAME_EXCED_RANGE;
const int kWriteFaultError = ERROR_WRITE_FAULT;
