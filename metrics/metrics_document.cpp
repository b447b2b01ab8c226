#include "metrics_document.h"

#include <cstring>

namespace {

void CloseDocumentFile(MetricsDocument& doc) {
  if (doc.file != kNoFile) CloseFileHandle(doc.file);
  doc.file = kNoFile;
}

// Reads the whole file into a fresh zero-filled image; the handle is closed after.
// A failed read's system error is taken before the close can change it.
LoadStatus ReadImage(MetricsDocument& doc, int* systemError) {
  doc.image = static_cast<uint8_t*>(AllocateZeroed(kMetricsImageSize));
  if (!doc.image) {
    CloseDocumentFile(doc);
    return LoadStatus::OutOfMemory;
  }
  bool ok = ReadFileBytes(doc.file, doc.image, doc.fileSize, &doc.bytesTransferred);
  if (!ok) *systemError = LastFileError();
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

LoadResult LoadMetricsFile(MetricsDocument& doc, const char* path) {
  // 1. The previous document is gone from here on, whatever happens next.
  ReleaseMetricsFile(doc);
  LoadResult result;
  if (path[0] == 0) return result;

  // 2. Open, then check the size: the only validation the format has.
  FileFacts facts;
  FileOpenStatus opened = OpenFileForReading(path, &doc.file, &facts);
  result.kind = facts.kind;
  result.size = facts.size;
  if (opened != FileOpenStatus::Opened) {
    result.systemError = LastFileError();
    result.status = opened == FileOpenStatus::NotRegularFile ? LoadStatus::NotRegularFile
                                                             : LoadStatus::CannotOpen;
    return result;
  }
  if (facts.size != kMetricsFileSize) {
    CloseDocumentFile(doc);
    result.status = LoadStatus::WrongSize;
    return result;
  }

  // 3. Read it whole.
  doc.fileSize = kMetricsFileSize;
  result.status = ReadImage(doc, &result.systemError);
  return result;
}

namespace {

SaveStatus WriteImage(MetricsDocument& doc, const char* path, const uint8_t* image) {
  if (!IsDocumentLoaded(doc)) return SaveStatus::NoDocument;
  if (OpenFileForWriting(path, &doc.file) != FileOpenStatus::Opened) {
    return SaveStatus::CannotOpen;
  }
  bool written = WriteFileBytes(doc.file, image, doc.fileSize, &doc.bytesTransferred);
  // A close can report a write the system had deferred (NFS, a full disk).
  bool closed = CloseFileHandle(doc.file);
  doc.file = kNoFile;
  if (!written || !closed || doc.bytesTransferred != doc.fileSize) return SaveStatus::WriteFailed;
  return SaveStatus::Saved;
}

}  // namespace

SaveStatus SaveMetricsFile(MetricsDocument& doc, const char* path) {
  return WriteImage(doc, path, doc.image);
}

SaveStatus SaveEditedImage(MetricsDocument& doc, const char* path, const uint8_t* edited) {
  SaveStatus status = WriteImage(doc, path, edited);
  if (status == SaveStatus::Saved) std::memcpy(doc.image, edited, kMetricsImageSize);
  return status;
}

void ReleaseMetricsFile(MetricsDocument& doc) {
  FreeAllocated(doc.image);
  doc.image = nullptr;
  CloseDocumentFile(doc);
}
