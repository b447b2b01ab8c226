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
  CannotOpen,      // the new file (or its temporary sibling) could not be created
  WriteFailed,     // the write or close failed or was short: nothing left behind
  CannotReplace,   // the finished file could not be moved over path
};

// Discards the current document and starts an all-zero one, loaded as if from a
// file of zeros. False when out of memory (no document then).
bool StartEmptyMetricsDocument(MetricsDocument& doc);

// Writes the first kMetricsFileSize bytes of the image as the whole file at path.
// A missing path is created. An existing file is refused unless replaceExisting is
// set; then the bytes go to a temporary sibling first, which is moved over path,
// so that path holds either its old contents or exactly the new file, never a part
// of it. Nothing is left at path, and no sibling, when the write fails.
CreateStatus CreateMetricsFile(MetricsDocument& doc, const char* path, bool replaceExisting);
