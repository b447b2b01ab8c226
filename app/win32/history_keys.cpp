#include "history_keys.h"

#include "companion_window.h"
#include "editor_dialog.h"
#include "measure_dialog.h"

namespace {

HWND g_dialog = nullptr;
HHOOK g_filter = nullptr;

bool IsKeyDown(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

bool IsEditControl(HWND window) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  return lstrcmpiW(className, L"Edit") == 0;
}

// The field's own undo, while it has one. An edit keeps saying it can undo after
// undoing (its undo toggles), so its buffer is emptied: the next Ctrl+Z then goes to
// the file's history.
bool UndoTypingIn(HWND field) {
  if (!IsEditControl(field) || !SendMessageW(field, EM_CANUNDO, 0, 0)) return false;
  SendMessageW(field, EM_UNDO, 0, 0);
  SendMessageW(field, EM_EMPTYUNDOBUFFER, 0, 0);
  return true;
}

// The filter runs for every dialog loop of the thread, message boxes and the file
// dialog included, and for menus: only the editor dialog's own keys count.
LRESULT CALLBACK FilterDialogMessage(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX) {
    MSG* message = reinterpret_cast<MSG*>(lParam);
    if (HandleHistoryKey(*message) || HandleMeasureKey(*message, g_dialog) ||
        HandleCompanionMessage(message))
      return TRUE;
  }
  return CallNextHookEx(g_filter, code, wParam, lParam);
}

}  // namespace

void InstallHistoryKeys(HWND dialog) {
  g_dialog = dialog;
  if (!g_filter)
    g_filter = SetWindowsHookExW(WH_MSGFILTER, FilterDialogMessage, nullptr, GetCurrentThreadId());
}

void RemoveHistoryKeys() {
  if (g_filter) UnhookWindowsHookEx(g_filter);
  g_filter = nullptr;
  g_dialog = nullptr;
}

bool HandleHistoryKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || !g_dialog) return false;
  const HWND root = GetAncestor(message.hwnd, GA_ROOT);
  if ((root != g_dialog && root != CompanionWindow()) || !IsWindowEnabled(g_dialog)) return false;
  if (!IsKeyDown(VK_CONTROL) || IsKeyDown(VK_MENU)) return false;
  const bool shift = IsKeyDown(VK_SHIFT);
  if (message.wParam == 'Z' && !shift) {
    if (!UndoTypingIn(message.hwnd)) UndoChange();
    return true;
  }
  if (message.wParam == 'Y' || (message.wParam == 'Z' && shift)) {
    RedoChange();
    return true;
  }
  return false;
}
