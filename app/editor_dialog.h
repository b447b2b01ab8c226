// The editor dialog: its procedure and the handlers of its controls.
#pragma once

#include "window_api.h"

// The procedure of the dialog "Main". Returns TRUE for the messages it handles
// (WM_INITDIALOG, WM_CLOSE, WM_COMMAND) and FALSE for every other.
INT_PTR CALLBACK EditorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Greys out the character and number fields and the selector while any scope box
// is checked; when none is, enables them and shows the selected code's values again.
void UpdateScopeControls();
