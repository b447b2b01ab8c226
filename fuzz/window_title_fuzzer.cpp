// File names and captions from arbitrary paths: the name is a suffix of the path,
// the caption fits the text buffer and never ends inside a character.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "metrics_document.h"
#include "window_title.h"

namespace {

void CheckName(const std::string& path) {
  std::vector<char> out(path.size() + 1, 0);
  FileNameFromPath(path.c_str(), out.data());
  size_t length = std::strlen(out.data());
  size_t pathLength = std::strlen(path.c_str());
  if (length > pathLength) std::abort();
  if (std::memcmp(out.data(), path.c_str() + pathLength - length, length) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= kPathBufferSize) return 0;  // paths come from the path buffer
  std::string path(reinterpret_cast<const char*>(data), size);
  CheckName(path);

  // The caption is "QUORVEL - name", whole when it fits the text buffer, else cut
  // before a UTF-8 lead byte, at most three bytes short of the buffer (exactly
  // three when the name is not UTF-8 there).
  std::vector<char> name(path.size() + 1, 0);
  FileNameFromPath(path.c_str(), name.data());
  std::string full = std::string("QUORVEL - ") + name.data();
  char caption[kTextBufferSize];
  ComposeCaption(path.c_str(), caption);
  size_t length = strnlen(caption, sizeof caption);
  if (length >= kTextBufferSize) std::abort();
  if (full.compare(0, length, caption) != 0) std::abort();
  if (length < full.size()) {
    if (full.size() < kTextBufferSize || length + 3 < kTextBufferSize - 1) std::abort();
    bool continuation = (static_cast<unsigned char>(full[length]) & 0xC0) == 0x80;
    if (continuation && length + 3 != kTextBufferSize - 1) std::abort();
  }
  return 0;
}
