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
  bool noRoom = false;  // creating a file fails: the disk is full
  int openHandles = 0;
  // Another run replaces the file between this many opens and the resolve after
  // each: the resolve finds the path naming another file.
  int replacesBeforeResolve = 0;
  // A stop of the program (a kill, a crash) after this many steps that change the
  // disk, each byte written counting as one: from then on nothing changes any more
  // and every call fails. Negative: never.
  long stepsBeforeStop = -1;
  bool stopped = false;
  std::map<std::string, uint64_t> inodes;  // each file's identity, kept by a rename
  int lastError = 9999;  // the fake's failures carry one error number of their own
};

// The error of a creation on a full disk (noRoom).
constexpr int kFakeNoRoomError = 9998;

// The one fake file system; tests reset it before use.
FakeFileSystem& FakeFiles();
