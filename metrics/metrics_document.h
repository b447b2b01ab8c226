// The one loaded metrics file: read whole after a size check, written back
// whole in place of the very file it came from (and only when nobody else changed
// it meanwhile), released on the next load and at exit.
#pragma once

#include <cstdint>

#include "file_io.h"
#include "metrics_format.h"

// The path buffer: on Windows MAX_PATH UTF-16 units, each at most three bytes of
// UTF-8. POSIX paths are routinely longer than 259 bytes, so there it is PATH_MAX.
#ifdef _WIN32
constexpr size_t kPathBufferSize = 260 * 3;
#else
constexpr size_t kPathBufferSize = 4096;
#endif

struct MetricsDocument {
  char path[kPathBufferSize] = {};      // the current file as given; filled by the caller
  char filePath[kPathBufferSize] = {};  // the file loaded, links resolved: saves write only here
  FileIdentity identity;                // of that file when last loaded or written
  uint64_t diskSize = 0;                // its size then: more than fileSize when bytes
                                        // beyond the metrics were kept on overwriting
  uint8_t* image = nullptr;             // kMetricsImageSize bytes; null when nothing is loaded
  FileHandle file = kNoFile;            // open only while reading or writing, or while held
  bool held = false;                    // file stays open and locked until the release
  bool partlyWritten = false;           // a write failed half-way: the file's bytes are
                                        // ours in part, not another program's change
  uint32_t fileSize = 0;                // kMetricsFileSize after the first successful load
  uint32_t bytesTransferred = 0;        // of the last read or write
};

enum class LoadStatus {
  Loaded,
  NoPath,          // empty path: nothing loaded, nothing to report
  CannotOpen,      // missing, no permission, ...
  NotRegularFile,  // a directory, FIFO, socket or device
  WrongSize,       // not exactly kMetricsFileSize bytes
  OutOfMemory,
  ReadFailed,   // the read failed or transferred fewer bytes than the file holds
  CannotWrite,  // readable, but it cannot be opened for writing (LoadMode::Hold)
  Locked,       // another program held the file's lock too long (LoadMode::Hold)
};

// How a load leaves the file. Hold keeps it open for writing and locked from
// the load to the release, so that a program that honours the lock (another run
// of a batch tool) waits instead of changing the file between our read and our
// write.
enum class LoadMode {
  Read,
  Hold,
};

enum class SaveStatus {
  Saved,
  NoDocument,      // nothing loaded: nothing written
  CannotOpen,      // the file is gone or cannot be opened for writing
  NotRegularFile,  // a symbolic link, directory or device stands in the file's
                   // place
  Locked,          // another program held the file's lock too long
  ChangedOutside,  // another program changed or replaced the file since it was
                   // loaded
  WriteFailed,     // the write or flush failed or was short; the file holds what
                   // reached it
};

// Whether a save may write over a change that another program made since the
// document was loaded or last written. Only a person who was asked may say
// Overwrite.
enum class SaveCheck {
  RefuseOutsideChange,
  Overwrite,
};

// Whether a document is loaded: the image is present and a file has passed the
// size check.
bool IsDocumentLoaded(const MetricsDocument& doc);

// What a load saw, so that a report can explain a failure without looking at the
// disk a second time: the kind and size of what the path named (when it could be
// opened) and the system's error code of a failed open or read (0 otherwise).
struct LoadResult {
  LoadStatus status = LoadStatus::NoPath;
  FileKind kind = FileKind::Unknown;
  uint64_t size = 0;
  int systemError = 0;
};

// What a save did: the status, what stood in the file's place when it was not a
// regular file, the system's error code taken right after the failing call, and
// the bytes a failed write transferred.
struct SaveResult {
  SaveStatus status = SaveStatus::NoDocument;
  FileKind kind = FileKind::Unknown;
  int systemError = 0;
  uint32_t written = 0;
};

// Discards the current document, then loads the file at path. On success the
// image holds the file's bytes followed by zeros, and the document remembers
// the file itself (a symbolic link followed once, here); otherwise no document
// is loaded.
LoadResult LoadMetricsFile(MetricsDocument& doc, const char* path, LoadMode mode = LoadMode::Read);

// Writes the first kMetricsFileSize bytes of edited, a whole image, as the file
// that was loaded (bytes beyond that size stay), durably. Under the file's lock,
// taken on the file the path names (opened again when another run replaced it
// meanwhile), it first compares the file with the document: another identity,
// size or content is ChangedOutside and nothing is written, unless check is
// Overwrite.
// The new content goes to an exclusive sibling (".name.saving"), which takes the
// file's owner, group, mode and attributes, is flushed and renamed over the file,
// and the folder flushed: a reader sees the old bytes or the new ones, never a
// mix, whenever the program stops. Where a replace would change what the file is
// or cannot be done (a second hard link, an owner or attributes this user cannot
// give, a folder where no sibling can be made or renamed), the file is written in
// place instead, with SIGINT, SIGTERM and SIGHUP held back until it is done. No
// room for the sibling is WriteFailed, the file untouched. Never a file created
// but the sibling, never through a symbolic link put in the file's place, never
// anything but a regular file. A held document lets its file go after a replace.
// edited becomes the document's image only when the write succeeded, so that the
// image always is what the file held when last loaded or written.
SaveResult SaveEditedImage(MetricsDocument& doc, const uint8_t* edited,
                           SaveCheck check = SaveCheck::RefuseOutsideChange);

// Writes the image itself back, as SaveEditedImage does.
SaveResult SaveMetricsFile(MetricsDocument& doc, SaveCheck check = SaveCheck::RefuseOutsideChange);

// Frees the image and closes a file handle still held, which releases its lock.
void ReleaseMetricsFile(MetricsDocument& doc);
