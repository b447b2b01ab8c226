// Writing a file that the user names for an output (render -o): never over the
// file read, never through whatever is planted at the name, never half-written.
#pragma once

#include <string>

#include "file_io.h"

// The file that a run reads, which no output may replace.
struct ReadFile {
  bool isFile = false;  // false for a pipe or FIFO: nothing an output could replace
  FileIdentity identity;
  std::string name;  // as messages name it
};

// The file behind an input as the run names it: the file a path leads to, or the
// one that standard input ("-") was redirected from.
ReadFile FileBehindInput(const std::string& input);

// Whether path names the file read, under any of its names or through a link, and
// the refusal to write it: "is main.fnt, which this run reads: not written".
bool NamesFileRead(const std::string& path, const ReadFile& input);
std::string IsFileReadReason(const ReadFile& input);

// Writes text as the file at path: into a new sibling under an unpredictable name,
// flushed, then moved over path in one step, so that path holds either what it
// held or the whole text, and no sibling outlives a failure (nor Ctrl+C). An
// existing output keeps its owner, group and mode where this user may give them;
// a new one gets what any new file of this user gets. Refused, with nothing
// written: the file read, under any of its names or through a symbolic link, and
// anything at path but a regular file (a symbolic link, a directory, a FIFO, a
// device), which is never opened. False after reporting why on one line.
bool WriteOutputFile(const std::string& path, const std::string& text, const ReadFile& input);
