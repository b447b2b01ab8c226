#include "fake_file_io.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "file_io.h"

namespace {

// Open files are indexes into this table; a handle names the path it was opened on.
std::map<FileHandle, std::string> g_open;
FileHandle g_nextHandle = 100;

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
  auto found = FakeFiles().files.find(path);
  if (found == FakeFiles().files.end()) return FileOpenStatus::CannotOpen;
  facts->kind = FileKind::RegularFile;
  facts->size = found->second.size();
  *file = OpenHandle(path);
  return FileOpenStatus::Opened;
}

FileOpenStatus OpenFileForUpdate(const char* path, FileHandle* file, FileFacts* facts) {
  return OpenFileForReading(path, file, facts);
}

bool LookAtPath(const char* path, FileFacts* facts) {
  auto found = FakeFiles().files.find(path);
  if (found == FakeFiles().files.end()) return false;
  facts->kind = FileKind::RegularFile;
  facts->size = found->second.size();
  return true;
}

bool ResolveOpenedPath(const char* path, FileHandle, char* resolved, size_t size) {
  if (std::strlen(path) >= size) return false;
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
bool FlushFileToDisk(FileHandle) { return !FakeFiles().failFlush; }

bool GetOpenFileFacts(FileHandle file, FileFacts* facts) { return LookAtPath(g_open.at(file).c_str(), facts); }

PathKind GetPathKind(const char* path) {
  if (!FakeFiles().files.count(path)) return PathKind::Missing;
  return FakeFiles().linked.count(path) ? PathKind::LinkedFile : PathKind::RegularFile;
}

FileOpenStatus CreateFileForWriting(const char* path, FileHandle* file) {
  if (FakeFiles().files.count(path)) return FileOpenStatus::CannotOpen;
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

bool CopyOwnerAndAttributes(const char*, FileHandle) { return !FakeFiles().failOwnership; }

bool FlushParentFolder(const char*) { return !FakeFiles().failFolderFlush; }

bool MoveFileOver(const char* from, const char* to) {
  if (FakeFiles().failMove) return false;
  FakeFiles().files[to] = FakeFiles().files.at(from);
  FakeFiles().files.erase(from);
  return true;
}

bool RemoveFileQuietly(const char* path) { return FakeFiles().files.erase(path) != 0; }

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
  if (FakeFiles().failWrite) return false;
  Bytes& bytes = FakeFiles().files[g_open.at(file)];
  uint32_t n = std::min(count, FakeFiles().writeLimit);
  if (bytes.size() < n) bytes.resize(n);
  std::memcpy(bytes.data(), buffer, n);
  *transferred = n;
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

// The fake's failures carry one error number of their own.
constexpr int kFakeError = 9999;
int LastFileError() { return kFakeError; }
void SetLastFileError(int) {}
const char* FileErrorText(int) { return "fake failure"; }
