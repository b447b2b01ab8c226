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
#include "qt_controls.h"
#include "window_api.h"

namespace {

MainWindow* g_mainWindow = nullptr;

}  // namespace

QtDialog* StartQtEditor(int argc, char** argv) {
  g_moduleHandle = GetModuleHandleA(nullptr);
  TakeFirstArgument(argc > 1 ? argv[1] : nullptr, g_document.path, sizeof g_document.path);
  StopQtEditor();
  g_mainWindow = new MainWindow;
  auto* dialog = dynamic_cast<QtDialog*>(
      WidgetOf(CreateDialogParamA(g_moduleHandle, kEditorDialogTemplate,
                                  HandleOf(g_mainWindow->dialogColumn()), EditorDialogProc, 0)));
  if (!dialog) {
    StopQtEditor();
    return nullptr;
  }
  g_mainWindow->HostDialog(dialog);
  if (!dialog->ending) g_mainWindow->show();
  return dialog;
}

void StopQtEditor() {
  delete g_mainWindow;
  g_mainWindow = nullptr;
}

int RunEditorProgram(int argc, char** argv) {
  QtDialog* dialog = StartQtEditor(argc, argv);
  if (!dialog) return -1;
  const INT_PTR result = RunUntilEnded(dialog);
  StopQtEditor();
  return static_cast<int>(result);
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
