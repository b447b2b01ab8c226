#include "metrics_document.h"

namespace {

void CloseDocumentFile(MetricsDocument& doc) {
  if (doc.file != kNoFile) CloseFileHandle(doc.file);
  doc.file = kNoFile;
}

// Reads the whole file into a fresh zero-filled image; the handle is closed after.
LoadStatus ReadImage(MetricsDocument& doc) {
  doc.image = static_cast<uint8_t*>(AllocateZeroed(kMetricsImageSize));
  if (!doc.image) {
    CloseDocumentFile(doc);
    return LoadStatus::OutOfMemory;
  }
  bool ok = ReadFileBytes(doc.file, doc.image, doc.fileSize, &doc.bytesTransferred);
  CloseDocumentFile(doc);
  // A partial image would be written over the whole file by the next change.
  if (!ok || doc.bytesTransferred != doc.fileSize) {
    ReleaseMetricsFile(doc);
    return LoadStatus::ReadFailed;
  }
  return LoadStatus::Loaded;
}

}  // namespace

bool IsDocumentLoaded(const MetricsDocument& doc) {
  return doc.image != nullptr && doc.fileSize != 0;
}

LoadStatus LoadMetricsFile(MetricsDocument& doc, const char* path, char* caption) {
  // 1. The previous document is gone from here on, whatever happens next.
  ReleaseMetricsFile(doc);
  if (path[0] == 0) return LoadStatus::NoPath;

  // 2. Open, then check the size: the only validation the format has.
  uint64_t size = 0;
  FileOpenStatus opened = OpenFileForReading(path, &doc.file, &size);
  if (opened == FileOpenStatus::CannotOpen) return LoadStatus::CannotOpen;
  if (opened == FileOpenStatus::NotRegularFile) return LoadStatus::NotRegularFile;
  if (size != kMetricsFileSize) {
    CloseDocumentFile(doc);
    return LoadStatus::WrongSize;
  }

  // 3. Read it whole, then name the window after it.
  doc.fileSize = kMetricsFileSize;
  LoadStatus status = ReadImage(doc);
  if (status == LoadStatus::Loaded) ComposeCaption(path, caption);
  return status;
}

SaveStatus SaveMetricsFile(MetricsDocument& doc, const char* path) {
  if (!IsDocumentLoaded(doc)) return SaveStatus::NoDocument;
  if (OpenFileForWriting(path, &doc.file) != FileOpenStatus::Opened) {
    return SaveStatus::CannotOpen;
  }
  bool written = WriteFileBytes(doc.file, doc.image, doc.fileSize, &doc.bytesTransferred);
  // A close can report a write the system had deferred (NFS, a full disk).
  bool closed = CloseFileHandle(doc.file);
  doc.file = kNoFile;
  if (!written || !closed || doc.bytesTransferred != doc.fileSize) return SaveStatus::WriteFailed;
  return SaveStatus::Saved;
}

void ReleaseMetricsFile(MetricsDocument& doc) {
  FreeAllocated(doc.image);
  doc.image = nullptr;
  CloseDocumentFile(doc);
}
