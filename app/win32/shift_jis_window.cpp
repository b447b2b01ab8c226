#include "shift_jis_window.h"

#include <cstring>
#include <vector>

#include "utf16_text.h"

namespace {

constexpr UINT kShiftJis = 932;

// A resource name as the wide call takes it (wide holds its text): an ordinal
// stays as it is.
LPCWSTR TemplateNameFor(LPCSTR name, const std::wstring& wide) {
  return IS_INTRESOURCE(name) ? reinterpret_cast<LPCWSTR>(name) : wide.c_str();
}

// The file dialog's filter: pairs of NUL-ended texts, ended by an empty one.
std::wstring WideFilter(LPCSTR filter) {
  if (!filter) return std::wstring();
  size_t length = 0;
  while (filter[length] != '\0') length += std::strlen(filter + length) + 1;
  return WideFromShiftJis(std::string(filter, length + 1));
}

std::wstring WideOrEmpty(LPCSTR text) { return text ? WideFromShiftJis(text) : std::wstring(); }

std::wstring WideTemplateText(LPCSTR name) {
  return IS_INTRESOURCE(name) ? std::wstring() : WideFromShiftJis(name);
}

LPCWSTR NullIfEmpty(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

// Puts wide into text as GetWindowTextA does: at most size - 1 bytes of Shift-JIS
// and a NUL, never half a character. Returns the bytes put.
int CopyShiftJis(const std::wstring& wide, LPSTR text, int size) {
  if (size <= 0) return 0;
  const std::string bytes = ShiftJisFromWide(wide);
  size_t length = 0;
  while (length < bytes.size()) {
    const BYTE first = static_cast<BYTE>(bytes[length]);
    const size_t next = length + (IsDBCSLeadByteEx(kShiftJis, first) ? 2 : 1);
    if (next > static_cast<size_t>(size - 1) || next > bytes.size()) break;
    length = next;
  }
  std::memcpy(text, bytes.data(), length);
  text[length] = '\0';
  return static_cast<int>(length);
}

}  // namespace

std::wstring WideFromShiftJis(const std::string& text) { return CodePageToUtf16(kShiftJis, text); }

std::string ShiftJisFromWide(const std::wstring& text) { return Utf16ToCodePage(kShiftJis, text); }

INT_PTR WINAPI ShiftJisDialogBoxParam(HINSTANCE instance, LPCSTR templateName, HWND owner,
                                      DLGPROC dialogProc, LPARAM initParam) {
  const std::wstring name = WideTemplateText(templateName);
  return DialogBoxParamW(instance, TemplateNameFor(templateName, name), owner, dialogProc,
                         initParam);
}

HWND WINAPI ShiftJisCreateDialogParam(HINSTANCE instance, LPCSTR templateName, HWND owner,
                                      DLGPROC dialogProc, LPARAM initParam) {
  const std::wstring name = WideTemplateText(templateName);
  return CreateDialogParamW(instance, TemplateNameFor(templateName, name), owner, dialogProc,
                            initParam);
}

BOOL WINAPI ShiftJisSetWindowText(HWND window, LPCSTR text) {
  return SetWindowTextW(window, WideOrEmpty(text).c_str());
}

int WINAPI ShiftJisGetWindowText(HWND window, LPSTR text, int size) {
  std::vector<wchar_t> wide(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  GetWindowTextW(window, wide.data(), static_cast<int>(wide.size()));
  return CopyShiftJis(wide.data(), text, size);
}

// Through WM_SETTEXT and WM_GETTEXT, as the ...A calls: a control of another
// process answers too.
BOOL WINAPI ShiftJisSetDlgItemText(HWND dialog, int id, LPCSTR text) {
  return SetDlgItemTextW(dialog, id, WideOrEmpty(text).c_str());
}

UINT WINAPI ShiftJisGetDlgItemText(HWND dialog, int id, LPSTR text, int size) {
  const LRESULT length = SendDlgItemMessageW(dialog, id, WM_GETTEXTLENGTH, 0, 0);
  std::vector<wchar_t> wide(static_cast<size_t>(length) + 1, L'\0');
  GetDlgItemTextW(dialog, id, wide.data(), static_cast<int>(wide.size()));
  return static_cast<UINT>(CopyShiftJis(wide.data(), text, size));
}

int WINAPI ShiftJisMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  return MessageBoxW(owner, WideOrEmpty(text).c_str(), NullIfEmpty(WideOrEmpty(caption)), type);
}

// The choice comes back as UTF-8 when it fits the editor's buffer; a name of
// MAX_PATH UTF-16 units always fits the document's path buffer.
BOOL WINAPI ShiftJisGetOpenFileName(LPOPENFILENAMEA dialog) {
  const std::wstring filter = WideFilter(dialog->lpstrFilter);
  const std::wstring title = WideOrEmpty(dialog->lpstrTitle);
  const std::wstring extension = WideOrEmpty(dialog->lpstrDefExt);
  const std::wstring folder = WideOrEmpty(dialog->lpstrInitialDir);
  std::wstring file = Utf8ToUtf16(dialog->lpstrFile);
  file.resize(MAX_PATH, L'\0');
  OPENFILENAMEW wide = {};
  wide.lStructSize = sizeof wide;
  wide.hwndOwner = dialog->hwndOwner;
  wide.hInstance = dialog->hInstance;
  wide.lpstrFilter = NullIfEmpty(filter);
  wide.nFilterIndex = dialog->nFilterIndex;
  wide.lpstrFile = &file[0];
  wide.nMaxFile = MAX_PATH;
  wide.lpstrInitialDir = NullIfEmpty(folder);
  wide.lpstrTitle = NullIfEmpty(title);
  wide.Flags = dialog->Flags;
  wide.lpstrDefExt = NullIfEmpty(extension);
  wide.lCustData = dialog->lCustData;
  if (!GetOpenFileNameW(&wide)) return FALSE;
  dialog->nFilterIndex = wide.nFilterIndex;
  const std::string path = Utf16ToUtf8(file.c_str());
  if (path.size() >= dialog->nMaxFile) return FALSE;
  std::memcpy(dialog->lpstrFile, path.c_str(), path.size() + 1);
  return TRUE;
}

BOOL WINAPI ShiftJisIsDBCSLeadByte(BYTE byte) { return IsDBCSLeadByteEx(kShiftJis, byte); }
