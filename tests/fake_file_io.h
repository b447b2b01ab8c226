// An in-memory stand-in for the file layer, linked instead of the real one into the
// fault tests, so that reads, writes, closes and allocations can fail on demand.
#pragma once

#include <map>
#include <set>
#include <string>

#include "test_files.h"

struct FakeFileSystem {
  std::map<std::string, Bytes> files;
  std::set<std::string> linked;  // names of files that have other names too
  bool failAllocation = false;
  bool failRead = false;
  uint32_t readLimit = UINT32_MAX;   // a read transfers at most this many bytes
  bool failWrite = false;
  uint32_t writeLimit = UINT32_MAX;  // a write transfers at most this many bytes
  bool failFlush = false;
  bool failClose = false;
  bool failMove = false;
  bool failLock = false;
  bool failOwnership = false;  // the owner or attributes cannot be copied
  bool failFolderFlush = false;
  int openHandles = 0;
};

// The one fake file system; tests reset it before use.
FakeFileSystem& FakeFiles();
