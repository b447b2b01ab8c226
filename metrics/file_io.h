// The few file operations the metrics document needs, over POSIX or Win32.
// Paths are byte strings: as the system has them on POSIX, UTF-8 on Windows (turned
// into UTF-16 for the wide calls, so that any name opens). Error texts are UTF-8 there.
#pragma once

#include <cstddef>
#include <cstdint>

// An open file: a POSIX descriptor or a Win32 HANDLE; kNoFile when none is held.
using FileHandle = intptr_t;
constexpr FileHandle kNoFile = -1;

enum class FileOpenStatus {
  Opened,
  CannotOpen,      // missing, no permission, ...
  NotRegularFile,  // a directory, FIFO, socket, device or symbolic link: closed again
};

// What an open for reading found at a path: the kind of thing it names and its size
// in bytes (kind Unknown and size 0 when nothing could be opened).
enum class FileKind {
  Unknown,
  RegularFile,
  Directory,
  SymbolicLink,  // only where a link is refused rather than followed
  Other,         // a FIFO, socket or device
};

// Which file a handle or path names, whatever it is called: the device and inode on
// POSIX, the volume serial number and file index on Windows. Two names of one file
// (a hard link, a path through a symbolic link) have the same identity.
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t index = 0;
};
inline bool operator==(const FileIdentity& a, const FileIdentity& b) {
  return a.volume == b.volume && a.index == b.index;
}
inline bool operator!=(const FileIdentity& a, const FileIdentity& b) { return !(a == b); }

struct FileFacts {
  FileKind kind = FileKind::Unknown;
  uint64_t size = 0;
  FileIdentity identity;
  uint32_t links = 1;  // the file's names (hard links)
};

// Opens an existing regular file for reading and reports what it found. Never
// blocks, even on a FIFO. On failure *file stays kNoFile; facts still tell what was
// there when it could be looked at (a directory, a device).
FileOpenStatus OpenFileForReading(const char* path, FileHandle* file, FileFacts* facts);

// Opens an existing regular file for reading and writing, in place: never creates
// it, never through a symbolic link (or reparse point) in its last component, never
// blocks. A link there is refused with kind SymbolicLink, so that a link swapped in
// by someone else cannot redirect the write.
FileOpenStatus OpenFileForUpdate(const char* path, FileHandle* file, FileFacts* facts);

// What the last component of path is, without following a symbolic link, and its
// size and identity; false when nothing can be looked at there.
bool LookAtPath(const char* path, FileFacts* facts);

// The absolute path of the file open as file, opened through path: symbolic links
// resolved, so that later writes name the file itself. False when it cannot be
// found, does not fit in size bytes, or names another file than the one open.
bool ResolveOpenedPath(const char* path, FileHandle file, char* resolved, size_t size);

// Takes the exclusive advisory lock of the open file (flock, LockFileEx), waiting a
// few seconds at most for another holder; the lock goes with the handle's close.
// False when it could not be had.
bool LockFileExclusive(FileHandle file);

// Moves the file position back to the start, for a write after a read.
bool SeekFileStart(FileHandle file);

// Cuts the file to size bytes.
bool TruncateFile(FileHandle file, uint64_t size);

// Whether this process may write a file of size bytes (POSIX: the file-size limit,
// ulimit -f); false with the error "File too large" otherwise. Checked before an
// in-place write, which the limit would otherwise cut off half-way.
bool MayWriteFileOfSize(uint64_t size);

// Makes the file's data and size durable (fdatasync or fsync, FlushFileBuffers)
// before success is claimed.
bool FlushFileToDisk(FileHandle file);

// What a path names now, as far as replacing it goes.
enum class PathKind {
  Missing,      // nothing there (or nothing that can be looked at, or a dangling link)
  RegularFile,  // a regular file with this one name
  LinkedFile,   // a regular file named through a symbolic link, or with more hard links
  Other,        // a directory, FIFO, socket or device
};
PathKind GetPathKind(const char* path);

// Creates path for writing; fails when anything exists there already. Never blocks.
FileOpenStatus CreateFileForWriting(const char* path, FileHandle* file);

// Creates a new file for writing from name, which ends in "XXXXXX": those six
// characters become unpredictable ones, so that nobody can put a file or a link
// there beforehand. Created exclusively (never through a link), readable and
// writable by its owner only; name receives the name used.
FileOpenStatus CreateUniqueFile(char* name, FileHandle* file);

