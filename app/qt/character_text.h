// The character field's text as the Windows code page 932 gives it to the ...A
// calls: the field shows Unicode, the editor reads and writes Shift-JIS bytes. The
// conversions themselves are the core's (shift_jis.h); these adapt them to QString.
#pragma once

#include <QString>

#include <cstddef>

// The field text for a Shift-JIS byte string (NUL-terminated); a lone lead byte is
// no character and shows as "・" (0x81 0x45), as a Windows edit control shows it.
QString ShiftJisToFieldText(const char* bytes);

// Writes the Shift-JIS bytes of text into out (size bytes, NUL-terminated, cut on a
// character boundary) and returns the number of bytes written without the NUL.
// Characters that the code page cannot hold become "?", as WideCharToMultiByte's
// default character does.
size_t FieldTextToShiftJis(const QString& text, char* out, size_t size);
