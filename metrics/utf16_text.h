// Windows only: the file layer and the programs keep paths and texts in UTF-8 and
// turn them into the system's UTF-16 (or a code page) only where they meet a
// Windows call. Every such conversion goes through these.
#pragma once

#include <string>

// UTF-8 as UTF-16; invalid bytes become U+FFFD.
std::wstring Utf8ToUtf16(const std::string& text);

// UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::wstring& text);

// Text in a code page (932: Shift-JIS) as UTF-8, and back; a character the code
// page lacks becomes "?", as the system's own ...A calls make it.
std::string CodePageToUtf8(unsigned codePage, const std::string& text);
std::string Utf8ToCodePage(unsigned codePage, const std::string& text);

// Text in a code page as UTF-16, and back, with flags 0: through code page 932 every
// byte that is no lead byte comes back as itself, control codes and 0x80, 0xA0,
// 0xFD-0xFF included.
std::wstring CodePageToUtf16(unsigned codePage, const std::string& text);
std::string Utf16ToCodePage(unsigned codePage, const std::wstring& text);
