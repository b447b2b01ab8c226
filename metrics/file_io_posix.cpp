#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "file_io.h"

#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace {

// O_NONBLOCK keeps open() from waiting for the other end of a FIFO; it changes
// nothing for regular files, which are all that load accepts.
constexpr int kNoWait = O_NONBLOCK | O_CLOEXEC;

// A lock held by someone else is tried again this often, this many times.
constexpr long kLockRetryNanoseconds = 10'000'000;
constexpr int kLockTries = 500;

FileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::RegularFile;
  if (S_ISDIR(mode)) return FileKind::Directory;
  if (S_ISLNK(mode)) return FileKind::SymbolicLink;
  return FileKind::Other;
}

// The facts of what dir and path name (an open file and "", or AT_FDCWD and a
// path), the last link not followed. On Linux statx asks only for the
// type, size and inode: a full stat also queries the file's change counter, and
// the next write must then commit the inode to disk with the data, which made
// every save's flush take half as long again.
bool StatFacts(int dir, const char* path, int flags, FileFacts* facts) {
#ifdef __linux__
  struct statx info;
  if (statx(dir, path, flags | AT_SYMLINK_NOFOLLOW,
            STATX_TYPE | STATX_SIZE | STATX_INO | STATX_NLINK, &info) != 0) {
    return false;
  }
  facts->kind = KindOf(info.stx_mode);
  facts->size = info.stx_size;
  facts->identity.volume = makedev(info.stx_dev_major, info.stx_dev_minor);
  facts->identity.index = info.stx_ino;
  facts->links = info.stx_nlink;
#else
  struct stat info;
  int looked =
      path[0] == 0 ? fstat(dir, &info) : fstatat(dir, path, &info, flags | AT_SYMLINK_NOFOLLOW);
  if (looked != 0) return false;
  facts->kind = KindOf(info.st_mode);
  facts->size = static_cast<uint64_t>(info.st_size);
  facts->identity.volume = static_cast<uint64_t>(info.st_dev);
  facts->identity.index = static_cast<uint64_t>(info.st_ino);
  facts->links = static_cast<uint32_t>(info.st_nlink);
#endif
  return true;
}

// Looks at the open file; true when it is a regular file.
bool IsRegularFile(int fd, FileFacts* facts) {
  return GetOpenFileFacts(fd, facts) && facts->kind == FileKind::RegularFile;
}

// Opens path with flags and keeps it only when it is a regular file.
FileOpenStatus OpenRegularFile(const char* path, int flags, FileHandle* file, FileFacts* facts) {
  *facts = FileFacts{};
  int fd = open(path, flags | kNoWait);
  if (fd < 0) {
    // O_NOFOLLOW refuses a final link with ELOOP: say what is there instead.
    int error = errno;
    if (error == ELOOP && (flags & O_NOFOLLOW) && LookAtPath(path, facts) &&
        facts->kind == FileKind::SymbolicLink) {
      errno = EINVAL;
      return FileOpenStatus::NotRegularFile;
    }
    errno = error;
    return FileOpenStatus::CannotOpen;
  }
  if (!IsRegularFile(fd, facts)) {
    close(fd);
    errno = EINVAL;
    return FileOpenStatus::NotRegularFile;
  }
  *file = fd;
  return FileOpenStatus::Opened;
}

}  // namespace

FileOpenStatus OpenFileForReading(const char* path, FileHandle* file, FileFacts* facts) {
  return OpenRegularFile(path, O_RDONLY, file, facts);
}

FileOpenStatus OpenFileForUpdate(const char* path, FileHandle* file, FileFacts* facts) {
  return OpenRegularFile(path, O_RDWR | O_NOFOLLOW, file, facts);
}

bool LookAtPath(const char* path, FileFacts* facts) { return StatFacts(AT_FDCWD, path, 0, facts); }

bool ResolveOpenedPath(const char* path, FileHandle file, char* resolved, size_t size) {
  char* full = realpath(path, nullptr);
  if (!full) return false;
  // The path may have been pointed elsewhere since it was opened: keep it only
  // when it still names the open file.
  FileFacts opened, named;
  bool same = GetOpenFileFacts(file, &opened) && LookAtPath(full, &named) &&
              named.identity == opened.identity;
  size_t length = std::strlen(full);
  bool fits = length < size;
  if (same && fits) std::memcpy(resolved, full, length + 1);
  std::free(full);
  if (!same || !fits) errno = same ? ENAMETOOLONG : ESTALE;
  return same && fits;
}

