// The editor's handlers exchange Shift-JIS (code page 932) texts with their windows
// through the ...A calls, which convert with the system's ANSI code page: Shift-JIS
// only on a Japanese system. Included by window_api.h on Windows, this header sends
// those calls to the wide ones with an explicit code page 932 conversion instead, so
// the dialog reads and shows the same bytes on every system, and on a Japanese one
// exactly what the ...A calls did. Paths in the file dialog's buffer are UTF-8, as
// the file layer takes them, and UTF-16 at the system: any file name fits.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <string>

// A Shift-JIS text for a wide call, and a wide call's text as Shift-JIS.
std::wstring WideFromShiftJis(const std::string& text);
std::string ShiftJisFromWide(const std::wstring& text);

INT_PTR WINAPI ShiftJisDialogBoxParam(HINSTANCE instance, LPCSTR templateName, HWND owner,
                                      DLGPROC dialogProc, LPARAM initParam);
HWND WINAPI ShiftJisCreateDialogParam(HINSTANCE instance, LPCSTR templateName, HWND owner,
                                      DLGPROC dialogProc, LPARAM initParam);
BOOL WINAPI ShiftJisSetWindowText(HWND window, LPCSTR text);
int WINAPI ShiftJisGetWindowText(HWND window, LPSTR text, int size);
BOOL WINAPI ShiftJisSetDlgItemText(HWND dialog, int id, LPCSTR text);
UINT WINAPI ShiftJisGetDlgItemText(HWND dialog, int id, LPSTR text, int size);
int WINAPI ShiftJisMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// The fields the editor fills: the texts in Shift-JIS, lpstrFile a UTF-8 path.
BOOL WINAPI ShiftJisGetOpenFileName(LPOPENFILENAMEA dialog);
BOOL WINAPI ShiftJisIsDBCSLeadByte(BYTE byte);

#define DialogBoxParamA ShiftJisDialogBoxParam
#define CreateDialogParamA ShiftJisCreateDialogParam
#define SetWindowTextA ShiftJisSetWindowText
#define GetWindowTextA ShiftJisGetWindowText
#define SetDlgItemTextA ShiftJisSetDlgItemText
#define GetDlgItemTextA ShiftJisGetDlgItemText
#define MessageBoxA ShiftJisMessageBox
#define GetOpenFileNameA ShiftJisGetOpenFileName
#define IsDBCSLeadByte ShiftJisIsDBCSLeadByte
