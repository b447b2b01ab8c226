// The two modal windows the editor opens, called through replaceable pointers so
// that tests answer them instead of a person. By default they are the window
// layer's own GetOpenFileNameA and MessageBoxA.
#pragma once

#include "window_api.h"

using OpenFileDialogCall = BOOL(WINAPI*)(LPOPENFILENAMEA dialog);
using MessageBoxCall = int(WINAPI*)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

extern OpenFileDialogCall g_openFileDialog;
extern MessageBoxCall g_messageBox;
