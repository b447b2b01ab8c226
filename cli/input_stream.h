// Reading what a command takes as input from a file, a pipe or standard input
// ("-"), never more than it can use, and never hanging on a FIFO that nobody
// writes to.
#pragma once

#include <cstddef>
#include <string>

#include "metrics_document.h"

// "standard input" for "-", otherwise path: how messages name an input.
std::string InputName(const std::string& path);

// Reads path ("-": standard input) into *text, at most maxBytes + 1 bytes so that the
// caller can tell an input over its limit. Regular files and FIFOs (pipes on
// Windows) are read (a FIFO without a writer reads as empty at once); anything else
// is refused, as opening some devices has effects. Standard input is read whatever it is. On failure
// returns false and *reason says why ("is a directory, not a JSON file" with what
// "kindWord" names: "JSON file").
bool ReadInputText(const std::string& path, size_t maxBytes, const char* kindWord,
                   std::string* text, std::string* reason);

// Whether a metrics file at path is read as a stream rather than as a file: standard
// input, or a FIFO such as the pipe of "<(git show HEAD:main.fnt)" (POSIX only).
bool IsStreamInput(const std::string& path);

// Loads a metrics file from a stream into doc, with the size check of a file. On
// failure *reason says why.
LoadResult LoadStreamedMetricsFile(MetricsDocument& doc, const std::string& path,
                                   std::string* reason);
