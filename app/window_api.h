// The window layer of the editor: the Windows API itself on Windows (its text calls
// in Shift-JIS whatever the system's code page, see win32/shift_jis_window.h),
// elsewhere the same declarations implemented by another layer (see
// portable/win32_api.h).
#pragma once

#ifdef _WIN32
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <commdlg.h>

#include "win32/shift_jis_window.h"
#else
#include "portable/win32_api.h"
#endif
