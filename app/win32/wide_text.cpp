#include "wide_text.h"

#include "utf16_text.h"

std::string DocumentPathFromWide(const wchar_t* path) { return Utf16ToUtf8(path); }

std::wstring WideFromUtf8(const std::string& text) { return Utf8ToUtf16(text); }

std::wstring WideFromEditorText(const std::string& text) {
  constexpr unsigned kShiftJis = 932;
  return Utf8ToUtf16(CodePageToUtf8(kShiftJis, text));
}