bool LockFileExclusive(FileHandle file) {
  const struct timespec pause = {0, kLockRetryNanoseconds};
  for (int attempt = 0; attempt < kLockTries; ++attempt) {
    if (flock(static_cast<int>(file), LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    nanosleep(&pause, nullptr);
  }
  return false;
}

bool SeekFileStart(FileHandle file) { return lseek(static_cast<int>(file), 0, SEEK_SET) == 0; }

bool TruncateFile(FileHandle file, uint64_t size) {
  return ftruncate(static_cast<int>(file), static_cast<off_t>(size)) == 0;
}

// fdatasync where there is one: the data and the size, which is all a reader needs.
// A full fsync would also commit the access time that the save's read-back just
// set, a journal commit that made every save half as slow again.
bool FlushFileToDisk(FileHandle file) {
#ifdef __linux__
  return fdatasync(static_cast<int>(file)) == 0;
#else
  return fsync(static_cast<int>(file)) == 0;
#endif
}

bool MayWriteFileOfSize(uint64_t size) {
  struct rlimit limit;
  if (getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return true;
  if (limit.rlim_cur >= size) return true;
  errno = EFBIG;
  return false;
}

bool GetOpenFileFacts(FileHandle file, FileFacts* facts) {
#ifdef __linux__
  return StatFacts(static_cast<int>(file), "", AT_EMPTY_PATH, facts);
#else
  return StatFacts(static_cast<int>(file), "", 0, facts);
#endif
}

PathKind GetPathKind(const char* path) {
  struct stat info;
  if (lstat(path, &info) != 0) return PathKind::Missing;
  bool link = S_ISLNK(info.st_mode);
  // A link is looked through; one that leads nowhere counts as missing, so that
  // the exclusive create refuses it rather than creating its target.
  if (link && stat(path, &info) != 0) return PathKind::Missing;
  if (!S_ISREG(info.st_mode)) return PathKind::Other;
  return link || info.st_nlink > 1 ? PathKind::LinkedFile : PathKind::RegularFile;
}

FileOpenStatus CreateFileForWriting(const char* path, FileHandle* file) {
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | kNoWait, 0666);
  if (fd < 0) return FileOpenStatus::CannotOpen;
  *file = fd;
  return FileOpenStatus::Opened;
}

FileOpenStatus CreateUniqueFile(char* name, FileHandle* file) {
  int fd = mkostemp(name, O_CLOEXEC);
  if (fd < 0) return FileOpenStatus::CannotOpen;
  *file = fd;
  return FileOpenStatus::Opened;
}

namespace {

#ifdef __linux__
constexpr char kAccessList[] = "system.posix_acl_access";

// The value of one extended attribute of the file at path, without following a
// link.
bool ReadAttribute(const char* path, const char* name, std::vector<char>* value) {
  ssize_t size = lgetxattr(path, name, nullptr, 0);
  if (size < 0) return false;
  value->resize(static_cast<size_t>(size));
  size = lgetxattr(path, name, value->data(), value->size());
  value->resize(size < 0 ? 0 : static_cast<size_t>(size));
  return size >= 0;
}

// Puts every extended attribute of original on copy. A file system without them
// has none to copy.
bool CopyExtendedAttributes(const char* original, int copy) {
  // The copy may have inherited an access list from the folder's default list:
  // it gets the original's or none.
  if (fremovexattr(copy, kAccessList) != 0 && errno != ENODATA && errno != ENOTSUP) return false;
  ssize_t size = llistxattr(original, nullptr, 0);
  if (size <= 0) return size == 0 || errno == ENOTSUP;
  std::vector<char> names(static_cast<size_t>(size));
  size = llistxattr(original, names.data(), names.size());
  if (size < 0) return false;
  std::vector<char> value;
  for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(&names[at])) + 1) {
    const char* name = &names[at];
    if (!ReadAttribute(original, name, &value) ||
        fsetxattr(copy, name, value.data(), value.size(), 0) != 0) {
      return false;
    }
  }
  return true;
}
#else
bool CopyExtendedAttributes(const char*, int) { return true; }
#endif

}  // namespace

bool CopyOwnerAndAttributes(const char* original, FileHandle copy) {
  int fd = static_cast<int>(copy);
  struct stat info;
  if (lstat(original, &info) != 0) return false;
  if (!S_ISREG(info.st_mode) || info.st_nlink != 1) {
    errno = EINVAL;
    return false;
  }
  // The owner first: a change of owner clears the set-user-ID bits and file
  // capabilities, which the attributes and the mode then put back.
  return fchown(fd, info.st_uid, info.st_gid) == 0 && CopyExtendedAttributes(original, fd) &&
         fchmod(fd, info.st_mode & 07777) == 0;
}

bool MoveFileOver(const char* from, const char* to) { return rename(from, to) == 0; }

bool FlushParentFolder(const char* path) {
  const char* slash = std::strrchr(path, '/');
  std::string folder = !slash ? "." : slash == path ? "/" : std::string(path, slash);
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A folder the user may write but not read cannot be opened to be flushed;
  // the file's own data is on disk already.
  if (fd < 0) return errno == EACCES;
  // EINVAL: a file system that keeps no folder data of its own to flush.
  bool flushed = fsync(fd) == 0 || errno == EINVAL;
  int error = errno;
  close(fd);
  errno = error;
  return flushed;
}

