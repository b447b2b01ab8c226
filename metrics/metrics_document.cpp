#include "metrics_document.h"

#include <algorithm>
#include <cstring>

namespace {

// Every close here is a clean-up: the error that led to it stays the last one.
void CloseDocumentFile(MetricsDocument& doc) {
  if (doc.file != kNoFile) CloseFileQuietly(doc.file);
  doc.file = kNoFile;
  doc.held = false;
}

// Reads the whole file into a fresh zero-filled image; the handle is closed
// after unless the document holds it. A failed read's system error is taken
// before the close can change it.
LoadStatus ReadImage(MetricsDocument& doc, int* systemError) {
  doc.image = static_cast<uint8_t*>(AllocateZeroed(kMetricsImageSize));
  if (!doc.image) {
    CloseDocumentFile(doc);
    return LoadStatus::OutOfMemory;
  }
  bool ok = ReadFileBytes(doc.file, doc.image, doc.fileSize, &doc.bytesTransferred);
  if (!ok) *systemError = LastFileError();
  if (!doc.held) CloseDocumentFile(doc);
  // A partial image would be written over the whole file by the next change.
  if (!ok || doc.bytesTransferred != doc.fileSize) {
    ReleaseMetricsFile(doc);
    return LoadStatus::ReadFailed;
  }
  return LoadStatus::Loaded;
}

LoadStatus OpenFailure(FileOpenStatus status) {
  return status == FileOpenStatus::NotRegularFile ? LoadStatus::NotRegularFile
                                                  : LoadStatus::CannotOpen;
}

// Swaps the read-only handle for one that can write, on the resolved file, and
// locks it. The facts are taken again under the lock: the file may have changed
// while another holder had it.
LoadStatus HoldFile(MetricsDocument& doc, FileFacts* facts) {
  CloseDocumentFile(doc);
  FileOpenStatus opened = OpenFileForUpdate(doc.filePath, &doc.file, facts);
  if (opened == FileOpenStatus::CannotOpen) return LoadStatus::CannotWrite;
  if (opened != FileOpenStatus::Opened) return OpenFailure(opened);
  doc.held = true;
  if (!LockFileExclusive(doc.file) || !GetOpenFileFacts(doc.file, facts)) {
    CloseDocumentFile(doc);
    return LoadStatus::Locked;
  }
  return LoadStatus::Loaded;
}

// Opens the path as given, then settles on the file itself: its resolved path
// and, for Hold, a locked handle that can write. Loaded here means open.
LoadStatus OpenForLoad(MetricsDocument& doc, const char* path, LoadMode mode, FileFacts* facts) {
  FileOpenStatus opened = OpenFileForReading(path, &doc.file, facts);
  if (opened != FileOpenStatus::Opened) return OpenFailure(opened);
  if (!ResolveOpenedPath(path, doc.file, doc.filePath, sizeof doc.filePath)) {
    CloseDocumentFile(doc);
    return LoadStatus::CannotOpen;
  }
  return mode == LoadMode::Hold ? HoldFile(doc, facts) : LoadStatus::Loaded;
}

}  // namespace

bool IsDocumentLoaded(const MetricsDocument& doc) {
  return doc.image != nullptr && doc.fileSize != 0;
}

LoadResult LoadMetricsFile(MetricsDocument& doc, const char* path, LoadMode mode) {
  // 1. The previous document is gone from here on, whatever happens next.
  ReleaseMetricsFile(doc);
  LoadResult result;
  if (path[0] == 0) return result;

  // 2. Open, then check the size: the only validation the format has.
  FileFacts facts;
  LoadStatus opened = OpenForLoad(doc, path, mode, &facts);
  result.kind = facts.kind;
  result.size = facts.size;
  if (opened != LoadStatus::Loaded) {
    result.systemError = LastFileError();
    result.status = opened;
    return result;
  }
  if (facts.size != kMetricsFileSize) {
    CloseDocumentFile(doc);
    result.status = LoadStatus::WrongSize;
    return result;
  }

  // 3. Read it whole.
  doc.fileSize = kMetricsFileSize;
  doc.identity = facts.identity;
  doc.diskSize = facts.size;
  result.status = ReadImage(doc, &result.systemError);
  return result;
}

