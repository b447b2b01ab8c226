#include "file_io.h"

#include <windows.h>

namespace {

HANDLE AsHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// Only files on disk count as regular: consoles, printers and pipes report other
// types. Directories cannot be opened without FILE_FLAG_BACKUP_SEMANTICS at all.
bool IsDiskFile(HANDLE handle) { return GetFileType(handle) == FILE_TYPE_DISK; }

}  // namespace

FileOpenStatus OpenFileForReading(const char* path, FileHandle* file, FileFacts* facts) {
  *facts = FileFacts{};
  HANDLE handle = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_ARCHIVE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FileOpenStatus::CannotOpen;
  LARGE_INTEGER fileSize;
  // The 64-bit size: the low 32 bits alone would let a 4 GiB + 14,632-byte file pass.
  if (!IsDiskFile(handle) || !GetFileSizeEx(handle, &fileSize)) {
    facts->kind = FileKind::Other;
    CloseHandle(handle);
    SetLastError(ERROR_BAD_FILE_TYPE);
    return FileOpenStatus::NotRegularFile;
  }
  facts->kind = FileKind::RegularFile;
  facts->size = static_cast<uint64_t>(fileSize.QuadPart);
  *file = reinterpret_cast<FileHandle>(handle);
  return FileOpenStatus::Opened;
}

FileOpenStatus OpenFileForWriting(const char* path, FileHandle* file) {
  HANDLE handle = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_ARCHIVE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FileOpenStatus::CannotOpen;
  *file = reinterpret_cast<FileHandle>(handle);
  return FileOpenStatus::Opened;
}

PathKind GetPathKind(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Other : PathKind::RegularFile;
}

FileOpenStatus CreateFileForWriting(const char* path, FileHandle* file) {
  HANDLE handle = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_ARCHIVE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FileOpenStatus::CannotOpen;
  *file = reinterpret_cast<FileHandle>(handle);
  return FileOpenStatus::Opened;
}

bool MoveFileOver(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool RemoveFileQuietly(const char* path) {
  DWORD savedError = GetLastError();
  bool removed = DeleteFileA(path) != FALSE;
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

int LastFileError() { return static_cast<int>(GetLastError()); }

const char* FileErrorText(int error) {
  static char text[256];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, static_cast<DWORD>(error), 0, text, sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) text[--length] = 0;
  if (length == 0) lstrcpyA(text, "system error");
  return text;
}
