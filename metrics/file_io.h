// The few file operations the metrics document needs, over POSIX or Win32.
// Paths are byte strings in the system's encoding (the ANSI code page on Windows).
#pragma once

#include <cstddef>
#include <cstdint>

// An open file: a POSIX descriptor or a Win32 HANDLE; kNoFile when none is held.
using FileHandle = intptr_t;
constexpr FileHandle kNoFile = -1;

enum class FileOpenStatus {
  Opened,
  CannotOpen,      // missing, no permission, a directory on Windows, ...
  NotRegularFile,  // opened, but a directory, FIFO, socket or device: closed again
};

// What an open for reading found at a path: the kind of thing it names and its size
// in bytes (kind Unknown and size 0 when nothing could be opened).
enum class FileKind {
  Unknown,
  RegularFile,
  Directory,
  Other,  // a FIFO, socket or device
};
struct FileFacts {
  FileKind kind = FileKind::Unknown;
  uint64_t size = 0;
};

// Opens an existing regular file for reading and reports what it found. Never
// blocks, even on a FIFO. On failure *file stays kNoFile; facts still tell what was
// there when it could be looked at (a directory, a device).
FileOpenStatus OpenFileForReading(const char* path, FileHandle* file, FileFacts* facts);

// Opens path for writing, creating it when missing and keeping its contents (no
// truncation). Never blocks. On failure *file stays kNoFile.
FileOpenStatus OpenFileForWriting(const char* path, FileHandle* file);

// What a path names now, as far as replacing it goes.
enum class PathKind {
  Missing,      // nothing there (or nothing that can be looked at)
  RegularFile,
  Other,        // a directory, FIFO, socket or device
};
PathKind GetPathKind(const char* path);

// Creates path for writing; fails when anything exists there already. Never blocks.
FileOpenStatus CreateFileForWriting(const char* path, FileHandle* file);

// Moves the file at from to to, replacing a file at to in one step.
bool MoveFileOver(const char* from, const char* to);

// Removes the file at path. The last error stays that of the failure before it,
// so that a clean-up does not hide the reason it was needed.
bool RemoveFileQuietly(const char* path);

// One read or write call from the start position; *transferred receives the byte
// count. Returns false when the call itself failed.
bool ReadFileBytes(FileHandle file, void* buffer, uint32_t count, uint32_t* transferred);
bool WriteFileBytes(FileHandle file, const void* buffer, uint32_t count, uint32_t* transferred);

// Closes the file; false when the system reports an error (a delayed write failure).
bool CloseFileHandle(FileHandle file);

// Zero-filled memory from the process heap, or null.
void* AllocateZeroed(size_t size);
void FreeAllocated(void* block);

// The platform's last error (errno, or GetLastError on Windows), and an error as
// text for reports that name a reason ("No such file or directory"); the text lives
// until the next call.
int LastFileError();
const char* FileErrorText(int error);
inline const char* LastFileErrorText() { return FileErrorText(LastFileError()); }
