#include "fake_file_io.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "file_io.h"

namespace {

// Open files are indexes into this table; a handle names the path it was opened on.
std::map<FileHandle, std::string> g_open;
FileHandle g_nextHandle = 100;

// Takes one step of a change to the disk; false once the program has stopped.
bool Step() {
  FakeFileSystem& fake = FakeFiles();
  if (fake.stopped) return false;
  if (fake.stepsBeforeStop == 0) {
    fake.stopped = true;
    return false;
  }
  if (fake.stepsBeforeStop > 0) --fake.stepsBeforeStop;
  return true;
}

uint64_t InodeOf(const std::string& path) {
  static uint64_t next = 1;
  uint64_t& inode = FakeFiles().inodes[path];
  if (inode == 0) inode = next++;
  return inode;
}

void FillFacts(const std::string& path, FileFacts* facts) {
  facts->kind = FileKind::RegularFile;
  facts->size = FakeFiles().files[path].size();
  facts->identity = {1, InodeOf(path)};
  facts->links = FakeFiles().linked.count(path) ? 2 : 1;
}

FileHandle OpenHandle(const char* path) {
  FakeFiles().openHandles++;
  g_open[g_nextHandle] = path;
  return g_nextHandle++;
}

}  // namespace

FakeFileSystem& FakeFiles() {
  static FakeFileSystem fake;
  return fake;
}

FileOpenStatus OpenFileForReading(const char* path, FileHandle* file, FileFacts* facts) {
  *facts = FileFacts{};
  if (FakeFiles().stopped || !FakeFiles().files.count(path)) return FileOpenStatus::CannotOpen;
  FillFacts(path, facts);
  *file = OpenHandle(path);
  return FileOpenStatus::Opened;
}

FileOpenStatus OpenFileForUpdate(const char* path, FileHandle* file, FileFacts* facts) {
  return OpenFileForReading(path, file, facts);
}

bool LookAtPath(const char* path, FileFacts* facts) {
  if (!FakeFiles().files.count(path)) return false;
  FillFacts(path, facts);
  return true;
}

bool ResolveOpenedPath(const char* path, FileHandle, char* resolved, size_t size) {
  if (std::strlen(path) >= size) return false;
  if (FakeFiles().replacesBeforeResolve > 0) {
    --FakeFiles().replacesBeforeResolve;
    return false;
  }
  std::strcpy(resolved, path);
  return true;
}

bool LockFileExclusive(FileHandle) { return !FakeFiles().failLock; }
bool SeekFileStart(FileHandle) { return true; }  // every fake read and write starts there

bool TruncateFile(FileHandle file, uint64_t size) {
  FakeFiles().files[g_open.at(file)].resize(size);
  return true;
}

bool MayWriteFileOfSize(uint64_t) { return true; }
bool FlushFileToDisk(FileHandle) { return !FakeFiles().failFlush && Step(); }

bool GetOpenFileFacts(FileHandle file, FileFacts* facts) { return LookAtPath(g_open.at(file).c_str(), facts); }

PathKind GetPathKind(const char* path) {
  if (!FakeFiles().files.count(path)) return PathKind::Missing;
  return FakeFiles().linked.count(path) ? PathKind::LinkedFile : PathKind::RegularFile;
}

FileOpenStatus CreateFileForWriting(const char* path, FileHandle* file) {
  if (FakeFiles().noRoom) {
    FakeFiles().lastError = kFakeNoRoomError;
    return FileOpenStatus::CannotOpen;
  }
  if (FakeFiles().files.count(path) || !Step()) return FileOpenStatus::CannotOpen;
  FakeFiles().inodes.erase(path);
  FakeFiles().files[path];
  *file = OpenHandle(path);
  return FileOpenStatus::Opened;
}

FileOpenStatus CreateUniqueFile(char* name, FileHandle* file) {
  static int counter = 0;
  std::string digits = std::to_string(1000000 + counter++ % 1000000);  // "1" and six digits
  std::memcpy(name + std::strlen(name) - 6, digits.c_str() + 1, 6);
  return CreateFileForWriting(name, file);
}

bool CopyOwnerAndAttributes(const char*, FileHandle) {
  return !FakeFiles().failOwnership && Step();
}

bool FlushParentFolder(const char*) { return !FakeFiles().failFolderFlush && Step(); }

bool MoveFileOver(const char* from, const char* to) {
  if (FakeFiles().failMove || !Step()) return false;
  FakeFiles().files[to] = FakeFiles().files.at(from);
  FakeFiles().inodes[to] = InodeOf(from);
  FakeFiles().files.erase(from);
  FakeFiles().inodes.erase(from);
  return true;
}

bool RemoveFileQuietly(const char* path) {
  if (!Step()) return false;
  FakeFiles().inodes.erase(path);
  return FakeFiles().files.erase(path) != 0;
}

bool RemoveOwnLeftover(const char* path) { return RemoveFileQuietly(path); }

bool IsNoRoomError(int error) { return error == kFakeNoRoomError; }

void HoldInterruptions() {}
void ReleaseInterruptions() {}

bool ReadFileBytes(FileHandle file, void* buffer, uint32_t count, uint32_t* transferred) {
  *transferred = 0;
  if (FakeFiles().failRead) return false;
  const Bytes& bytes = FakeFiles().files[g_open.at(file)];
  uint32_t n = std::min({count, FakeFiles().readLimit, static_cast<uint32_t>(bytes.size())});
  std::memcpy(buffer, bytes.data(), n);
  *transferred = n;
  return true;
}

bool WriteFileBytes(FileHandle file, const void* buffer, uint32_t count, uint32_t* transferred) {
  *transferred = 0;
  if (FakeFiles().failWrite || FakeFiles().stopped) return false;
  Bytes& bytes = FakeFiles().files[g_open.at(file)];
  uint32_t n = std::min(count, FakeFiles().writeLimit);
  if (bytes.size() < n) bytes.resize(n);
  // Byte by byte, so that a stop can fall between any two of them.
  const auto* from = static_cast<const uint8_t*>(buffer);
  for (uint32_t i = 0; i < n; ++i) {
    if (!Step()) return false;
    bytes[i] = from[i];
    ++*transferred;
  }
  return true;
}

bool CloseFileHandle(FileHandle file) {
  g_open.erase(file);
  FakeFiles().openHandles--;
  return !FakeFiles().failClose;
}

void* AllocateZeroed(size_t size) {
  return FakeFiles().failAllocation ? nullptr : std::calloc(1, size);
}

void FreeAllocated(void* block) { std::free(block); }

int LastFileError() { return FakeFiles().lastError; }
void SetLastFileError(int error) { FakeFiles().lastError = error ? error : FakeFileSystem().lastError; }
const char* FileErrorText(int) { return "fake failure"; }
