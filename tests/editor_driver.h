// The editor as its user meets it, over one window layer. The behaviour suite
// (editor_dialog_test.cpp) is written against these calls only; each window layer
// implements them once: editor_driver_memory.cpp (in-memory model),
// editor_driver_win32.cpp (the real dialog under Windows or Wine).
// Texts are the bytes the handlers read with GetDlgItemTextA: code page 932 on
// Windows; elsewhere code page 932 in the character field and UTF-8 in the others.
#pragma once

#include <cstdint>
#include <string>

#include "window_api.h"

enum class Key { Up, Down, Escape, Enter, Backspace, Tab, End };

// Starts the editor afresh as the program does with this command line: the module
// state is reset, the first argument becomes the path, the dialog is created.
void StartEditor(const std::string& commandLine);
// Removes the dialog, whatever state it is in (after each scenario).
void StopEditor();
HWND EditorWindow();
// False once the dialog has ended.
bool EditorIsOpen();

// The close command (WM_CLOSE). Returns whether the dialog ended; *result receives
// the result it ended with.
bool CloseEditor(int* result);

// Gives the control the focus as the Tab key does: an edit's text gets selected.
void FocusControl(int id);
int FocusedControl();
// Types text into the focused control, one keystroke per character.
void TypeText(const std::string& text);
void PressKey(Key key);
// Replaces the field's text as a user does: select it all, then type (or, to
// leave it empty, delete).
inline void TypeInto(int id, const std::string& text) {
  FocusControl(id);
  if (text.empty()) {
    PressKey(Key::Backspace);
  } else {
    TypeText(text);
  }
}
// A mouse click on a button.
void Click(int id);

std::string ControlText(int id);
std::string Caption();
bool IsChecked(int id);
bool IsEnabled(int id);
void Selection(int id, int* start, int* end);
// The control Tab moves to from id.
int NextTabItem(int id);

struct ControlFacts {
  bool exists;
  std::string className;  // as the layer names it; compare without case
  uint32_t style;
  uint32_t exStyle;
};
ControlFacts DescribeControl(int id);
