// QUORVEL.exe's dialog: the template MAIN and EditorDialogProc exactly as they are,
// with the program around them (undo keys, system menu, dropped files, position).
#pragma once

#include <windows.h>

// The procedure QUORVEL.exe runs the template with. Every message goes to
// EditorDialogProc first, and its answer stands, except for the few messages the
// editor leaves alone: the system menu's items, its opening, dropped files. So the
// dialog behaves as the editor alone makes it, byte for byte.
INT_PTR CALLBACK ProgramDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Whether both ends of the caption at the top of rect are on a screen, so that a
// window put back where it stood last time can be grabbed there and moved (the
// screens may have changed since).
bool IsCaptionOnScreen(const RECT& rect);
