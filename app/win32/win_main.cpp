// QUORVEL.exe: runs the editor dialog modally, with the program around it; its
// result is the exit code. The settings are read once here and written once at exit.
#include "editor_dialog.h"
#include "editor_start.h"
#include "program_dialog.h"
#include "program_files.h"
#include "wide_text.h"
#include "window_api.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The up-down class must be registered before the dialog is created.
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  const std::wstring settingsPath = SettingsFilePath();
  g_programSettings = ReadSettingsFile(settingsPath);
  HINSTANCE module = GetModuleHandleA(nullptr);
  // The file's name as the document takes it, whatever the system's code page.
  PrepareEditorStart(module, DocumentPathFromWide(GetCommandLineW()).c_str());
  // The wide call: the template's Japanese labels stay as they are on every system.
  INT_PTR result = DialogBoxParamW(module, WideFromUtf8(kEditorDialogTemplate).c_str(), nullptr,
                                   ProgramDialogProc, 0);
  WriteSettingsFile(settingsPath, g_programSettings);
  ExitProcess(static_cast<UINT>(result));
}
