// The editor driven on the real dialog, created from the real template with
// CreateDialogParamA and worked with the messages that keyboard and mouse produce.
#include <string>
#include <vector>

#include "editor_dialog.h"
#include "editor_driver.h"
#include "editor_driver_win32.h"
#include "editor_start.h"
#include "editor_state.h"

namespace {

HWND g_dialog = nullptr;

HWND Item(int id) { return GetDlgItem(g_dialog, id); }

// A key as the dialog's message loop receives it.
void SendDialogKey(UINT virtualKey) {
  MSG message = {};
  message.hwnd = GetFocus();
  message.message = WM_KEYDOWN;
  message.wParam = virtualKey;
  message.lParam = 1;
  if (!IsDialogMessageW(g_dialog, &message)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  DrainMessages();
}

// The dialog of CloseEditor's modal run: closed as soon as it stands.
INT_PTR CALLBACK CloseAtOnceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) PostMessageW(dialog, WM_CLOSE, 0, 0);
  return EditorDialogProc(dialog, message, wParam, lParam);
}

}  // namespace

DLGPROC g_driverDialogProc = EditorDialogProc;

// Runs what the calls above posted, as the dialog's message loop would.
void DrainMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (g_dialog && IsDialogMessageW(g_dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The thread's key state says Ctrl is down while the key's message goes through
// the loop: a posted key changes no key state of its own.
void PressControlKey(UINT virtualKey, bool shift) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  PostMessageW(GetFocus(), WM_KEYDOWN, virtualKey, 1);
  DrainMessages();
  keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

void StartEditor(const std::string& commandLine) {
  StopEditor();
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  PrepareEditorStart(GetModuleHandleA(nullptr), commandLine.c_str());
  g_dialog =
      CreateDialogParamA(g_moduleHandle, kEditorDialogTemplate, nullptr, g_driverDialogProc, 0);
  DrainMessages();
}

void StopEditor() {
  if (g_dialog) DestroyWindow(g_dialog);
  g_dialog = nullptr;
  DrainMessages();
  ResetEditorState();
}

HWND EditorWindow() { return g_dialog; }

// EndDialog hides a dialog that was not run modally.
bool EditorIsOpen() { return g_dialog && IsWindowVisible(g_dialog); }

// A dialog created with CreateDialogParamA keeps EndDialog's result to itself, so
// the result is taken from a second, modal run of the same dialog that closes at
// once: DialogBoxParamA returns it.
bool CloseEditor(int* result) {
  SendMessageA(g_dialog, WM_CLOSE, 0, 0);
  DrainMessages();
  bool ended = !IsWindowVisible(g_dialog);
  *result = static_cast<int>(
      DialogBoxParamA(g_moduleHandle, kEditorDialogTemplate, nullptr, CloseAtOnceProc, 0));
  return ended;
}

void FocusControl(int id) {
  // As Tab moves the focus: an edit's text is selected, a push button becomes default.
  SendMessageW(g_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
  DrainMessages();
}

int FocusedControl() { return GetDlgCtrlID(GetFocus()); }

// The test's Shift-JIS text as the keyboard types it, whatever the system's code page.
void TypeText(const std::string& text) {
  for (wchar_t character : WideFromShiftJis(text)) {
    SendMessageW(GetFocus(), WM_CHAR, character, 1);
    DrainMessages();
  }
}

void PressKey(Key key) {
  switch (key) {
    case Key::Up:
      SendMessageW(GetFocus(), WM_KEYDOWN, VK_UP, 1);
      break;
    case Key::Down:
      SendMessageW(GetFocus(), WM_KEYDOWN, VK_DOWN, 1);
      break;
    case Key::Backspace:
      SendMessageW(GetFocus(), WM_CHAR, VK_BACK, 1);
      break;
    case Key::End:
      SendMessageW(GetFocus(), WM_KEYDOWN, VK_END, 1);
      break;
    case Key::Escape: SendDialogKey(VK_ESCAPE); break;
    case Key::Enter: SendDialogKey(VK_RETURN); break;
    case Key::Tab: SendDialogKey(VK_TAB); break;
  }
  DrainMessages();
}

void Click(int id) {
  SendMessageW(Item(id), BM_CLICK, 0, 0);
  DrainMessages();
}

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

void Selection(int id, int* start, int* end) {
  DWORD from = 0, to = 0;
  SendMessageA(Item(id), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  *start = static_cast<int>(from);
  *end = static_cast<int>(to);
}

int NextTabItem(int id) { return GetDlgCtrlID(GetNextDlgTabItem(g_dialog, Item(id), FALSE)); }

ControlFacts DescribeControl(int id) {
  HWND control = Item(id);
  if (!control) return ControlFacts{false, "", 0, 0};
  char className[64];
  GetClassNameA(control, className, sizeof className);
  return ControlFacts{true, className, static_cast<uint32_t>(GetWindowLongA(control, GWL_STYLE)),
                      static_cast<uint32_t>(GetWindowLongA(control, GWL_EXSTYLE))};
}
