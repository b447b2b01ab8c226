#include "message_text.h"

namespace {

unsigned char ByteAt(std::string_view text, size_t at) { return static_cast<unsigned char>(text[at]); }

bool IsUtf8Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// U+0080-U+009F in UTF-8: C2 followed by 80-9F. Terminals take these as controls.
bool IsC1Control(std::string_view text, size_t at) {
  return ByteAt(text, at) == 0xC2 && at + 1 < text.size() && ByteAt(text, at + 1) >= 0x80 &&
         ByteAt(text, at + 1) <= 0x9F;
}

// How many bytes of text to keep so that at most maxLength remain and no UTF-8
// sequence (at most four bytes) is split.
size_t CutLength(std::string_view text, size_t maxLength) {
  size_t length = maxLength;
  for (int back = 0; back < 3 && length > 0 && IsUtf8Continuation(ByteAt(text, length)); ++back) --length;
  return length;
}

void AppendByteEscape(std::string* out, unsigned char byte) {
  static const char kDigits[] = "0123456789ABCDEF";
  *out += "\\x";
  *out += kDigits[byte >> 4];
  *out += kDigits[byte & 0xF];
}

void AppendControl(std::string* out, unsigned char byte) {
  switch (byte) {
    case '\n': *out += "\\n"; break;
    case '\r': *out += "\\r"; break;
    case '\t': *out += "\\t"; break;
    default: AppendByteEscape(out, byte);
  }
}

}  // namespace

std::string EscapedText(std::string_view text, size_t maxLength) {
  bool cut = maxLength != 0 && text.size() > maxLength;
  std::string_view kept = cut ? text.substr(0, CutLength(text, maxLength)) : text;
  std::string out;
  out.reserve(kept.size() + (cut ? 3 : 0));
  for (size_t i = 0; i < kept.size(); ++i) {
    unsigned char byte = ByteAt(kept, i);
    if (IsC1Control(kept, i)) {
      AppendByteEscape(&out, byte);
      AppendByteEscape(&out, ByteAt(kept, ++i));
    } else if (byte < 0x20 || byte == 0x7F) {
      AppendControl(&out, byte);
    } else {
      out += kept[i];
    }
  }
  if (cut) out += "...";
  return out;
}
