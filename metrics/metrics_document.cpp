#include "metrics_document.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "new_metrics_file.h"

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

// Whether the path still names the open file: a save by another run may have
// replaced it while this one waited for the lock.
bool PathNamesOpenFile(const MetricsDocument& doc, const FileFacts& facts) {
  FileFacts named;
  return LookAtPath(doc.filePath, &named) && named.identity == facts.identity;
}

// A file replaced while this run waited for its lock is opened again, this many
// times at most, so that runs that replace it in turn queue as they do in place.
constexpr int kReopenTries = 100;

// Swaps the read-only handle for one that can write, on the resolved file, and
// locks it. The facts are taken again under the lock: the file may have changed
// while another holder had it.
LoadStatus HoldFile(MetricsDocument& doc, FileFacts* facts) {
  CloseDocumentFile(doc);
  for (int attempt = 0; attempt < kReopenTries; ++attempt) {
    FileOpenStatus opened = OpenFileForUpdate(doc.filePath, &doc.file, facts);
    if (opened == FileOpenStatus::CannotOpen) return LoadStatus::CannotWrite;
    if (opened != FileOpenStatus::Opened) return OpenFailure(opened);
    doc.held = true;
    if (!LockFileExclusive(doc.file) || !GetOpenFileFacts(doc.file, facts)) {
      CloseDocumentFile(doc);
      return LoadStatus::Locked;
    }
    // Another run's save may have replaced the file while this one waited: the
    // lock counts only on the file the path still names.
    if (PathNamesOpenFile(doc, *facts)) return LoadStatus::Loaded;
    CloseDocumentFile(doc);
  }
  return LoadStatus::Locked;
}

