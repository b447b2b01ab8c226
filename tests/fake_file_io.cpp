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

FileOpenStatus OpenFileForWriting(const char* path, FileHandle* file) {
  FakeFiles().files[path];  // created when missing, contents kept
  *file = OpenHandle(path);
  return FileOpenStatus::Opened;
}

PathKind GetPathKind(const char* path) {
  return FakeFiles().files.count(path) ? PathKind::RegularFile : PathKind::Missing;
}

FileOpenStatus CreateFileForWriting(const char* path, FileHandle* file) {
  if (FakeFiles().files.count(path)) return FileOpenStatus::CannotOpen;
  FakeFiles().files[path];
  *file = OpenHandle(path);
  return FileOpenStatus::Opened;
}

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
const char* FileErrorText(int) { return "fake failure"; }
