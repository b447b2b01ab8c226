// The editor driven over the in-memory window layer.
#include "editor_driver.h"
#include "editor_dialog.h"
#include "editor_start.h"
#include "editor_state.h"
#include "memory/memory_window.h"

namespace {

HWND g_dialog = nullptr;

HWND Item(int id) { return GetDlgItem(g_dialog, id); }

}  // namespace

void StartEditor(const std::string& commandLine) {
  StopEditor();
  ResetEditorState();
  PrepareEditorStart(GetModuleHandleA(nullptr), commandLine.c_str());
  g_dialog = CreateDialogParamA(g_moduleHandle, kEditorDialogTemplate, nullptr, EditorDialogProc, 0);
}

void StopEditor() {
  if (g_dialog) DestroyWindow(g_dialog);
  g_dialog = nullptr;
  ResetEditorState();
}

HWND EditorWindow() { return g_dialog; }

bool EditorIsOpen() { return g_dialog && !MemoryDialogEnded(g_dialog, nullptr); }

bool CloseEditor(int* result) {
  INT_PTR ended = 0;
  SendMessageA(g_dialog, WM_CLOSE, 0, 0);
  bool hasEnded = MemoryDialogEnded(g_dialog, &ended);
  *result = static_cast<int>(ended);
  return hasEnded;
}

void FocusControl(int id) { MemorySetFocus(Item(id)); }

int FocusedControl() {
  HWND focus = MemoryFocusedControl(g_dialog);
  return focus ? MemoryControlId(focus) : 0;
}

void TypeText(const std::string& text) { MemoryTypeText(g_dialog, text); }

void PressKey(Key key) {
  switch (key) {
    case Key::Up: MemoryPressKey(g_dialog, MemoryKey::Up); return;
    case Key::Down: MemoryPressKey(g_dialog, MemoryKey::Down); return;
    case Key::Escape: MemoryPressKey(g_dialog, MemoryKey::Escape); return;
    case Key::Enter: MemoryPressKey(g_dialog, MemoryKey::Enter); return;
    case Key::Backspace: MemoryPressKey(g_dialog, MemoryKey::Backspace); return;
    case Key::Tab: MemoryPressKey(g_dialog, MemoryKey::Tab); return;
    case Key::End: MemoryPressKey(g_dialog, MemoryKey::End); return;
  }
}

void Click(int id) { MemoryClick(Item(id)); }

std::string ControlText(int id) {
  char text[1024];
  GetDlgItemTextA(g_dialog, id, text, sizeof text);
  return text;
}

std::string Caption() {
  char text[1024];
  GetWindowTextA(g_dialog, text, sizeof text);
  return text;
}

bool IsChecked(int id) { return IsDlgButtonChecked(g_dialog, id) == BST_CHECKED; }
bool IsEnabled(int id) { return IsWindowEnabled(Item(id)) != FALSE; }
void Selection(int id, int* start, int* end) { MemorySelection(Item(id), start, end); }

int NextTabItem(int id) { return MemoryControlId(MemoryNextTabItem(g_dialog, Item(id))); }

ControlFacts DescribeControl(int id) {
  HWND control = Item(id);
  if (!control) return ControlFacts{false, "", 0, 0};
  return ControlFacts{true, MemoryClassName(control), MemoryStyle(control), MemoryExStyle(control)};
}
