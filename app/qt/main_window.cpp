#include "main_window.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <cstdio>

#include "code_table.h"
#include "editor_events.h"
#include "editor_state.h"
#include "resources/resource.h"
#include "text_preview.h"

namespace {

constexpr int kWorkspaceWidth = 600;
constexpr int kWindowHeight = 480;

// The one window the editor's events go to.
MainWindow* g_window = nullptr;

// Tab and Shift+Tab move among the workspace's own widgets: it never joins the
// dialog's chain, nor the dialog its.
class Workspace : public QTabWidget {
 public:
  using QTabWidget::QTabWidget;

 protected:
  bool focusNextPrevChild(bool next) override { return MoveFocusWithin(this, next); }
};

bool AnyScopeChecked() {
  return IsButtonChecked(IDC_SCOPE_FULLWIDTH) || IsButtonChecked(IDC_SCOPE_HALFKANA) ||
         IsButtonChecked(IDC_SCOPE_HALFALNUM);
}

// The dialog's column: the dialog at its own size at the top.
QWidget* DialogColumn(QtDialog* dialog) {
  auto* column = new QWidget;
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  dialog->setParent(column, Qt::Widget);
  layout->addWidget(dialog, 0, Qt::AlignTop | Qt::AlignLeft);
  layout->addStretch();
  column->setFixedWidth(dialog->width());
  column->setMinimumHeight(dialog->height());
  dialog->show();
  return column;
}

}  // namespace

MainWindow::MainWindow(QtDialog* dialog)
    : dialog_(dialog),
      workspace_(new Workspace),
      table_(new CodeTable(workspace_)),
      preview_(new TextPreview(workspace_)) {
  setWindowTitle(dialog->windowTitle());
  setFont(dialog->font());
  workspace_->addTab(table_, QStringLiteral("一覧"));
  workspace_->addTab(preview_, QStringLiteral("プレビュー"));

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->addWidget(DialogColumn(dialog));
  splitter->addWidget(workspace_);
  splitter->setCollapsible(0, false);
  splitter->setStretchFactor(1, 1);
  setCentralWidget(splitter);
  resize(dialog->width() + kWorkspaceWidth, std::max(dialog->height(), kWindowHeight));

  table_->codeChosen = [this](uint8_t code) { SelectCode(code); };
  new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_1), this, [this] { FocusTable(); });
  new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_2), this, [this] { FocusPreview(); });
  auto* escape =
      new QShortcut(QKeySequence(Qt::Key_Escape), workspace_, [this] { ReturnToDialog(); });
  escape->setContext(Qt::WidgetWithChildrenShortcut);

  g_window = this;
  g_editorEvents.documentLoaded = [] { g_window->DocumentLoaded(); };
  g_editorEvents.imageWritten = [](const uint8_t* before) { g_window->ImageWritten(before); };
  g_editorEvents.commandHandled = [] { g_window->CommandHandled(); };
}

MainWindow::~MainWindow() {
  if (g_window != this) return;
  g_window = nullptr;
  g_editorEvents = EditorEvents{};
}

void MainWindow::FocusTable() {
  workspace_->setCurrentWidget(table_);
  table_->view()->setFocus(Qt::ShortcutFocusReason);
}

void MainWindow::FocusPreview() {
  workspace_->setCurrentWidget(preview_);
  preview_->sampleText()->setFocus(Qt::ShortcutFocusReason);
}

void MainWindow::ReturnToDialog() {
  QWidget* target = WidgetOf(GetDlgItem(HandleOf(dialog_), IDC_CHARACTER));
  // Greyed by a scope box: the next control of the dialog's chain that can take it.
  while (target && !(target->isEnabled() && (target->focusPolicy() & Qt::TabFocus))) {
    target = target->nextInFocusChain();
    if (!dialog_->isAncestorOf(target)) target = nullptr;
  }
  if (!target) return;
  target->setFocus(Qt::ShortcutFocusReason);
  if (auto* edit = dynamic_cast<QtEdit*>(target)) edit->selectAll();
}

void MainWindow::DocumentLoaded() {
  table_->ShowImage(g_document.image, nullptr);
  preview_->ShowImage(g_document.image);
}

void MainWindow::ImageWritten(const uint8_t* before) {
  table_->ShowImage(g_document.image, before);
  preview_->ShowImage(g_document.image);
}

void MainWindow::CommandHandled() {
  table_->FollowSelection(g_editor.currentCode[0], !AnyScopeChecked());
}

// As if its number were typed into the number field: the dialog's own handlers
// select the code and show its values.
void MainWindow::SelectCode(uint8_t code) {
  char number[4];
  std::snprintf(number, sizeof number, "%u", static_cast<unsigned>(code));
  SetDlgItemTextA(HandleOf(dialog_), IDC_NUMBER, number);
}

// The window's close button is the dialog's: it decides, through WM_CLOSE.
void MainWindow::closeEvent(QCloseEvent* event) {
  if (dialog_->ending) {
    event->accept();
    return;
  }
  event->ignore();
  dialog_->close();
}

void HostDialogInMainWindow(QtDialog* dialog) { new MainWindow(dialog); }
