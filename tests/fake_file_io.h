// An in-memory stand-in for the file layer, linked instead of the real one into the
// fault tests, so that reads, writes, closes and allocations can fail on demand.
#pragma once

#include <map>
#include <string>

#include "test_files.h"

struct FakeFileSystem {
  std::map<std::string, Bytes> files;
  bool failAllocation = false;
  bool failRead = false;
  uint32_t readLimit = UINT32_MAX;   // a read transfers at most this many bytes
  bool failWrite = false;
  uint32_t writeLimit = UINT32_MAX;  // a write transfers at most this many bytes
  bool failClose = false;
  bool failMove = false;
  int openHandles = 0;
};

// The one fake file system; tests reset it before use.
FakeFileSystem& FakeFiles();
