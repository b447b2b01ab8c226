#include "test_files.h"

#include <atomic>
#include <fstream>
#include <stdexcept>

#include "metrics_format.h"

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  auto stamp = std::to_string(fs::file_time_type::clock::now().time_since_epoch().count());
  root_ = fs::temp_directory_path() / ("quorvel-test-" + stamp + "-" + std::to_string(counter++));
  fs::create_directories(root_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(root_, ignored);
}

// UTF-8, as the core takes paths (the same bytes on POSIX).
std::string TempFolder::Path(const std::string& name) const {
  return (root_ / fs::u8path(name)).u8string();
}

CurrentFolder::CurrentFolder(const fs::path& folder) : before_(fs::current_path()) {
  fs::current_path(folder);
}

CurrentFolder::~CurrentFolder() {
  std::error_code ignored;
  fs::current_path(before_, ignored);
}

Bytes ReadWholeFile(const std::string& path) {
  std::ifstream in(fs::u8path(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(fs::u8path(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes PatternedFile(uint32_t seed) {
  Bytes bytes(kMetricsFileSize);
  uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<uint8_t>(state >> 16);
  }
  return bytes;
}
