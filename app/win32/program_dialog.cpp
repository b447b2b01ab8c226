#include "program_dialog.h"

#include <shellapi.h>

#include "companion_window.h"
#include "editor_dialog.h"
#include "editor_events.h"
#include "history_keys.h"
#include "program_files.h"
#include "system_menu.h"

namespace {

void OnDocumentLoaded() {
  RememberLoadedFile();
  CompanionDocumentLoaded();
}

// WM_INITDIALOG, before the editor's: the load it makes of the command line's file
// is the first one remembered. The companion follows every load, write and control
// notification of the dialog, as the Qt program's window does.
void OnBeforeInitDialog() {
  g_editorEvents.documentLoaded = OnDocumentLoaded;
  g_editorEvents.imageWritten = CompanionImageWritten;
  g_editorEvents.commandHandled = CompanionCommandHandled;
}

// Where the dialog stood last time, if that is still on a screen (the screens may
// have changed since); else centred as the template says.
void RestoreWindowPosition(HWND dialog) {
  if (!g_programSettings.hasWindowPosition) return;
  RECT rect;
  GetWindowRect(dialog, &rect);
  OffsetRect(&rect, g_programSettings.windowLeft - rect.left,
             g_programSettings.windowTop - rect.top);
  if (!IsCaptionOnScreen(rect)) return;
  SetWindowPos(dialog, nullptr, rect.left, rect.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// WM_INITDIALOG, after the editor's: the program's parts around the dialog.
void OnAfterInitDialog(HWND dialog) {
  RestoreWindowPosition(dialog);
  InstallHistoryKeys(dialog);
  AddSystemMenuItems(dialog);
  DragAcceptFiles(dialog, TRUE);
  CreateCompanion(dialog);
}

// WM_DESTROY: the position to keep (a minimised dialog keeps the one it had), and
// nothing of the program left listening.
void OnDestroy(HWND dialog) {
  // The companion first, so that it keeps its placement while its owner stands.
  if (HWND companion = CompanionWindow()) DestroyWindow(companion);
  RECT rect;
  if (!IsIconic(dialog) && GetWindowRect(dialog, &rect)) {
    g_programSettings.hasWindowPosition = true;
    g_programSettings.windowLeft = rect.left;
    g_programSettings.windowTop = rect.top;
  }
  RemoveHistoryKeys();
  g_editorEvents = EditorEvents{};
}

}  // namespace

bool IsCaptionOnScreen(const RECT& rect) {
  constexpr int kInset = 8;  // inside the frame
  const POINT left = {rect.left + kInset, rect.top + kInset};
  const POINT right = {rect.right - kInset, rect.top + kInset};
  return MonitorFromPoint(left, MONITOR_DEFAULTTONULL) &&
         MonitorFromPoint(right, MONITOR_DEFAULTTONULL);
}

INT_PTR CALLBACK ProgramDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) OnBeforeInitDialog();
  const INT_PTR answer = EditorDialogProc(dialog, message, wParam, lParam);
  switch (message) {
    case WM_INITDIALOG: OnAfterInitDialog(dialog); break;
    case WM_DESTROY: OnDestroy(dialog); break;
    case WM_INITMENUPOPUP: UpdateSystemMenu(reinterpret_cast<HMENU>(wParam)); break;
    // The system menu's own items; the system's commands (move, close) go on.
    case WM_SYSCOMMAND:
      if (RunSystemMenuItem(static_cast<UINT>(wParam & 0xFFF0))) return TRUE;
      break;
    // Its submenu's items, with no control behind them (the editor ignored them).
    case WM_COMMAND:
      if (lParam == 0) RunSystemMenuItem(LOWORD(wParam));
      break;
    case WM_DROPFILES: OpenDroppedFile(reinterpret_cast<HDROP>(wParam)); return TRUE;
  }
  return answer;
}
