#include "character_text.h"

#include <cstring>
#include <string>

#include "shift_jis.h"

QString ShiftJisToFieldText(const char* bytes) {
  return QString::fromStdString(ShiftJisToUtf8(bytes));
}

size_t FieldTextToShiftJis(const QString& text, char* out, size_t size) {
  if (size == 0) return 0;
  const std::string bytes = Utf8ToShiftJis(text.toUtf8().constData(), size - 1);
  std::memcpy(out, bytes.data(), bytes.size());
  out[bytes.size()] = '\0';
  return bytes.size();
}
