// quorvel: the editor for Linux and macOS. Runs the editor dialog modally on the
// file named by the first argument; the dialog's result is the exit code.
#include <QApplication>

#include "editor_dialog.h"
#include "editor_start.h"
#include "editor_state.h"
#include "program_start.h"
#include "window_api.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  g_moduleHandle = GetModuleHandleA(nullptr);
  TakeFirstArgument(argc > 1 ? argv[1] : nullptr, g_document.path, sizeof g_document.path);
  return static_cast<int>(
      DialogBoxParamA(g_moduleHandle, kEditorDialogTemplate, nullptr, EditorDialogProc, 0));
}
