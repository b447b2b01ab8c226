#include "editor_program.h"

#include <QApplication>
#include <QIconEngine>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QProxyStyle>
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

// An icon of the style made only when first drawn or asked for its pixels.
class DeferredStandardIcon : public QIconEngine {
 public:
  DeferredStandardIcon(const QStyle* style, QStyle::StandardPixmap which)
      : style_(style), which_(which) {}
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Made().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Made().pixmap(size, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Made().actualSize(size, mode, state);
  }
  QIconEngine* clone() const override { return new DeferredStandardIcon(style_, which_); }

 private:
  const QIcon& Made() {
    if (icon_.isNull()) icon_ = style_->standardIcon(which_);
    return icon_;
  }
  const QStyle* style_;
  QStyle::StandardPixmap which_;
  QIcon icon_;
};

// The application's own style, except that the menu bar's overflow button gets its
// icon only when it is first shown: the style reads that icon's image files at once,
// probing every image plugin, which costs more at start-up than the whole menu bar,
// and the button shows only in a window too narrow for the menus.
class EditorStyle : public QProxyStyle {
 public:
  QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                     const QWidget* widget) const override {
    if (which == SP_ToolBarHorizontalExtensionButton)
      return QIcon(new DeferredStandardIcon(baseStyle(), which));
    return QProxyStyle::standardIcon(which, option, widget);
  }
};

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
  QApplication::setStyle(new EditorStyle);
  // Qt's own texts (the file dialog, the standard buttons); the editor's labels are
  // its own and stay as they are.
  if (translator.load(QLocale(), "qtbase", "_",
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    application.installTranslator(&translator);
  }
}
