// QUORVEL.exe: runs the editor dialog modally; its result is the exit code.
#include "editor_dialog.h"
#include "editor_start.h"
#include "window_api.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The up-down class must be registered before the dialog is created.
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  HINSTANCE module = GetModuleHandleA(nullptr);
  PrepareEditorStart(module, GetCommandLineA());
  INT_PTR result = DialogBoxParamA(module, kEditorDialogTemplate, nullptr, EditorDialogProc, 0);
  ExitProcess(static_cast<UINT>(result));
}
