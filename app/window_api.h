// The window layer of the editor: the Windows API itself on Windows, elsewhere the
// same declarations implemented by another layer (see portable/win32_api.h).
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#else
#include "portable/win32_api.h"
#endif
