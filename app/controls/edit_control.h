// The rules of a single-line edit control as the Windows edit applies them: its
// text limit, digits-only typing (ES_NUMBER), the selection EM_SETSEL sets and the
// text it stores. Plain state and pure functions; a window layer counts characters
// in its own units and moves the texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The limit of a single-line edit until EM_LIMITTEXT sets one.
constexpr size_t kDefaultEditLimit = 30000;
// The most a single-line edit can hold: EM_LIMITTEXT 0 asks for this.
constexpr size_t kMaximumEditLimit = 0x7FFFFFFE;

struct EditState {
  size_t limit = kDefaultEditLimit;  // characters, for typing only
  bool digitsOnly = false;           // ES_NUMBER
};

// The limit EM_LIMITTEXT sets: 0, and anything above the maximum, is the maximum.
size_t EditLimitFor(uintptr_t requested);

// A selection in characters: the anchor stays, the caret moves.
struct EditSelection {
  size_t anchor = 0;
  size_t caret = 0;
};

// EM_SETSEL(start, end) on a text of length characters: a negative start removes
// the selection and leaves the caret; a negative end, or one past the text, is the
// end of the text; a start past the text is cut to it. (0, -1) selects everything.
EditSelection SelectEditRange(EditSelection current, intptr_t start, intptr_t end, size_t length);

// What one typed character does to the selection (WM_CHAR).
enum class Keystroke {
  Refused,            // nothing changes
  DeletesSelection,   // the selection goes, the character does not fit
  ReplacesSelection,  // the character takes the selection's place
};

// ES_NUMBER refuses anything but 0-9 outright. Otherwise the selection goes, and
// the character takes its place only when the limit leaves room for it: "12345"
// over a limit of 3, with "5" selected, becomes "1234". length and selected count
// characters of the text and of its selection.
Keystroke TypeIntoEdit(const EditState& edit, size_t length, size_t selected, uint32_t character);

// What the limit and ES_NUMBER look at in a text.
struct EditTextCount {
  size_t characters = 0;
  size_t nonDigits = 0;
};

// Any other change a user makes (paste, drop, an input method's composition) is
// kept unless it grows the text past the limit or brings in a non-digit under
// ES_NUMBER; deleting always works, even in a text above the limit.
bool KeepsUserEdit(const EditState& edit, EditTextCount before, EditTextCount after);

// A code page 932 text as an edit stores it: a lead byte without a trail byte, or
// a pair the code page does not define, is no character and reads back as "・"
// (0x81 0x45). "\x81" -> "\x81\x45", "A\x81" -> "A\x81\x45", "\x81 " -> "\x81\x45".
std::string StoredEditText(const char* bytes);
