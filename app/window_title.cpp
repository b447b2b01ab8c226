#include "window_title.h"

#include <cstdarg>
#include <cstring>

#include "metrics_document.h"
#include "shift_jis.h"

char* AppendStrings(int count, char* dest, ...) {
  va_list strings;
  va_start(strings, dest);
  char* end = dest + std::strlen(dest);
  for (int i = 0; i < count; ++i) {
    const char* s = va_arg(strings, const char*);
    size_t length = std::strlen(s);
    std::memcpy(end, s, length + 1);
    end += length;
  }
  va_end(strings);
  return dest;
}

namespace {

#ifdef _WIN32
// Shift-JIS cannot be decoded backwards, so the scan runs forwards over whole
// characters and remembers where the last separator ended.
const char* FileNameStart(const char* path) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(path);
  size_t nameStart = 0;
  size_t i = 0;
  while (p[i] != 0) {
    if (IsShiftJisLeadByte(p[i]) && p[i + 1] != 0) {
      i += 2;
      continue;
    }
    if (p[i] == '\\' || p[i] == ':') nameStart = i + 1;
    ++i;
  }
  return path + nameStart;
}
#else
const char* FileNameStart(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}
#endif

}  // namespace

void FileNameFromPath(const char* path, char* out) {
  const char* name = FileNameStart(path);
  std::memcpy(out, name, std::strlen(name));
}

size_t ShiftJisPrefixLength(const char* text, size_t limit) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  size_t i = 0;
  while (p[i] != 0) {
    size_t next = (IsShiftJisLeadByte(p[i]) && p[i + 1] != 0) ? i + 2 : i + 1;
    if (next > limit) break;
    i = next;
  }
  return i;
}

size_t Utf8PrefixLength(const char* text, size_t limit) {
  size_t length = std::strlen(text);
  if (length <= limit) return length;
  // Back off continuation bytes (10xxxxxx) so the cut lands before a lead byte; a
  // character has at most three of them, so bytes that are not UTF-8 at all cost
  // no more than three bytes of the text.
  size_t cut = limit;
  for (int i = 0; i < 3 && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++i) --cut;
  return cut;
}

void ComposeCaption(const char* path, char* caption) {
  // Room for the title, the separator and any name that fits the path buffer; the
  // whole is then cut to the text buffer.
  char name[kPathBufferSize] = {};
  char full[sizeof kProgramTitle + 3 + kPathBufferSize] = {};
  const char* nameStart = FileNameStart(path);
  std::memcpy(name, nameStart, strnlen(nameStart, kPathBufferSize - 1));
  AppendStrings(3, full, kProgramTitle, " - ", name);
#ifdef _WIN32
  size_t length = ShiftJisPrefixLength(full, kTextBufferSize - 1);
#else
  size_t length = Utf8PrefixLength(full, kTextBufferSize - 1);
#endif
  std::memset(caption, 0, kTextBufferSize);
  std::memcpy(caption, full, length);
}
