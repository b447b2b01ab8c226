#include "new_metrics_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// The longest file name in bytes: NAME_MAX on Linux and most POSIX systems. Windows
// allows 255 UTF-16 units, which never take fewer bytes in the ANSI code page.
constexpr size_t kMaxNameLength = 255;

// The temporary sibling of "name" is ".name.XXXXXX", hidden from a plain listing;
// CreateUniqueFile turns the X's into unpredictable characters.
constexpr char kTemporaryEnd[] = ".XXXXXX";
constexpr size_t kTemporaryExtra = 1 + (sizeof kTemporaryEnd - 1);  // the leading "." and the end

#ifdef _WIN32
constexpr char kFolderSeparators[] = "/\\:";
#else
constexpr char kFolderSeparators[] = "/";
#endif

// The length of path's folder part, its last separator included.
size_t FolderPartLength(const char* path) {
  size_t length = std::strlen(path);
  while (length > 0 && !std::strchr(kFolderSeparators, path[length - 1])) --length;
  return length;
}

// Writes the image at the file position in one call. A short write has no error of
// its own: the last error is cleared, so that the count in the document tells.
bool WriteImage(MetricsDocument& doc) {
  if (!WriteFileBytes(doc.file, doc.image, doc.fileSize, &doc.bytesTransferred)) return false;
  if (doc.bytesTransferred == doc.fileSize) return true;
  SetLastFileError(0);
  return false;
}

// Closes the document's file; true when ok and the close succeeded. After a
// failure (ok false) the failing call's error stays the last one.
bool CloseAfter(MetricsDocument& doc, bool ok) {
  int error = LastFileError();
  bool closed = CloseFileHandle(doc.file);
  doc.file = kNoFile;
  if (!ok) SetLastFileError(error);
  return ok && closed;
}

// Flushes and closes the file just written at path, which this run created;
// removes it again when that or the write failed.
CreateStatus FinishNewFile(MetricsDocument& doc, const char* path, bool written) {
  if (CloseAfter(doc, written && FlushFileToDisk(doc.file))) return CreateStatus::Created;
  RemoveFileQuietly(path);
  return CreateStatus::WriteFailed;
}

CreateStatus OpenFailure(FileOpenStatus status) {
  return status == FileOpenStatus::NotRegularFile ? CreateStatus::NotRegularFile
                                                  : CreateStatus::CannotOpen;
}

// The path of the file itself that path names, links resolved, in resolved.
FileOpenStatus ResolveFile(const char* path, char* resolved, size_t size) {
  FileHandle file = kNoFile;
  FileFacts facts;
  FileOpenStatus opened = OpenFileForReading(path, &file, &facts);
  if (opened != FileOpenStatus::Opened) return opened;
  bool found = ResolveOpenedPath(path, file, resolved, size);
  CloseFileQuietly(file);
  return found ? FileOpenStatus::Opened : FileOpenStatus::CannotOpen;
}

// Writes the image over the file that path names, in place, the way a save writes:
// through a symbolic link into its target, into the one file that all its hard
// links share, keeping its owner, permissions and attributes. The file is opened by
// its resolved path, never created, never through a link put in its place, then
// locked, written, cut to the file size and flushed.
CreateStatus WriteInPlace(MetricsDocument& doc, const char* path) {
  char resolved[kPathBufferSize];
  FileOpenStatus opened = ResolveFile(path, resolved, sizeof resolved);
  FileFacts facts;
  if (opened == FileOpenStatus::Opened) opened = OpenFileForUpdate(resolved, &doc.file, &facts);
  if (opened != FileOpenStatus::Opened) return OpenFailure(opened);
  if (!LockFileExclusive(doc.file)) {
    CloseAfter(doc, false);
    return CreateStatus::Locked;
  }
  bool ok = SeekFileStart(doc.file) && WriteImage(doc) && TruncateFile(doc.file, doc.fileSize) &&
            FlushFileToDisk(doc.file);
  return CloseAfter(doc, ok) ? CreateStatus::Created : CreateStatus::InPlaceWriteFailed;
}

// Replaces the file at path, which has this one name, by a temporary sibling that
// takes its owner and attributes and is moved over it.
CreateStatus ReplaceWholeFile(MetricsDocument& doc, const char* path) {
  char temporary[kPathBufferSize + kTemporaryExtra];
  // No sibling's name fits beside an overlong path: the file itself is written.
  if (!TemporarySiblingName(path, temporary, sizeof temporary)) return WriteInPlace(doc, path);
  if (CreateUniqueFile(temporary, &doc.file) != FileOpenStatus::Opened)
    return CreateStatus::CannotOpen;
  // Written before the owner and attributes are copied: a write clears file
  // capabilities.
  bool written = WriteImage(doc);
  if (written && !CopyOwnerAndAttributes(path, doc.file)) {
    // This user cannot give the sibling the file's owner or attributes (another
    // user's file in a folder anyone may write): the file itself keeps them.
    CloseAfter(doc, false);
    RemoveFileQuietly(temporary);
    return WriteInPlace(doc, path);
  }
  CreateStatus status = FinishNewFile(doc, temporary, written);
  if (status != CreateStatus::Created) return status;
  if (!MoveFileOver(temporary, path)) {
    RemoveFileQuietly(temporary);
    return CreateStatus::CannotReplace;
  }
  return FlushParentFolder(path) ? CreateStatus::Created : CreateStatus::NotDurable;
}

CreateStatus CreateNewFile(MetricsDocument& doc, const char* path) {
  if (CreateFileForWriting(path, &doc.file) != FileOpenStatus::Opened)
    return CreateStatus::CannotOpen;
  CreateStatus status = FinishNewFile(doc, path, WriteImage(doc));
  if (status != CreateStatus::Created) return status;
  return FlushParentFolder(path) ? CreateStatus::Created : CreateStatus::NotDurable;
}

}  // namespace

bool TemporarySiblingName(const char* path, char* name, size_t size) {
  size_t folder = FolderPartLength(path);
  if (folder + kTemporaryExtra >= size) return false;
  size_t cut = std::min({std::strlen(path + folder), kMaxNameLength - kTemporaryExtra,
                         size - 1 - folder - kTemporaryExtra});
  std::snprintf(name, size, "%.*s.%.*s%s", static_cast<int>(folder), path, static_cast<int>(cut),
                path + folder, kTemporaryEnd);
  return true;
}

bool StartEmptyMetricsDocument(MetricsDocument& doc) {
  ReleaseMetricsFile(doc);
  doc.image = static_cast<uint8_t*>(AllocateZeroed(kMetricsImageSize));
  if (!doc.image) return false;
  doc.fileSize = kMetricsFileSize;
  return true;
}

CreateStatus CreateMetricsFile(MetricsDocument& doc, const char* path, bool replaceExisting) {
  if (!IsDocumentLoaded(doc)) return CreateStatus::NoDocument;
  switch (GetPathKind(path)) {
    case PathKind::Missing:
      return CreateNewFile(doc, path);
    case PathKind::Other:
      return CreateStatus::NotRegularFile;
    case PathKind::RegularFile:
      return replaceExisting ? ReplaceWholeFile(doc, path) : CreateStatus::AlreadyExists;
    case PathKind::LinkedFile:
      return replaceExisting ? WriteInPlace(doc, path) : CreateStatus::AlreadyExists;
  }
  return CreateStatus::CannotOpen;
}
