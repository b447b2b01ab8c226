#include "edit_control.h"

#include <algorithm>

#include "shift_jis.h"

size_t EditLimitFor(uintptr_t requested) {
  return requested == 0 || requested > kMaximumEditLimit ? kMaximumEditLimit : requested;
}

EditSelection SelectEditRange(EditSelection current, intptr_t start, intptr_t end, size_t length) {
  if (start < 0) return {current.caret, current.caret};
  size_t caret = end < 0 ? length : std::min(static_cast<size_t>(end), length);
  return {std::min(static_cast<size_t>(start), length), caret};
}

Keystroke TypeIntoEdit(const EditState& edit, size_t length, size_t selected, uint32_t character) {
  if (edit.digitsOnly && (character < '0' || character > '9')) return Keystroke::Refused;
  if (length - selected + 1 > edit.limit) return Keystroke::DeletesSelection;
  return Keystroke::ReplacesSelection;
}

bool KeepsUserEdit(const EditState& edit, EditTextCount before, EditTextCount after) {
  bool tooLong = after.characters > edit.limit && after.characters > before.characters;
  bool newNonDigit = edit.digitsOnly && after.nonDigits > before.nonDigits;
  return !tooLong && !newNonDigit;
}

std::string StoredEditText(const char* bytes) {
  std::string stored;
  while (*bytes) {
    size_t length = 0;
    if (CharacterOfShiftJis(bytes, &length) < 0) {
      stored += kNoCharacterMarkShiftJis;
    } else {
      stored.append(bytes, length);
    }
    bytes += length;
  }
  return stored;
}
