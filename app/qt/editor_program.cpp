#include "editor_program.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "editor_dialog.h"
#include "editor_start.h"
#include "editor_state.h"
#include "main_window.h"
#include "program_start.h"
#include "window_api.h"

void PrepareQtEditorStart(int argc, char** argv) {
  g_moduleHandle = GetModuleHandleA(nullptr);
  g_dialogHost = HostDialogInMainWindow;
  TakeFirstArgument(argc > 1 ? argv[1] : nullptr, g_document.path, sizeof g_document.path);
}

int RunEditorProgram(int argc, char** argv) {
  PrepareQtEditorStart(argc, argv);
  return static_cast<int>(
      DialogBoxParamA(g_moduleHandle, kEditorDialogTemplate, nullptr, EditorDialogProc, 0));
}

void SetUpQtProgram(QApplication& application, QTranslator& translator) {
  QCoreApplication::setOrganizationName("QUORVEL");
  QCoreApplication::setApplicationName("quorvel");
  // Qt's own texts (the file dialog, the standard buttons); the editor's labels are
  // its own and stay as they are.
  if (translator.load(QLocale(), "qtbase", "_",
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    application.installTranslator(&translator);
  }
}
