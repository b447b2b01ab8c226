// The one loaded metrics file: read whole after a size check, written back whole
// over the file it came from, released on the next load and at exit.
#pragma once

#include <cstdint>

#include "file_io.h"
#include "metrics_format.h"
#include "path_name.h"

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

// Discards the current document, then loads the file at path. On success the image
// holds the file's bytes followed by zeros and caption receives "QUORVEL - name"
// (kTextBufferSize bytes); otherwise no document is loaded and caption is untouched.
LoadStatus LoadMetricsFile(MetricsDocument& doc, const char* path, char* caption);

// Writes the first kMetricsFileSize bytes of the image over path, creating the file
// when missing and leaving any bytes beyond that size in place.
SaveStatus SaveMetricsFile(MetricsDocument& doc, const char* path);

// Frees the image and closes a file handle still held.
void ReleaseMetricsFile(MetricsDocument& doc);