namespace {

// Fills result with a failure and the system's error of the call that just
// failed.
bool Fail(SaveResult* result, SaveStatus status) {
  result->systemError = LastFileError();
  result->status = status;
  return false;
}

// The handle a save writes through, with the file's facts; false with the
// reason in result. A held file is written through its own handle once the path
// is seen to still name it; otherwise the resolved path is opened and locked.
bool OpenForSave(MetricsDocument& doc, FileFacts* facts, SaveResult* result) {
  if (doc.held) {
    if (!LookAtPath(doc.filePath, facts)) return Fail(result, SaveStatus::CannotOpen);
    result->kind = facts->kind;
    if (facts->kind != FileKind::RegularFile) return Fail(result, SaveStatus::NotRegularFile);
    // Another file in its place: the held one is no longer what the path names.
    if (facts->identity != doc.identity) return Fail(result, SaveStatus::ChangedOutside);
    return true;
  }
  FileOpenStatus opened = OpenFileForUpdate(doc.filePath, &doc.file, facts);
  if (opened == FileOpenStatus::CannotOpen) {
    // A directory cannot be opened for writing at all: say what is there.
    int error = LastFileError();
    FileFacts there;
    if (LookAtPath(doc.filePath, &there) && there.kind != FileKind::RegularFile) {
      opened = FileOpenStatus::NotRegularFile;
      *facts = there;
    }
    SetLastFileError(error);
  }
  result->kind = facts->kind;
  if (opened == FileOpenStatus::NotRegularFile) return Fail(result, SaveStatus::NotRegularFile);
  if (opened != FileOpenStatus::Opened) return Fail(result, SaveStatus::CannotOpen);
  if (!LockFileExclusive(doc.file)) {
    Fail(result, SaveStatus::Locked);
    CloseDocumentFile(doc);
    return false;
  }
  return true;
}

// Whether the file differs from what the document last loaded or wrote: another
// file, another size, or other bytes. A file that cannot be read back counts as
// changed, since nobody can tell.
bool ChangedSinceLoad(MetricsDocument& doc, const FileFacts& facts) {
  if (facts.identity != doc.identity || facts.size != doc.diskSize) return true;
  if (doc.partlyWritten) return false;
  uint8_t current[kMetricsFileSize];
  uint32_t read = 0;
  if (!SeekFileStart(doc.file) || !ReadFileBytes(doc.file, current, doc.fileSize, &read))
    return true;
  return read != doc.fileSize || std::memcmp(current, doc.image, doc.fileSize) != 0;
}

// Writes image from the start of the open file and flushes it to disk.
bool WriteAndFlush(MetricsDocument& doc, const uint8_t* image, SaveResult* result) {
  if (!MayWriteFileOfSize(doc.fileSize) || !SeekFileStart(doc.file)) {
    return Fail(result, SaveStatus::WriteFailed);
  }
  bool written = WriteFileBytes(doc.file, image, doc.fileSize, &doc.bytesTransferred);
  result->written = doc.bytesTransferred;
  doc.partlyWritten = true;  // until the write is whole and flushed
  if (!written) return Fail(result, SaveStatus::WriteFailed);
  if (doc.bytesTransferred != doc.fileSize) {
    result->status = SaveStatus::WriteFailed;  // short: no system error to report
    return false;
  }
  if (!FlushFileToDisk(doc.file)) return Fail(result, SaveStatus::WriteFailed);
  return true;
}

SaveResult WriteImage(MetricsDocument& doc, const uint8_t* image, SaveCheck check) {
  SaveResult result;
  if (!IsDocumentLoaded(doc)) return result;
  FileFacts facts;
  if (!OpenForSave(doc, &facts, &result)) return result;
  bool ok = true;
  if (check == SaveCheck::RefuseOutsideChange && ChangedSinceLoad(doc, facts)) {
    result.status = SaveStatus::ChangedOutside;
    ok = false;
  } else {
    ok = WriteAndFlush(doc, image, &result);
  }
  // A close can report a write the system had deferred (NFS, a full disk).
  if (!doc.held) {
    bool closed = CloseFileHandle(doc.file);
    doc.file = kNoFile;
    if (ok && !closed) ok = Fail(&result, SaveStatus::WriteFailed);
  }
  if (ok) {
    result.status = SaveStatus::Saved;
    doc.identity = facts.identity;
    doc.diskSize = std::max<uint64_t>(facts.size, doc.fileSize);  // writes never truncate
    doc.partlyWritten = false;
  }
  return result;
}

}  // namespace

SaveResult SaveEditedImage(MetricsDocument& doc, const uint8_t* edited, SaveCheck check) {
  SaveResult result = WriteImage(doc, edited, check);
  if (result.status == SaveStatus::Saved && edited != doc.image) {
    std::memcpy(doc.image, edited, kMetricsImageSize);
  }
  return result;
}

SaveResult SaveMetricsFile(MetricsDocument& doc, SaveCheck check) {
  return SaveEditedImage(doc, doc.image, check);
}

void ReleaseMetricsFile(MetricsDocument& doc) {
  FreeAllocated(doc.image);
  doc.image = nullptr;
  doc.partlyWritten = false;
  CloseDocumentFile(doc);
}
