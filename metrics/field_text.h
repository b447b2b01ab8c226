// Whether a value field's text is a number, checked before anything is stored:
// the one judge for the editor's change command and quorvel-cli set alike.
#pragma once

#include "value_edit.h"

enum class FieldTextStatus {
  Number,      // a number that fits single precision
  NoNumber,    // empty or a lone sign: the stored value stays as it is
  NotANumber,  // anything else: refused, nothing is stored
};

// Checks a field text in code page 932 (Shift-JIS) and reads it.
// 1. Spaces around the text are dropped: ASCII space, tab and the full-width space.
// 2. The full-width forms an input method types read as ASCII: "０"-"９", "＋",
//    "－" (also "−", which the code page writes the same), "．", "ｅ", "Ｅ".
// 3. What remains is empty or a lone sign ("", "+", "-", "　", "－": NoNumber),
//    or matches [+-]? (digits ["." digits?] | "." digits) ([eE] [+-]? digits)?:
//    "12", "-1.5", "1.", ".5", "+2e-3", " 1.5 ", "１３", "－１．５ｅ２" (-150).
//    "abc", "1,5", "1.5.", "0x10", "1e", ".", "+.", "e5", "1 5", "nan", "inf"
//    are NotANumber.
// 4. The number is read by ParseNumber from that ASCII form, so it carries exactly
//    ParseNumber's bits. One whose double would round to infinity when stored as a
//    single is NotANumber ("3.4028235e38" is a number, "3.4028236e38" and "-1e39"
//    are not).
// Sets value->present and value->value on Number and NoNumber (not present, 0);
// leaves *value alone on NotANumber.
FieldTextStatus CheckFieldText(const char* shiftJisText, FieldValue* value);
