// Files for tests: a fresh temporary folder per test and whole-file reads and writes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A new empty folder, removed with everything in it when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The path of name (UTF-8) inside the folder, as a byte string for the core's
  // calls: UTF-8 on Windows too.
  std::string Path(const std::string& name) const;
  const std::filesystem::path& Root() const { return root_; }

 private:
  std::filesystem::path root_;
};

// Makes folder the current folder until the object goes, then the one before.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::filesystem::path& folder);
  ~CurrentFolder();
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  std::filesystem::path before_;
};

Bytes ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const Bytes& bytes);

// A file image of kMetricsFileSize bytes where every byte differs from its
// neighbours (a fixed pseudo-random sequence), so that any moved, lost or
// rewritten byte shows.
Bytes PatternedFile(uint32_t seed = 1);
