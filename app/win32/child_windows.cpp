#include "child_windows.h"

#include <commdlg.h>

#include "utf16_text.h"

HWND CreateChildControl(HWND parent, HFONT font, const wchar_t* className, const wchar_t* text,
                        DWORD style, int id, DWORD extendedStyle) {
  const HWND child = CreateWindowExW(extendedStyle, className, text, WS_CHILD | WS_VISIBLE | style,
                                     0, 0, 0, 0, parent, reinterpret_cast<HMENU>(INT_PTR(id)),
                                     GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

int TextLineHeight(HWND window, HFONT font) {
  const HDC dc = GetDC(window);
  const HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return metrics.tmHeight;
}

std::wstring WindowTextOf(HWND window) {
  std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
  text.resize(GetWindowTextW(window, &text[0], int(text.size())));
  return text;
}

bool AskForFontFile(HWND owner, std::string* path) {
  wchar_t chosen[MAX_PATH * 4] = L"";
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter =
      L"フォント (*.ttf;*.otf;*.ttc;*.otc)\0*.ttf;*.otf;*.ttc;*.otc\0すべて (*.*)\0*.*\0";
  dialog.lpstrFile = chosen;
  dialog.nMaxFile = MAX_PATH * 4;
  dialog.lpstrTitle = L"フォントファイル";
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&dialog)) return false;
  *path = Utf16ToUtf8(chosen);
  return true;
}

int FindListEntry(HWND combo, const std::string& text) {
  const std::wstring wide = Utf8ToUtf16(text);
  return int(
      SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(wide.c_str())));
}

int ListEntryOf(HWND combo, const std::string& text) {
  const int found = FindListEntry(combo, text);
  if (found != CB_ERR) return found;
  const std::wstring wide = Utf8ToUtf16(text);
  return int(SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

std::string ChosenListEntry(HWND combo) {
  const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return std::string();
  std::wstring text(SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) + 1, L'\0');
  text.resize(SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0])));
  return Utf16ToUtf8(text);
}