bool RemoveOwnLeftover(const char* path) {
  struct stat info;
  if (lstat(path, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) return false;
  return unlink(path) == 0;
}

bool IsNoRoomError(int error) { return error == ENOSPC || error == EDQUOT; }

namespace {

// The signals held back, and the mask from before the hold.
int g_interruptionHolds = 0;
sigset_t g_maskBeforeHold;

}  // namespace

void HoldInterruptions() {
  if (g_interruptionHolds++ > 0) return;
  sigset_t held;
  sigemptyset(&held);
  sigaddset(&held, SIGINT);
  sigaddset(&held, SIGTERM);
  sigaddset(&held, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &held, &g_maskBeforeHold);
}

void ReleaseInterruptions() {
  if (g_interruptionHolds == 0 || --g_interruptionHolds > 0) return;
  int error = errno;
  pthread_sigmask(SIG_SETMASK, &g_maskBeforeHold, nullptr);
  errno = error;
}

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

void SetLastFileError(int error) { errno = error; }

int LastFileError() { return errno; }

const char* FileErrorText(int error) { return std::strerror(error); }

bool LookThroughPath(const char* path, FileFacts* facts) {
  struct stat info;
  if (stat(path, &info) != 0) return false;
  facts->kind = KindOf(info.st_mode);
  facts->size = static_cast<uint64_t>(info.st_size);
  facts->identity.volume = static_cast<uint64_t>(info.st_dev);
  facts->identity.index = static_cast<uint64_t>(info.st_ino);
  return true;
}

namespace {

#ifdef __linux__
// Puts every extended attribute of the open file original on copy, as
// CopyExtendedAttributes does from a path.
bool CopyExtendedAttributesOf(int original, int copy) {
  if (fremovexattr(copy, kAccessList) != 0 && errno != ENODATA && errno != ENOTSUP) return false;
  ssize_t size = flistxattr(original, nullptr, 0);
  if (size <= 0) return size == 0 || errno == ENOTSUP;
  std::vector<char> names(static_cast<size_t>(size));
  size = flistxattr(original, names.data(), names.size());
  if (size < 0) return false;
  std::vector<char> value;
  for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(&names[at])) + 1) {
    const char* name = &names[at];
    ssize_t length = fgetxattr(original, name, nullptr, 0);
    value.resize(length < 0 ? 0 : static_cast<size_t>(length));
    if (length < 0 || (length = fgetxattr(original, name, value.data(), value.size())) < 0 ||
        fsetxattr(copy, name, value.data(), static_cast<size_t>(length), 0) != 0) {
      return false;
    }
  }
  return true;
}
#else
bool CopyExtendedAttributesOf(int, int) { return true; }
#endif

// Whether name is pattern (its last six characters "XXXXXX") with letters or digits
// in place of the X's, as mkostemp fills them.
bool MatchesUniquePattern(const char* name, const char* pattern, size_t patternLength) {
  constexpr size_t kBlankLength = 6;
  if (std::strlen(name) != patternLength || patternLength < kBlankLength) return false;
  size_t fixed = patternLength - kBlankLength;
  if (std::memcmp(name, pattern, fixed) != 0) return false;
  for (size_t i = fixed; i < patternLength; ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  }
  return true;
}

}  // namespace

bool CopyOwnerAndAttributesOf(FileHandle original, FileHandle copy) {
  int from = static_cast<int>(original), to = static_cast<int>(copy);
  struct stat info;
  if (fstat(from, &info) != 0) return false;
  // The owner first, as in CopyOwnerAndAttributes.
  return fchown(to, info.st_uid, info.st_gid) == 0 && CopyExtendedAttributesOf(from, to) &&
         fchmod(to, info.st_mode & 07777) == 0;
}

void RemoveLeftoverFiles(const char* pattern) {
  int savedError = errno;
  const char* slash = std::strrchr(pattern, '/');
  std::string folder = !slash ? "." : slash == pattern ? "/" : std::string(pattern, slash);
  const char* name = slash ? slash + 1 : pattern;
  size_t nameLength = std::strlen(name);
  int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* listing = dir < 0 ? nullptr : fdopendir(dir);
  if (!listing && dir >= 0) close(dir);
  // A folder this user may not read has no leftovers that can be found.
  for (struct dirent* entry; listing && (entry = readdir(listing)) != nullptr;) {
    if (!MatchesUniquePattern(entry->d_name, name, nameLength)) continue;
    struct stat info;
    if (fstatat(dir, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
        info.st_uid == geteuid() && info.st_nlink == 1) {
      unlinkat(dir, entry->d_name, 0);  // removes the name itself, never a link's target
    }
  }
  if (listing) closedir(listing);
  errno = savedError;
}

FileHandle StandardInputHandle() { return STDIN_FILENO; }

void GiveNewFilePermissions(FileHandle file) {
  mode_t mask = umask(0);
  umask(mask);
  fchmod(static_cast<int>(file), 0666 & ~mask);
}

const int kNameTooLongError = ENAMETOOLONG;
const int kWriteFaultError = EIO;
