// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z in the editor dialog: undo and redo with the
// editor's history, through a message filter in the dialog's modal loop (the
// template has no accelerators and stays as it is).
#pragma once

#include <windows.h>

// Starts and stops filtering the keys of this thread's dialog loops for dialog (and
// for its companion, whose Ctrl+1 and Tab the filter passes on: companion_window.h).
void InstallHistoryKeys(HWND dialog);
void RemoveHistoryKeys();

// Acts on a key message of the dialog's loop, for the dialog or its companion; true
// when it was an undo or redo key, which the dialog must then not see. Ctrl+Z in a
// field with typing to take back undoes that typing first, as a text field does;
// once it has none, and anywhere else in the dialog or the companion, it undoes the
// last change to the file. Ctrl+Y and
// Ctrl+Shift+Z redo the last change undone (the fields have no redo of their own).
// Keys of another window (a message box, the file dialog) and keys while the
// dialog is disabled behind a modal window are left alone.
bool HandleHistoryKey(const MSG& message);
