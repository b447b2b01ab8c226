#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// O_NONBLOCK keeps open() from waiting for the other end of a FIFO; it changes
// nothing for regular files, which are all that load accepts.
constexpr int kNoWait = O_NONBLOCK | O_CLOEXEC;

FileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::RegularFile;
  if (S_ISDIR(mode)) return FileKind::Directory;
  return FileKind::Other;
}

// Looks at the open file; true when it is a regular file.
bool IsRegularFile(int fd, FileFacts* facts) {
  struct stat info;
  if (fstat(fd, &info) != 0) return false;
  facts->kind = KindOf(info.st_mode);
  facts->size = static_cast<uint64_t>(info.st_size);
  return facts->kind == FileKind::RegularFile;
}

}  // namespace

FileOpenStatus OpenFileForReading(const char* path, FileHandle* file, FileFacts* facts) {
  *facts = FileFacts{};
  int fd = open(path, O_RDONLY | kNoWait);
  if (fd < 0) return FileOpenStatus::CannotOpen;
  if (!IsRegularFile(fd, facts)) {
    close(fd);
    errno = EINVAL;
    return FileOpenStatus::NotRegularFile;
  }
  *file = fd;
  return FileOpenStatus::Opened;
}

FileOpenStatus OpenFileForWriting(const char* path, FileHandle* file) {
  int fd = open(path, O_WRONLY | O_CREAT | kNoWait, 0666);
  if (fd < 0) return FileOpenStatus::CannotOpen;
  *file = fd;
  return FileOpenStatus::Opened;
}

PathKind GetPathKind(const char* path) {
  struct stat info;
  if (stat(path, &info) != 0) return PathKind::Missing;
  return S_ISREG(info.st_mode) ? PathKind::RegularFile : PathKind::Other;
}

FileOpenStatus CreateFileForWriting(const char* path, FileHandle* file) {
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | kNoWait, 0666);
  if (fd < 0) return FileOpenStatus::CannotOpen;
  *file = fd;
  return FileOpenStatus::Opened;
}

bool MoveFileOver(const char* from, const char* to) { return rename(from, to) == 0; }

bool RemoveFileQuietly(const char* path) {
  int savedError = errno;
  bool removed = unlink(path) == 0;
  errno = savedError;
  return removed;
}

bool ReadFileBytes(FileHandle file, void* buffer, uint32_t count, uint32_t* transferred) {
  ssize_t n = read(static_cast<int>(file), buffer, count);
  *transferred = n > 0 ? static_cast<uint32_t>(n) : 0;
  return n >= 0;
}

bool WriteFileBytes(FileHandle file, const void* buffer, uint32_t count, uint32_t* transferred) {
  ssize_t n = write(static_cast<int>(file), buffer, count);
  *transferred = n > 0 ? static_cast<uint32_t>(n) : 0;
  return n >= 0;
}

bool CloseFileHandle(FileHandle file) { return close(static_cast<int>(file)) == 0; }

void* AllocateZeroed(size_t size) { return std::calloc(1, size); }

void FreeAllocated(void* block) { std::free(block); }

int LastFileError() { return errno; }

const char* FileErrorText(int error) { return std::strerror(error); }
