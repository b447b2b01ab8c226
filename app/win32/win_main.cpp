// QUORVEL.exe: runs the editor dialog modally, with the program around it; its
// result is the exit code. The settings are read once here and written once at exit.
#include <cstdlib>

#include "editor_dialog.h"
#include "editor_start.h"
#include "preview_panel.h"
#include "program_dialog.h"
#include "program_files.h"
#include "wide_text.h"
#include "window_api.h"

// What the C++ library does with an exception nobody caught. Its own handler
// prints the exception's type, demangled, to standard error, which a windowed
// program does not have; this one ends the program the same way, and keeps the
// 45 KB demangler out of QUORVEL.exe.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The up-down class must be registered before the dialog is created.
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  const std::wstring settingsPath = SettingsFilePath();
  g_programSettings = ReadSettingsFile(settingsPath);
  if (g_programSettings.companionOpen) StartOpeningPreviewFont();
  HINSTANCE module = GetModuleHandleA(nullptr);
  // The file's name as the document takes it, whatever the system's code page.
  PrepareEditorStart(module, DocumentPathFromWide(GetCommandLineW()).c_str());
  // The wide call: the template's Japanese labels stay as they are on every system.
  INT_PTR result = DialogBoxParamW(module, WideFromUtf8(kEditorDialogTemplate).c_str(), nullptr,
                                   ProgramDialogProc, 0);
  WriteSettingsFile(settingsPath, g_programSettings);
  ExitProcess(static_cast<UINT>(result));
}