// Opens the path as given, then settles on the file itself: its resolved path
// and, for Hold, a locked handle that can write. Loaded here means open. Another
// run's save may put a new file at the path between the open and the resolve: the
// path is then opened again, as a save does.
LoadStatus OpenForLoad(MetricsDocument& doc, const char* path, LoadMode mode, FileFacts* facts) {
  bool resolved = false;
  for (int attempt = 0; attempt < kReopenTries && !resolved; ++attempt) {
    FileOpenStatus opened = OpenFileForReading(path, &doc.file, facts);
    if (opened != FileOpenStatus::Opened) return OpenFailure(opened);
    resolved = ResolveOpenedPath(path, doc.file, doc.filePath, sizeof doc.filePath);
    if (!resolved) CloseDocumentFile(doc);
  }
  if (!resolved) return LoadStatus::CannotOpen;
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

// Opens and locks the file at the document's resolved path; false with the reason
// in result.
bool OpenAndLock(MetricsDocument& doc, FileFacts* facts, SaveResult* result) {
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
  if (!LockFileExclusive(doc.file) || !GetOpenFileFacts(doc.file, facts)) {
    Fail(result, SaveStatus::Locked);
    CloseDocumentFile(doc);
    return false;
  }
  return true;
}


// The handle a save writes through, locked, with the file's facts taken under the
// lock; false with the reason in result. A held file is written through its own
// handle once the path is seen to still name it; otherwise the resolved path is
// opened and locked, and opened again when a replace came in between.
bool OpenForSave(MetricsDocument& doc, FileFacts* facts, SaveResult* result) {
  if (doc.held) {
    if (!LookAtPath(doc.filePath, facts)) return Fail(result, SaveStatus::CannotOpen);
    result->kind = facts->kind;
    if (facts->kind != FileKind::RegularFile) return Fail(result, SaveStatus::NotRegularFile);
    // Another file in its place: the held one is no longer what the path names.
    if (facts->identity != doc.identity) return Fail(result, SaveStatus::ChangedOutside);
    return true;
  }
  for (int attempt = 0; attempt < kReopenTries; ++attempt) {
    if (!OpenAndLock(doc, facts, result)) return false;
    if (PathNamesOpenFile(doc, *facts)) return true;
    CloseDocumentFile(doc);
  }
  // Replaced again and again: as for a lock held too long.
  return Fail(result, SaveStatus::Locked);
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

// ---- Replacing the file: the new content is written to a sibling, which is then
// renamed over the file, so that a reader sees the old bytes or the new ones.

// A file grown past this (bytes beyond the metrics that the user chose to keep by
// overwriting) is not copied into a sibling: the save is refused.
constexpr uint64_t kMaxReplacedFileSize = 1024 * 1024;

// The sibling's last part, in place of the X's of TemporarySiblingName's pattern:
// ".name.saving". One fixed name: saves of a file run under its lock, one at a
// time, and each removes what a killed or crashed one left there.
constexpr char kSavingEnd[] = "saving";

bool SiblingName(const char* path, char* name, size_t size) {
  if (!TemporarySiblingName(path, name, size)) return false;
  std::memcpy(name + std::strlen(name) - (sizeof kSavingEnd - 1), kSavingEnd,
              sizeof kSavingEnd - 1);
  return true;
}

enum class ReplaceOutcome {
  Replaced,
  InPlace,  // replacing would change what the file is, or cannot be done: write in place
  Failed,   // result says why; the file is as it was
};

// The whole new content: image's metrics, then the bytes the locked file holds
// beyond them. False after a failed read of the file.
bool NewContent(MetricsDocument& doc, const uint8_t* image, uint64_t diskSize,
                std::vector<uint8_t>* content) {
  content->assign(image, image + doc.fileSize);
  if (diskSize <= doc.fileSize) return true;
  std::vector<uint8_t> whole(diskSize);
  uint32_t read = 0;
  if (!SeekFileStart(doc.file) ||
      !ReadFileBytes(doc.file, whole.data(), static_cast<uint32_t>(diskSize), &read) ||
      read != diskSize) {
    return false;
  }
  content->insert(content->end(), whole.begin() + doc.fileSize, whole.end());
  return true;
}

// Fills the new sibling, gives it the file's owner and attributes, and flushes it.
ReplaceOutcome FillSibling(MetricsDocument& doc, const std::vector<uint8_t>& content,
                           FileHandle sibling, SaveResult* result) {
  uint32_t written = 0;
  bool ok = WriteFileBytes(sibling, content.data(), static_cast<uint32_t>(content.size()), &written);
  if (!ok || written != content.size()) {
    if (ok) SetLastFileError(0);  // short: no system error to report
    Fail(result, SaveStatus::WriteFailed);
    return ReplaceOutcome::Failed;
  }
  // After the write, which would clear file capabilities. A user who cannot give the
  // sibling the file's owner or attributes writes the file itself, which keeps them.
  if (!CopyOwnerAndAttributes(doc.filePath, sibling)) return ReplaceOutcome::InPlace;
  if (!FlushFileToDisk(sibling)) {
    Fail(result, SaveStatus::WriteFailed);
    return ReplaceOutcome::Failed;
  }
  return ReplaceOutcome::Replaced;
}

// Replaces the locked file with a sibling holding image and the file's bytes beyond
// it, where that keeps what the file is: one name, an owner and attributes this user
// can give, a folder where a sibling can be made and renamed. *identity receives the
// new file's; *durable is false when its folder could not be flushed (the new file
// is in place, but a power cut might still undo the rename).
ReplaceOutcome ReplaceFile(MetricsDocument& doc, const uint8_t* image, const FileFacts& facts,
                           FileIdentity* identity, bool* durable, SaveResult* result) {
  char sibling[kPathBufferSize];
  if (facts.links != 1 || !SiblingName(doc.filePath, sibling, sizeof sibling)) {
    return ReplaceOutcome::InPlace;
  }
  if (facts.size > kMaxReplacedFileSize) {
    SetLastFileError(0);
    Fail(result, SaveStatus::WriteFailed);
    return ReplaceOutcome::Failed;
  }
  std::vector<uint8_t> content;
  // The file-size limit (ulimit -f) would stop the sibling's write part-way.
  if (!NewContent(doc, image, facts.size, &content) || !MayWriteFileOfSize(content.size())) {
    Fail(result, SaveStatus::WriteFailed);
    return ReplaceOutcome::Failed;
  }
  RemoveOwnLeftover(sibling);
  FileHandle file = kNoFile;
  if (CreateFileForWriting(sibling, &file) != FileOpenStatus::Opened) {
    if (!IsNoRoomError(LastFileError())) return ReplaceOutcome::InPlace;
    Fail(result, SaveStatus::WriteFailed);
    return ReplaceOutcome::Failed;
  }
  ReplaceOutcome outcome = FillSibling(doc, content, file, result);
  FileFacts siblingFacts;
  if (outcome == ReplaceOutcome::Replaced && !GetOpenFileFacts(file, &siblingFacts)) {
    outcome = ReplaceOutcome::InPlace;
  }
  bool closed = CloseFileHandle(file);
  if (outcome == ReplaceOutcome::Replaced && !closed) {
    Fail(result, SaveStatus::WriteFailed);
    outcome = ReplaceOutcome::Failed;
  }
  // The path must still name the locked file, now that the rename would replace
  // whatever it names.
  if (outcome == ReplaceOutcome::Replaced && !PathNamesOpenFile(doc, facts)) {
    result->status = SaveStatus::ChangedOutside;
    outcome = ReplaceOutcome::Failed;
  }
  // A rename refused here (a busy or read-only name, another file system, another
  // user's file in a sticky folder) leaves the file itself to be written.
  if (outcome == ReplaceOutcome::Replaced && !MoveFileOver(sibling, doc.filePath)) {
    outcome = ReplaceOutcome::InPlace;
  }
  if (outcome != ReplaceOutcome::Replaced) {
    RemoveFileQuietly(sibling);
    return outcome;
  }
  *identity = siblingFacts.identity;
  *durable = FlushParentFolder(doc.filePath);
  if (!*durable) Fail(result, SaveStatus::WriteFailed);
  return ReplaceOutcome::Replaced;
}

// Writes image over the locked file: by a replace where possible, else in place.
// The signals that end a program on request wait until the write is done, so that
// only a kill, a crash or a power cut can stop it half-way. *identity receives the
// identity of the file the path names afterwards.
bool WriteWhole(MetricsDocument& doc, const uint8_t* image, const FileFacts& facts,
                FileIdentity* identity, SaveResult* result) {
  HoldInterruptions();
  *identity = facts.identity;
  bool durable = true;
  ReplaceOutcome outcome = ReplaceFile(doc, image, facts, identity, &durable, result);
  bool ok = outcome == ReplaceOutcome::Replaced && durable;
  if (outcome == ReplaceOutcome::Replaced) {
    // The file the document held is no longer the one named: let it go, which
    // releases its lock for the runs waiting on it (they then open the new one).
    doc.partlyWritten = !ok;  // on disk but perhaps not durable: a retry need not ask
    CloseDocumentFile(doc);
  } else if (outcome == ReplaceOutcome::InPlace) {
    ok = WriteAndFlush(doc, image, result);
  }
  ReleaseInterruptions();
  return ok;
}

SaveResult WriteImage(MetricsDocument& doc, const uint8_t* image, SaveCheck check) {
  SaveResult result;
  if (!IsDocumentLoaded(doc)) return result;
  FileFacts facts;
  if (!OpenForSave(doc, &facts, &result)) return result;
  FileIdentity identity = facts.identity;
  bool ok = true;
  if (check == SaveCheck::RefuseOutsideChange && ChangedSinceLoad(doc, facts)) {
    result.status = SaveStatus::ChangedOutside;
    ok = false;
  } else {
    ok = WriteWhole(doc, image, facts, &identity, &result);
    doc.identity = identity;  // replaced (perhaps not durably), or the same file
  }
  // A close can report a write the system had deferred (NFS, a full disk).
  if (!doc.held && doc.file != kNoFile) {
    bool closed = CloseFileHandle(doc.file);
    doc.file = kNoFile;
    if (ok && !closed) ok = Fail(&result, SaveStatus::WriteFailed);
  }
  if (ok) {
    result.status = SaveStatus::Saved;
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
