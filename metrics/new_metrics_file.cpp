#include "new_metrics_file.h"

#include <cstdio>
#include <cstring>

namespace {

// Temporary siblings are tried under these suffixes; one left behind by a crash
// does not block the next attempt.
constexpr int kTemporaryNameTries = 10;
constexpr char kTemporarySuffix[] = ".quorvel-new";

// Writes the image into a file just created at path; removes it again on failure.
CreateStatus WriteCreatedFile(MetricsDocument& doc, const char* path) {
  bool written = WriteFileBytes(doc.file, doc.image, doc.fileSize, &doc.bytesTransferred);
  bool closed = CloseFileHandle(doc.file);
  doc.file = kNoFile;
  if (written && closed && doc.bytesTransferred == doc.fileSize) return CreateStatus::Created;
  RemoveFileQuietly(path);
  return CreateStatus::WriteFailed;
}

// Writes the image to a fresh sibling of path, then moves it over path.
CreateStatus ReplaceFile(MetricsDocument& doc, const char* path) {
  char temporary[kPathBufferSize + sizeof kTemporarySuffix + 1];
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    int length = std::snprintf(temporary, sizeof temporary, "%s%s%d", path, kTemporarySuffix, attempt);
    if (length < 0 || static_cast<size_t>(length) >= sizeof temporary) return CreateStatus::CannotOpen;
    if (CreateFileForWriting(temporary, &doc.file) != FileOpenStatus::Opened) continue;
    CreateStatus status = WriteCreatedFile(doc, temporary);
    if (status != CreateStatus::Created) return status;
    if (MoveFileOver(temporary, path)) return CreateStatus::Created;
    RemoveFileQuietly(temporary);
    return CreateStatus::CannotReplace;
  }
  return CreateStatus::CannotOpen;
}

}  // namespace

bool StartEmptyMetricsDocument(MetricsDocument& doc) {
  ReleaseMetricsFile(doc);
  doc.image = static_cast<uint8_t*>(AllocateZeroed(kMetricsImageSize));
  if (!doc.image) return false;
  doc.fileSize = kMetricsFileSize;
  return true;
}

CreateStatus CreateMetricsFile(MetricsDocument& doc, const char* path, bool replaceExisting) {
  if (!IsDocumentLoaded(doc)) return CreateStatus::NoDocument;
  PathKind kind = GetPathKind(path);
  if (kind == PathKind::Other) return CreateStatus::NotRegularFile;
  if (kind == PathKind::RegularFile) {
    return replaceExisting ? ReplaceFile(doc, path) : CreateStatus::AlreadyExists;
  }
  if (CreateFileForWriting(path, &doc.file) != FileOpenStatus::Opened) return CreateStatus::CannotOpen;
  return WriteCreatedFile(doc, path);
}
