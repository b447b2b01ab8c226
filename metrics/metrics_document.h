// The one loaded metrics file: read whole after a size check, written back whole
// over the file it came from, released on the next load and at exit.
#pragma once

#include <cstdint>

#include "file_io.h"
#include "metrics_format.h"

// The path buffer: MAX_PATH on Windows. POSIX paths are routinely longer than 259
// bytes, so there it is PATH_MAX.
#ifdef _WIN32
constexpr size_t kPathBufferSize = 260;
#else
constexpr size_t kPathBufferSize = 4096;
#endif

struct MetricsDocument {
  char path[kPathBufferSize] = {};  // the current file; filled by the caller
  uint8_t* image = nullptr;         // kMetricsImageSize bytes; null when nothing is loaded
  FileHandle file = kNoFile;        // open only while reading or writing
  uint32_t fileSize = 0;            // kMetricsFileSize after the first successful load
  uint32_t bytesTransferred = 0;    // of the last read or write
};

enum class LoadStatus {
  Loaded,
  NoPath,          // empty path: nothing loaded, nothing to report
  CannotOpen,      // missing, no permission, ...
  NotRegularFile,  // a directory, FIFO, socket or device
  WrongSize,       // not exactly kMetricsFileSize bytes
  OutOfMemory,
  ReadFailed,      // the read failed or transferred fewer bytes than the file holds
};

enum class SaveStatus {
  Saved,
  NoDocument,  // nothing loaded: nothing written
  CannotOpen,  // the file could not be opened for writing
  WriteFailed, // the write failed or was short; the file holds what reached it
};

// True when a document is loaded: the image is present and a file has passed the
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

// Discards the current document, then loads the file at path. On success the image
// holds the file's bytes followed by zeros; otherwise no document is loaded.
LoadResult LoadMetricsFile(MetricsDocument& doc, const char* path);

// Writes the first kMetricsFileSize bytes of the image over path, creating the file
// when missing and leaving any bytes beyond that size in place.
SaveStatus SaveMetricsFile(MetricsDocument& doc, const char* path);

// Writes the first kMetricsFileSize bytes of edited, a whole image, as
// SaveMetricsFile writes the image; edited becomes the document's image only when
// the write succeeded, so that after a failed write the document is still what the
// file held when last loaded or written.
SaveStatus SaveEditedImage(MetricsDocument& doc, const char* path, const uint8_t* edited);

// Frees the image and closes a file handle still held.
void ReleaseMetricsFile(MetricsDocument& doc);
