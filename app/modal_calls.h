// The modal windows the editor opens, called through replaceable pointers so that
// tests answer them instead of a person. By default they are the window layer's
// own GetOpenFileNameA, MessageBoxA and MessageBoxWithDetails.
#pragma once

#include <string>

#include "window_api.h"

using OpenFileDialogCall = BOOL(WINAPI*)(LPOPENFILENAMEA dialog);
using MessageBoxCall = int(WINAPI*)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
using DetailedMessageBoxCall = int (*)(HWND owner, const char* text, const char* caption, UINT type,
                                       const char* details);

extern OpenFileDialogCall g_openFileDialog;
extern MessageBoxCall g_messageBox;
// The error box: a message box with details below its text (a failed load's file
// and reason), which go as an argument rather than through the program's state.
extern DetailedMessageBoxCall g_errorBox;

// The text of an error box: its word ("Error", "Write Error", a refused field's
// line), then a blank line and the details when there are any.
std::string ErrorBoxText(const char* text, const char* details);

// MessageBoxA with details, as each window layer can show them: on Windows the box
// says ErrorBoxText, through the wide call.
int MessageBoxWithDetails(HWND owner, const char* text, const char* caption, UINT type,
                          const char* details);

// This program's own message-box flag, unknown to Windows (which never gets it):
// with MB_YESNOCANCEL the buttons read 上書き (IDYES), 再読み込み (IDNO) and
// キャンセル (IDCANCEL), for the question about a file another program changed.
constexpr UINT kOverwriteReloadButtons = 0x10000000;
