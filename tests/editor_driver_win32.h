// What the Windows driver adds to editor_driver.h for the tests of QUORVEL.exe's
// parts around the dialog.
#pragma once

#include "window_api.h"

// The procedure StartEditor creates the dialog with: the editor's own by default,
// QUORVEL.exe's ProgramDialogProc for the program's tests.
extern DLGPROC g_driverDialogProc;

// A key pressed with Ctrl (and Shift) held, through the dialog loop's message
// filter as the modal loop passes it.
void PressControlKey(UINT virtualKey, bool shift = false);

// Runs what is posted to the thread, as the dialog's loop would.
void DrainMessages();
