// Documents that do not come from a loaded file, and writing a document as a whole
// new file: for tools that create files (an all-zero file, a file rebuilt from its
// text form), where the editor only ever writes back over the file it loaded.
#pragma once

#include "metrics_document.h"

enum class CreateStatus {
  Created,
  NoDocument,      // nothing loaded: nothing written
  AlreadyExists,   // path exists and replacing was not asked for
  NotRegularFile,  // path is a directory, FIFO, socket or device: never replaced
  CannotOpen,  // the new file, its temporary sibling or the file to write in place cannot be opened
  WriteFailed,         // the write, flush or close failed or was short: nothing left behind
  CannotReplace,       // the finished file could not be moved over path: path left as it was
  Locked,              // the file to write in place was locked by another program too long
  InPlaceWriteFailed,  // the write in place failed or was short: the file may be damaged
  NotDurable,          // written, but its folder could not be flushed to disk
};

// Discards the current document and starts an all-zero one, loaded as if from a
// file of zeros. False when out of memory (no document then).
bool StartEmptyMetricsDocument(MetricsDocument& doc);

// Writes the first kMetricsFileSize bytes of the image as the whole file at path
// and flushes the file and its folder to disk. A missing path is created. An
// existing file is refused unless replaceExisting is set. Then a file with one name
// is replaced by a temporary sibling under an unpredictable name, given the file's
// owner, group, permissions and extended attributes and moved over path, so that
// path holds either its old contents or exactly the new file, never a part of it.
// A file with more names (a symbolic link to it, hard links) is written in place
// instead, as a save writes, so that every name goes on showing the one file; so is
// a file whose owner or attributes this user cannot give the sibling. Nothing is
// left at a new path, and no sibling, when the write fails. On failure the last
// file error is that of the failing call; a short write clears it, so that
// doc.bytesTransferred tells what happened.
CreateStatus CreateMetricsFile(MetricsDocument& doc, const char* path, bool replaceExisting);

// The pattern of a temporary sibling's name for path, in name: ".name.XXXXXX" in the
// same folder, for CreateUniqueFile. The base name is cut so that the sibling's name
// fits the name limit (and size) however long it is. False when even an empty cut
// does not fit.
bool TemporarySiblingName(const char* path, char* name, size_t size);
