#include "main_window.h"

#include <QCloseEvent>
#include <QFontInfo>
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
void AddDialogColumn(QSplitter* splitter, QtDialog* dialog) {
  auto* column = new QWidget(splitter);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  dialog->setParent(column, Qt::Widget);
  layout->addWidget(dialog, 0, Qt::AlignTop | Qt::AlignLeft);
  layout->addStretch();
  column->setFixedWidth(dialog->width());
  column->setMinimumHeight(dialog->height());
  dialog->show();
  splitter->addWidget(column);
}

}  // namespace

// Built from the top down, each widget with its parent and the window's font from
// the start, so that nothing is measured twice.
MainWindow::MainWindow(QtDialog* dialog) : dialog_(dialog) {
  setWindowTitle(dialog->windowTitle());
  // The dialog's font by the family it resolved to: every other widget then finds
  // its font at once instead of searching the dialog's list of families again.
  QFont font = dialog->font();
  font.setFamilies({QFontInfo(font).family()});
  setFont(font);
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  setCentralWidget(splitter);
  AddDialogColumn(splitter, dialog);
  workspace_ = new Workspace(splitter);
  table_ = new CodeTable(workspace_);
  previewPage_ = new QWidget(workspace_);
  new QVBoxLayout(previewPage_);
  previewPage_->layout()->setContentsMargins(0, 0, 0, 0);
  workspace_->addTab(table_, QStringLiteral("一覧"));
  workspace_->addTab(previewPage_, QStringLiteral("プレビュー"));
  connect(workspace_, &QTabWidget::currentChanged, this, [this] {
    if (workspace_->currentWidget() == previewPage_) preview();
  });
  splitter->addWidget(workspace_);
  splitter->setCollapsible(0, false);
  splitter->setStretchFactor(1, 1);
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
  workspace_->setCurrentWidget(previewPage_);
  preview()->sampleText()->setFocus(Qt::ShortcutFocusReason);
}

// Built when first shown: until then it would only slow the start.
TextPreview* MainWindow::preview() {
  if (!preview_) {
    preview_ = new TextPreview(previewPage_);
    previewPage_->layout()->addWidget(preview_);
    preview_->ShowImage(g_document.image);
  }
  return preview_;
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
  if (preview_) preview_->ShowImage(g_document.image);
}

void MainWindow::ImageWritten(const uint8_t* before) {
  table_->ShowImage(g_document.image, before);
  if (preview_) preview_->ShowImage(g_document.image);
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
