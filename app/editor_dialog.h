// The editor dialog: its procedure and the handlers of its controls.
#pragma once

#include <cstdint>

#include "window_api.h"

// The procedure of the dialog "Main". Returns TRUE for the messages it handles
// (WM_INITDIALOG, WM_CLOSE, WM_COMMAND) and FALSE for every other.
INT_PTR CALLBACK EditorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Whether a scope box is checked: the change then applies to a class, and the
// selected code is not what the value fields show.
bool AnyScopeBoxChecked();

// Greys out the character and number fields and the selector while any scope box
// is checked; when none is, enables them and shows the selected code's values again.
void UpdateScopeControls();

// Loads path as the open command does once a file is picked (the other ways in:
// recent files, a dropped file); path is as the file layer takes it (UTF-8 on
// Windows). False, with nothing loaded or changed, for a path longer than the path
// buffer holds.
bool OpenDocument(const char* path);

// Writes the file back as it was before the last change written (undo), or as it
// was after the change last undone (redo), through the same guarded write and
// question as the change command; then shows the selected code's values again
// unless a scope box is checked. Nothing happens when there is nothing to undo or
// redo; a failed write leaves the history as it was.
void UndoChange();
void RedoChange();

// Writes image, a whole edited copy of the document's image (values measured from a
// font, say), as one change: the same guarded write, question and undo step as the
// change command; then shows the selected code's values again unless a scope box is
// checked, so that the fields never hold values the file no longer has. Says "No file
// is open" without a document. True when the file now holds image.
bool WriteImageAsChange(const uint8_t* image);