// Gives the open file copy the owner, group and permissions of the file at
// original, and on Linux its extended attributes (the access control list among
// them). False when any of it cannot be kept, as when a user who is not root would
// have to give the copy away, or when original is no longer a file with one name.
// Windows keeps these in MoveFileOver instead: true there.
bool CopyOwnerAndAttributes(const char* original, FileHandle copy);

// Moves the file at from to to, replacing a file at to in one step.
bool MoveFileOver(const char* from, const char* to);

// Makes the folder that holds path durable (fsync of the folder on POSIX), so that
// a file created or moved there survives a power loss under that name.
bool FlushParentFolder(const char* path);

// Removes the regular file at path when this user owns it (a temporary that an
// earlier run, killed or crashed, left behind); a link, a folder or another user's
// file there is left alone. True when something was removed.
bool RemoveOwnLeftover(const char* path);

// Whether a failed creation or write means the disk (or this user's quota) is
// full: ENOSPC and EDQUOT, ERROR_DISK_FULL and ERROR_HANDLE_DISK_FULL.
bool IsNoRoomError(int error);

// Holds back the signals that end a program at a user's or the system's request
// (SIGINT, SIGTERM, SIGHUP) for the calling thread until the matching release, so
// that a save once begun runs to its end; one held back is delivered at the
// release. On Windows the same for Ctrl+C, Ctrl+Break and a closing console, for
// the whole process.
void HoldInterruptions();
void ReleaseInterruptions();

// Removes the file at path. The last error stays that of the failure before it,
// so that a clean-up does not hide the reason it was needed.
bool RemoveFileQuietly(const char* path);

// One read or write call from the start position; *transferred receives the byte
// count. Returns false when the call itself failed.
bool ReadFileBytes(FileHandle file, void* buffer, uint32_t count, uint32_t* transferred);
bool WriteFileBytes(FileHandle file, const void* buffer, uint32_t count, uint32_t* transferred);

// The facts of an open file.
bool GetOpenFileFacts(FileHandle file, FileFacts* facts);

// Closes the file; false when the system reports an error (a delayed write failure).
bool CloseFileHandle(FileHandle file);

// Zero-filled memory from the process heap, or null.
void* AllocateZeroed(size_t size);
void FreeAllocated(void* block);

// The platform's last error (errno, or GetLastError on Windows), and an error as
// text for reports that name a reason ("No such file or directory"); the text lives
// until the next call.
int LastFileError();
void SetLastFileError(int error);
const char* FileErrorText(int error);
inline const char* LastFileErrorText() { return FileErrorText(LastFileError()); }

// Closes a file during a clean-up. The last error stays that of the failure before
// it, so that the clean-up does not hide the reason it was needed.
inline void CloseFileQuietly(FileHandle file) {
  int error = LastFileError();
  CloseFileHandle(file);
  SetLastFileError(error);
}

// What path names with symbolic links followed: the file a write through the path
// would reach. False when nothing can be looked at there (a dangling link, a loop).
bool LookThroughPath(const char* path, FileFacts* facts);

// Gives the open file copy the owner, group and permissions of the open file
// original, and on Linux its extended attributes (the access control list among
// them), whatever names original has: for a copy kept beside a file (a backup),
// which takes what the file itself is, not what the name given to it is. False when
// any of it cannot be kept. Windows: true, the copy keeps what its folder gives.
bool CopyOwnerAndAttributesOf(FileHandle original, FileHandle copy);

// Removes what runs that were killed left of the files CreateUniqueFile made from
// pattern (a name ending in "XXXXXX"): the names in pattern's folder that are
// pattern with other characters in place of the X's and that are regular files of
// this user with one name, never through a link. Call it only under the lock that
// every maker of such files holds while the file exists, so that none of them is
// still in use. The last error stays as it was.
void RemoveLeftoverFiles(const char* pattern);

// The handle of standard input, whatever it was redirected from.
FileHandle StandardInputHandle();

// Gives a new file that replaces nothing what a file created by name gets: on POSIX
// mode 0666 less the umask (a unique file starts as its owner's only); on Windows
// it already has what its folder gives.
void GiveNewFilePermissions(FileHandle file);

// Errors that callers set themselves, in the platform's numbering: a name too long
// for the system, and a write that moved no byte without the system saying why.
extern const int kNameTooLongError;  // ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE
extern const int kWriteFaultError;   // EIO, ERROR_WRITE_FAULT
