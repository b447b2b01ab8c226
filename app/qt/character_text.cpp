#include "character_text.h"

#include <iconv.h>

#include <QList>

#include <cstring>
#include <string>

#include "shift_jis.h"

namespace {

// The code page's replacement for a character it cannot hold.
constexpr char kDefaultCharacter = '?';
// "・", the character a lone lead byte turns into (0x81 0x45).
constexpr char16_t kMiddleDot = 0x30FB;

// Converts between UTF-8 and code page 932 with iconv; returns false when the
// input holds a sequence the other side has no character for.
bool ConvertWithIconv(const char* to, const char* from, const std::string& in, std::string* out) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  std::string buffer(in.size() * 4 + 8, '\0');
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* outPtr = &buffer[0];
  size_t outLeft = buffer.size();
  size_t result = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1)) return false;
  buffer.resize(buffer.size() - outLeft);
  *out = buffer;
  return true;
}

// The Shift-JIS bytes of one character (one code point).
std::string CharacterToShiftJis(uint32_t codePoint) {
  int single = UnicodeToShiftJisByte(codePoint);
  if (single >= 0) return std::string(1, static_cast<char>(single));
  char utf8[4];
  size_t length = EncodeUtf8(codePoint, utf8);
  std::string bytes;
  if (ConvertWithIconv("CP932", "UTF-8", std::string(utf8, length), &bytes) && !bytes.empty()) {
    return bytes;
  }
  return std::string(1, kDefaultCharacter);
}

}  // namespace

QString ShiftJisToFieldText(const char* bytes) {
  QString text;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes);
  while (*p) {
    if (!IsShiftJisLeadByte(*p)) {
      text.append(QChar(static_cast<char16_t>(ShiftJisByteToUnicode(*p))));
      ++p;
      continue;
    }
    if (p[1] == 0) {  // a lead byte without its trail byte
      text.append(QChar(kMiddleDot));
      break;
    }
    std::string utf8;
    if (ConvertWithIconv("UTF-8", "CP932", std::string(reinterpret_cast<const char*>(p), 2),
                         &utf8)) {
      text.append(QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size())));
    } else {
      text.append(QChar(kMiddleDot));
    }
    p += 2;
  }
  return text;
}

size_t FieldTextToShiftJis(const QString& text, char* out, size_t size) {
  if (size == 0) return 0;
  size_t used = 0;
  for (uint32_t codePoint : text.toUcs4()) {
    std::string bytes = CharacterToShiftJis(codePoint);
    if (used + bytes.size() > size - 1) break;
    std::memcpy(out + used, bytes.data(), bytes.size());
    used += bytes.size();
  }
  out[used] = '\0';
  return used;
}
