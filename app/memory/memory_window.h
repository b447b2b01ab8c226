// The in-memory window layer: the Windows calls of portable/win32_api.h over a
// model of the dialog and its controls, with the effects the real controls show
// (see the notes at each function in memory_window.cpp). Nothing is drawn; tests
// act as the user through the calls below and read the state back.
#pragma once

#include <cstdint>
#include <string>

#include "window_api.h"

enum class MemoryKey { Up, Down, Escape, Enter, Backspace, Tab, End };

// Gives control the keyboard focus as the Tab key does: an edit's whole text is
// selected. Refused (false) for a disabled or hidden control.
bool MemorySetFocus(HWND control);
HWND MemoryFocusedControl(HWND dialog);

// Types text into the focused edit, one character at a time, as keystrokes do:
// each replaces the selection, unless ES_NUMBER refuses it or the field's limit
// leaves no room for it (the selection then just goes). Characters are read as
// code page 932 (one or two bytes).
void MemoryTypeText(HWND dialog, const std::string& text);

// A key pressed while the focus is on the focused control.
void MemoryPressKey(HWND dialog, MemoryKey key);

// A mouse click on a button: auto check boxes toggle, auto radio buttons check
// themselves and clear the others; then BN_CLICKED. Disabled buttons ignore it.
void MemoryClick(HWND control);

// The next control that Tab reaches from control (GetNextDlgTabItem).
HWND MemoryNextTabItem(HWND dialog, HWND control);

// Whether EndDialog was called, and with which result.
bool MemoryDialogEnded(HWND dialog, INT_PTR* result);

// What the control was created with, and its selection (bytes).
std::string MemoryClassName(HWND control);
uint32_t MemoryStyle(HWND control);
uint32_t MemoryExStyle(HWND control);
int MemoryControlId(HWND control);
void MemorySelection(HWND control, int* start, int* end);
