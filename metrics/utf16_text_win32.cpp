#include "utf16_text.h"

#include <windows.h>

std::wstring CodePageToUtf16(unsigned codePage, const std::string& text) {
  if (text.empty()) return std::wstring();
  int size = static_cast<int>(text.size());
  int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], length);
  return wide;
}

std::string Utf16ToCodePage(unsigned codePage, const std::wstring& wide) {
  if (wide.empty()) return std::string();
  int size = static_cast<int>(wide.size());
  int length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), size, &text[0], length, nullptr, nullptr);
  return text;
}

std::wstring Utf8ToUtf16(const std::string& text) { return CodePageToUtf16(CP_UTF8, text); }

std::string Utf16ToUtf8(const std::wstring& text) { return Utf16ToCodePage(CP_UTF8, text); }

std::string CodePageToUtf8(unsigned codePage, const std::string& text) {
  return Utf16ToUtf8(CodePageToUtf16(codePage, text));
}

std::string Utf8ToCodePage(unsigned codePage, const std::string& text) {
  return Utf16ToCodePage(codePage, Utf8ToUtf16(text));
}
