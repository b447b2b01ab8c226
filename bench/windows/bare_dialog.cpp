// The bare side of bench/windows_startup: the editor's dialog template MAIN run
// modally with a procedure that adds nothing but ending on IDCANCEL (Esc, or the
// close button the watcher sends).
#include <windows.h>

#include <commctrl.h>  // after windows.h, whose types it uses

namespace {

INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;  // the system sets the first focus
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The template has up-down controls, whose class needs the common controls.
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  return static_cast<int>(
      DialogBoxParamW(GetModuleHandleW(nullptr), L"MAIN", nullptr, BareDialogProc, 0));
}
