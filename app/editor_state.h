// The editor's module state: the dialog's handles, the current code, the one
// document, the module handle and the shared text buffer. One editor runs at a time.
#pragma once

#include "edit_history.h"
#include "metrics_document.h"
#include "path_text.h"
#include "value_edit.h"
#include "window_api.h"
#include "window_title.h"

struct EditorState {
  HWND dialog;          // owner of the message boxes, target of every field access
  HWND selector;        // IDC_UPDOWN
  HWND numberField;     // IDC_NUMBER
  HWND characterField;  // IDC_CHARACTER
  // The code shown and edited when no scope box is checked, followed by a NUL so
  // that it is also the one-character text the character field echoes.
  unsigned char currentCode[2];
  // The texts the value fields were last shown for a record, with the exact values
  // behind them (see ShowRecord).
  ShownFields shown;
};

extern EditorState g_editor;
extern MetricsDocument g_document;
// The changes written to the document's file, for undo and redo (the Linux/macOS
// program offers them); cleared by every load.
extern EditHistory g_history;
extern HINSTANCE g_moduleHandle;

// Scratch for one field text, formatted number or caption at a time.
extern char g_textBuffer[kTextBufferSize];

// The file-open dialog's structure and result buffer. They live as long as the
// program, so the dialog preselects the filter chosen last time.
extern OPENFILENAMEA g_openFileName;
extern char g_openFileBuffer[kWindowPathSize];

// Whether the dialog's check box or radio button id is checked.
inline bool IsButtonChecked(int id) { return IsDlgButtonChecked(g_editor.dialog, id) == BST_CHECKED; }

// Back to the state at program start: no document, no handles, nothing chosen in
// the file-open dialog. Tests call it to start the editor afresh.
void ResetEditorState();
