#include "backup_file.h"

#include "file_io.h"
#include "new_metrics_file.h"

namespace {

// A file of any size is copied through a buffer of this many bytes.
constexpr uint32_t kCopyChunkSize = 16 * 1024;

// Where the copy's contents come from: the rest of an open file, or bytes.
struct CopySource {
  FileHandle file = kNoFile;
  const uint8_t* bytes = nullptr;
  uint32_t size = 0;
};

// Writes count bytes in as many calls as the system takes. A call that writes
// nothing without an error clears the last error, so that the caller can tell.
bool WriteAll(FileHandle file, const uint8_t* bytes, uint32_t count) {
  while (count > 0) {
    uint32_t written = 0;
    if (!WriteFileBytes(file, bytes, count, &written)) return false;
    if (written == 0) {
      SetLastFileError(0);
      return false;
    }
    bytes += written;
    count -= written;
  }
  return true;
}

// Copies from the file position of from to its end into to, a chunk at a time.
bool CopyToEnd(FileHandle from, FileHandle to) {
  uint8_t chunk[kCopyChunkSize];
  for (;;) {
    uint32_t read = 0;
    if (!ReadFileBytes(from, chunk, kCopyChunkSize, &read)) return false;
    if (read == 0) return true;
    if (!WriteAll(to, chunk, read)) return false;
  }
}

bool WriteSource(const CopySource& source, FileHandle copy) {
  if (source.file != kNoFile) return CopyToEnd(source.file, copy);
  return WriteAll(copy, source.bytes, source.size);
}

// Creates the temporary sibling named by the pattern temporary, fills it from
// source, flushes it and moves it over backupPath; removes it again when any step
// fails.
bool FillAndMoveOver(FileHandle original, const CopySource& source, char* temporary,
                     const char* backupPath) {
  FileHandle copy = kNoFile;
  if (CreateUniqueFile(temporary, &copy) != FileOpenStatus::Opened) return false;
  bool written = WriteSource(source, copy);
  // After the write, which would clear file capabilities. The owner and mode are
  // kept where this user may give them; otherwise the copy stays its owner's only,
  // which is no reason to refuse the backup.
  if (written) CopyOwnerAndAttributesOf(original, copy);
  written = written && FlushFileToDisk(copy);
  int error = LastFileError();
  bool closed = CloseFileHandle(copy);
  if (!written) SetLastFileError(error);
  // The move replaces the name backupPath, whatever it names (a link is not
  // followed), and fails on a directory.
  if (!written || !closed || !MoveFileOver(temporary, backupPath)) {
    RemoveFileQuietly(temporary);
    return false;
  }
  return FlushParentFolder(backupPath);
}

// Writes the backup through a new temporary sibling of backupPath. Runs under the
// lock of original, the file backed up, so that the siblings that killed runs left
// can go first; Ctrl+C, SIGTERM and SIGHUP wait until the new one is moved or
// removed, so that they leave none.
bool WriteBackup(FileHandle original, const CopySource& source, const char* backupPath) {
  char temporary[kPathBufferSize];
  if (!TemporarySiblingName(backupPath, temporary, sizeof temporary)) {
    SetLastFileError(kNameTooLongError);
    return false;
  }
  RemoveLeftoverFiles(temporary);
  HoldInterruptions();
  bool done = FillAndMoveOver(original, source, temporary, backupPath);
  ReleaseInterruptions();
  return done;
}

}  // namespace

bool BackUpFile(const char* path, const char* backupPath) {
  CopySource source;
  FileFacts facts;
  if (OpenFileForReading(path, &source.file, &facts) != FileOpenStatus::Opened) return false;
  bool done = LockFileExclusive(source.file) && WriteBackup(source.file, source, backupPath);
  CloseFileQuietly(source.file);
  return done;
}

bool BackUpFileBytes(FileHandle original, const uint8_t* bytes, uint32_t size,
                     const char* backupPath) {
  CopySource source;
  source.bytes = bytes;
  source.size = size;
  return WriteBackup(original, source, backupPath);
}
