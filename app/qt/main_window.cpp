#include "main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRawFont>
#include <QSettings>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>
#include <vector>

#include "code_table.h"
#include "control_tips.h"
#include "editor_dialog.h"
#include "editor_events.h"
#include "editor_state.h"
#include "error_report.h"
#include "font_measure_dialog.h"
#include "history_text.h"
#include "program_start.h"
#include "qt_dialog.h"
#include "recent_files.h"
#include "resources/resource.h"
#include "shift_jis.h"
#include "text_preview.h"
#include "window_title.h"

namespace {

constexpr int kWorkspaceWidth = 600;
constexpr int kWindowHeight = 480;
constexpr char kRecentFilesKey[] = "recentFiles";
constexpr char kGeometryKey[] = "window/geometry";
constexpr char kTabKey[] = "window/tab";
constexpr char kPreviewTextKey[] = "preview/text";
constexpr char kPreviewOutlinesKey[] = "preview/outlines";
constexpr char kPreviewGridKey[] = "preview/grid";
constexpr char kPreviewZoomKey[] = "preview/zoom";
constexpr char kClassFilterKey[] = "table/classFilter";
// フォントから測定's choices, one key each; kMeasureFontKey present means they are.
constexpr char kMeasureFontKey[] = "measure/font";
constexpr char kMeasureSizeKey[] = "measure/size";
constexpr char kMeasureFullWidthKey[] = "measure/fullWidth";
constexpr char kMeasureHalfKanaKey[] = "measure/halfKana";
constexpr char kMeasureHalfAlnumKey[] = "measure/halfAlnum";
constexpr char kMeasureRoundKey[] = "measure/round";
constexpr char kMeasureFullWidthSampleKey[] = "measure/fullWidthSample";
constexpr char kMeasureHalfKanaSampleKey[] = "measure/halfKanaSample";

// Settings belong to the program's run: the program names itself at start, tests
// do not, so their windows neither read nor write the user's settings.
bool UsesSettings() { return !QCoreApplication::organizationName().isEmpty(); }

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

// What the program says when no installed font can draw its Japanese labels,
// which then show as empty boxes.
const char kNoJapaneseFontNote[] =
    "no installed font has Japanese characters, so the labels show as empty boxes: "
    "install fonts-vlgothic or fonts-ipafont-gothic";

// Whether the dialog's font, or a font Qt can fall back to, draws its katakana. The
// dialog asks for Japanese families by name: resolved to one of them, the answer is
// at hand; only otherwise are the fonts asked.
bool CanDrawJapanese(const QFont& dialogFont) {
  QString resolved = QFontInfo(dialogFont).family();
  // With no font installed at all Qt draws boxes through a stand-in that has no
  // family, yet claims every character.
  if (resolved.isEmpty()) return false;
  if (dialogFont.families().contains(resolved)) return true;
  if (QRawFont::fromFont(dialogFont).supportsCharacter(U'キ')) return true;
  return !QFontDatabase::families(QFontDatabase::Japanese).isEmpty();
}

MeasureChoices ReadMeasureChoices(const QSettings& settings) {
  MeasureChoices choices;
  choices.font = settings.value(kMeasureFontKey).toString().toStdString();
  choices.pixelSize = settings.value(kMeasureSizeKey).toInt();
  choices.fullWidth = settings.value(kMeasureFullWidthKey).toBool();
  choices.halfKana = settings.value(kMeasureHalfKanaKey).toBool();
  choices.halfAlnum = settings.value(kMeasureHalfAlnumKey).toBool();
  choices.roundEdges = settings.value(kMeasureRoundKey).toBool();
  choices.fullWidthSample = settings.value(kMeasureFullWidthSampleKey).toString().toStdString();
  choices.halfKanaSample = settings.value(kMeasureHalfKanaSampleKey).toString().toStdString();
  return choices;
}

void WriteMeasureChoices(const MeasureChoices& choices, QSettings& settings) {
  settings.setValue(kMeasureFontKey, QString::fromStdString(choices.font));
  settings.setValue(kMeasureSizeKey, choices.pixelSize);
  settings.setValue(kMeasureFullWidthKey, choices.fullWidth);
  settings.setValue(kMeasureHalfKanaKey, choices.halfKana);
  settings.setValue(kMeasureHalfAlnumKey, choices.halfAlnum);
  settings.setValue(kMeasureRoundKey, choices.roundEdges);
  settings.setValue(kMeasureFullWidthSampleKey, QString::fromStdString(choices.fullWidthSample));
  settings.setValue(kMeasureHalfKanaSampleKey, QString::fromStdString(choices.halfKanaSample));
}

}  // namespace

// Built from the top down, each widget with its parent and the window's font from
// the start, so that nothing is measured twice.
MainWindow::MainWindow() {
  // The dialog's font by the family it resolved to: every other widget then finds
  // its font at once instead of searching the dialog's list of families again.
  const QFont dialogFont = DialogFont(kMainDialogFrame);
  QFont font = dialogFont;
  font.setFamilies({QFontInfo(font).family()});
  setFont(font);
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  setCentralWidget(splitter);
  dialogColumn_ = new QWidget(splitter);
  auto* column = new QVBoxLayout(dialogColumn_);
  column->setContentsMargins(0, 0, 0, 0);
  splitter->addWidget(dialogColumn_);
  // The workspace's column: the tabs, and under them the line that says what 変更
  // will do.
  auto* workspaceColumn = new QWidget(splitter);
  workspace_ = new Workspace(workspaceColumn);
  table_ = new CodeTable(workspace_);
  previewPage_ = new QWidget(workspace_);
  new QVBoxLayout(previewPage_);
  previewPage_->layout()->setContentsMargins(0, 0, 0, 0);
  workspace_->addTab(table_, QStringLiteral("一覧"));
  workspace_->addTab(previewPage_, QStringLiteral("プレビュー"));
  connect(workspace_, &QTabWidget::currentChanged, this, [this] {
    if (workspace_->currentWidget() == previewPage_) preview();
  });
  pendingLine_ = new QLabel(workspaceColumn);
  pendingLine_->setTextFormat(Qt::PlainText);
  pendingLine_->setAccessibleName(QStringLiteral("変更の予定"));
  // A long line wraps rather than widening the window.
  pendingLine_->setWordWrap(true);
  pendingLine_->setContentsMargins(4, 2, 4, 2);
  pendingLine_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  auto* workspaceLayout = new QVBoxLayout(workspaceColumn);
  workspaceLayout->setContentsMargins(0, 0, 0, 0);
  workspaceLayout->addWidget(workspace_, 1);
  workspaceLayout->addWidget(pendingLine_);
  splitter->addWidget(workspaceColumn);
  splitter->setCollapsible(0, false);
  splitter->setStretchFactor(1, 1);

  table_->codeChosen = [this](uint8_t code) { SelectCode(code); };
  BuildMenus();
  statusBar();
  NoteMissingJapaneseFont(dialogFont);
  setAcceptDrops(true);
  auto* escape =
      new QShortcut(QKeySequence(Qt::Key_Escape), workspace_, [this] { ReturnToDialog(); });
  escape->setContext(Qt::WidgetWithChildrenShortcut);

  g_window = this;
  g_editorEvents.documentLoaded = [] { g_window->DocumentLoaded(); };
  g_editorEvents.imageWritten = [](const uint8_t* before) { g_window->ImageWritten(before); };
  g_editorEvents.commandHandled = [] { g_window->CommandHandled(); };
  g_editorEvents.errorShown = [](const char* text, const char* details) {
    g_window->ErrorShown(text, details);
  };
  RestoreSettings();
}

// The dialog at its own size at the top of its column; the window as wide as the
// dialog and the workspace together.
void MainWindow::HostDialog(QtDialog* dialog) {
  dialog_ = dialog;
  auto* column = static_cast<QVBoxLayout*>(dialogColumn_->layout());
  column->addWidget(dialog, 0, Qt::AlignTop | Qt::AlignLeft);
  column->addStretch();
  SetTips();
  dialogColumn_->setFixedWidth(dialog->width());
  dialogColumn_->setMinimumHeight(dialog->height());
  // Wide enough for the table's columns, which the file loaded by the dialog sized.
  // Around the table: the tab's frame on either side and the splitter's handle.
  const int frame = 2 * workspace_->style()->pixelMetric(QStyle::PM_TabBarBaseOverlap) +
                    2 * workspace_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) +
                    static_cast<QSplitter*>(centralWidget())->handleWidth();
  const int workspaceWidth = std::max(kWorkspaceWidth, table_->WidthShowingAllColumns() + frame);
  resize(dialog->width() + workspaceWidth, std::max(dialog->height(), kWindowHeight));
  setWindowTitle(dialog->windowTitle());
  connect(dialog, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
  connect(dialog, &QDialog::finished, this, &QWidget::hide);
}

// Once the handlers have run: showing a record sets the six fields one by one, and
// only the last of them gives inputs worth showing.
void MainWindow::SchedulePendingRefresh() {
  if (pendingScheduled_) return;
  pendingScheduled_ = true;
  QMetaObject::invokeMethod(
      this, [this] { RefreshPending(); }, Qt::QueuedConnection);
}

void MainWindow::RefreshPending() {
  pendingScheduled_ = false;
  if (settleScheduled_) {
    SettlePendingView(&pendingView_);
    settleScheduled_ = false;
  }
  const PendingChange pending = ReadPendingChange(pendingView_);
  // Browsing codes changes the fields at every step; with nothing pending before or
  // now the table and the preview already show the file.
  const bool wasShown = pendingShown_;
  pendingShown_ = !pending.image.empty();
  pendingLine_->setText(QString::fromUtf8(PendingSummary(pending)));
  if (!wasShown && !pendingShown_) return;
  const uint8_t* image = pending.image.empty() ? nullptr : pending.image.data();
  table_->ShowPending(image);
  if (preview_) preview_->ShowPending(image, pending.codes);
}

MainWindow::~MainWindow() {
  SaveSettings();
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
    if (!measuredFont_.empty()) preview_->SetMeasuredFont(measuredFont_, measuredSize_);
    if (previewZoom_ > 0) {
      preview_->sampleText()->setPlainText(previewText_);
      preview_->outlinesBox()->setChecked(previewOutlines_);
      preview_->gridBox()->setChecked(previewGrid_);
      preview_->zoomBox()->setValue(previewZoom_);
    }
    SetPreviewTips(preview_);
    preview_->ShowImage(g_document.image);
    SchedulePendingRefresh();
  }
  return preview_;
}

void MainWindow::ReturnToDialog() {
  QWidget* const field = WidgetOf(GetDlgItem(HandleOf(dialog_), IDC_CHARACTER));
  QWidget* target = field;
  // Greyed by a scope box: the next control of the dialog's chain that can take it.
  while (target && !(target->isEnabled() && (target->focusPolicy() & Qt::TabFocus))) {
    target = target->nextInFocusChain();
    if (target == field || !dialog_->isAncestorOf(target)) target = nullptr;
  }
  if (!target) return;
  target->setFocus(Qt::ShortcutFocusReason);
  if (auto* edit = dynamic_cast<QtEdit*>(target)) edit->selectAll();
}

void MainWindow::DocumentLoaded() {
  table_->ShowImage(g_document.image, nullptr);
  if (preview_) preview_->ShowImage(g_document.image);
  pendingShown_ = false;
  settleScheduled_ = true;
  SchedulePendingRefresh();
  UpdateUndoActions();
  if (!IsDocumentLoaded(g_document)) return;
  RememberRecentFile();
  ShowStatus(QString::fromStdString(FileNameText(g_document.path)) + QStringLiteral(" opened"));
}

void MainWindow::ImageWritten(const uint8_t* before) {
  table_->ShowImage(g_document.image, before);
  if (preview_) preview_->ShowImage(g_document.image);
  pendingShown_ = false;
  settleScheduled_ = true;
  SchedulePendingRefresh();
  UpdateUndoActions();
  ShowStatus(QString::fromStdString(FileNameText(g_document.path)) +
             QStringLiteral(" written at ") +
             QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

// What went well replaces an error in the status bar.
void MainWindow::ShowStatus(const QString& text) {
  errorLine_ = ErrorLine::None;
  statusBar()->showMessage(text);
}

// The box says what went wrong; the status bar keeps it in a few words after the
// box is gone.
void MainWindow::ErrorShown(const char* text, const char* details) {
  const QString detailText = QString::fromStdString(NameBytesToUtf8(details));
  QString line = QString::fromUtf8(text).replace('\n', ' ');
  if (!detailText.isEmpty()) line += QStringLiteral(": ") + detailText;
  statusBar()->showMessage(line);
  errorLine_ = ErrorLine::Fresh;
  SettleErrorLater();
}

// The command that showed the error, with the commands nested in it and its box,
// is over once the event loop runs again outside any modal window; from then on
// the next command clears the error.
void MainWindow::SettleErrorLater() {
  constexpr int kModalRecheckMs = 50;
  const int delay = QApplication::activeModalWidget() ? kModalRecheckMs : 0;
  QTimer::singleShot(delay, this, [this] {
    if (errorLine_ != ErrorLine::Fresh) return;
    if (QApplication::activeModalWidget()) return SettleErrorLater();
    errorLine_ = ErrorLine::Settled;
  });
}

// Every notification of the dialog's controls ends here: a value field's EN_CHANGE,
// a click on a scope box or a mode button, a code selected; each may change what
// 変更 would write.
void MainWindow::CommandHandled() {
  table_->FollowSelection(g_editor.currentCode[0], !AnyScopeBoxChecked());
  SchedulePendingRefresh();
  if (errorLine_ != ErrorLine::Settled) return;
  errorLine_ = ErrorLine::None;
  statusBar()->clearMessage();
}

// As if its number were typed into the number field: the dialog's own handlers
// select the code and show its values.
void MainWindow::SelectCode(uint8_t code) {
  char number[4];
  std::snprintf(number, sizeof number, "%u", static_cast<unsigned>(code));
  SetDlgItemTextA(HandleOf(dialog_), IDC_NUMBER, number);
}

// As a click on the dialog's button: the dialog's own handler runs.
void MainWindow::ClickDialogButton(int id) {
  QWidget* button = WidgetOf(GetDlgItem(HandleOf(dialog_), id));
  if (button && button->isEnabled()) RaiseCommand(button, BN_CLICKED);
}

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  file->addAction(QStringLiteral("開く(&O)..."), QKeySequence(Qt::CTRL | Qt::Key_O), this,
                  [this] { ClickDialogButton(IDC_OPEN); });
  recentMenu_ = file->addMenu(QStringLiteral("最近使ったファイル(&R)"));
  connect(recentMenu_, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
  file->addSeparator();
  file->addAction(QStringLiteral("終了(&X)"), QKeySequence(Qt::CTRL | Qt::Key_Q), this,
                  [this] { close(); });

  QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
  undo_ = edit->addAction(QStringLiteral("元に戻す(&U)"), this,
                          [this] { MoveInHistory(HistoryMove::Undone); });
  undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redo_ = edit->addAction(QStringLiteral("やり直し(&R)"), this,
                          [this] { MoveInHistory(HistoryMove::Redone); });
  redo_->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  edit->addSeparator();
  QAction* change =
      edit->addAction(QStringLiteral("変更(&C)"), this, [this] { ClickDialogButton(IDC_CHANGE); });
  change->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
  edit->addAction(QStringLiteral("フォントから測定(&M)..."), QKeySequence(Qt::CTRL | Qt::Key_M),
                  this, [this] { MeasureFromFont(); });

  QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
  view->addAction(QStringLiteral("一覧(&T)"), QKeySequence(Qt::CTRL | Qt::Key_1), this,
                  [this] { FocusTable(); });
  view->addAction(QStringLiteral("プレビュー(&P)"), QKeySequence(Qt::CTRL | Qt::Key_2), this,
                  [this] { FocusPreview(); });

  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  help->addAction(QStringLiteral("バージョン情報(&A)"), this, [this] { ShowAbout(); });
  UpdateUndoActions();
}

void MainWindow::UpdateUndoActions() {
  undo_->setEnabled(CanUndo(g_history));
  redo_->setEnabled(CanRedo(g_history));
}

// Undo or redo through the editor; when the history moved, the status bar names
// the change by its time instead of saying only that the file was written.
void MainWindow::MoveInHistory(HistoryMove move) {
  const size_t applied = g_history.applied;
  move == HistoryMove::Undone ? UndoChange() : RedoChange();
  if (g_history.applied != applied) ShowStatus(QString::fromUtf8(HistoryMoveText(g_history, move)));
}

// What each control does, as a tooltip: the dialog's from the shared table by id
// (its controls stay as the template makes them), the workspace's by name.
void MainWindow::SetTips() {
  for (const QtDialog::Item& item : dialog_->items) {
    const char* tip = DialogControlTip(item.id);
    if (tip) item.control->setToolTip(QString::fromUtf8(tip));
  }
  auto tip = [](WorkspaceControl control) {
    return QString::fromUtf8(WorkspaceControlTip(control));
  };
  workspace_->setTabToolTip(workspace_->indexOf(table_), tip(WorkspaceControl::TableTab));
  workspace_->setTabToolTip(workspace_->indexOf(previewPage_), tip(WorkspaceControl::PreviewTab));
  // On the viewport: the view itself only shows a tip over its frame.
  table_->view()->viewport()->setToolTip(tip(WorkspaceControl::Table));
  table_->classFilter()->setToolTip(tip(WorkspaceControl::ClassFilter));
}

// Said once at start-up, on standard error and for good in the status bar.
void MainWindow::NoteMissingJapaneseFont(const QFont& dialogFont) {
  if (CanDrawJapanese(dialogFont)) return;
  std::fprintf(stderr, "quorvel: %s\n", kNoJapaneseFontNote);
  auto* note = new QLabel(QString::fromUtf8(kNoJapaneseFontNote), statusBar());
  note->setTextFormat(Qt::PlainText);
  statusBar()->addPermanentWidget(note);
}

// 編集 → フォントから測定: the dialog measures into a copy of the image; 適用 writes
// the copy as one change, undone as one.
void MainWindow::MeasureFromFont() {
  if (!IsDocumentLoaded(g_document)) {
    ShowErrorMessage("No file is open");
    return;
  }
  const int selected = AnyScopeBoxChecked() ? kNoSelectedCode : g_editor.currentCode[0];
  FontMeasureDialog dialog(g_document.image, this, selected,
                           measureUsed_ ? &measureChoices_ : nullptr);
  const int result = dialog.exec();
  measureChoices_ = dialog.choices();
  measureUsed_ = true;
  if (result != QDialog::Accepted) return;
  std::vector<uint8_t> measured(dialog.measuredImage(), dialog.measuredImage() + kMetricsImageSize);
  if (WriteImageAsChange(measured.data())) {
    measuredFont_ = dialog.fontBox()->currentText().toStdString();
    measuredSize_ = dialog.sizeBox()->value();
    if (preview_) preview_->SetMeasuredFont(measuredFont_, measuredSize_);
    ShowStatus(QString::fromStdString(FileNameText(g_document.path)) + QStringLiteral(": ") +
               QString::fromStdString(ReportText(dialog.report(), ReportTense::Set)));
  }
}

void MainWindow::ShowAbout() {
  QMessageBox::about(this, QStringLiteral("QUORVEL"),
                     QStringLiteral("QUORVEL %1\n\nA small, exact editor for glyph-metrics files "
                                    "(.fnt).")
                         .arg(QStringLiteral(QUORVEL_VERSION)));
}

bool MainWindow::OpenPath(const std::string& path) {
  if (!OpenDocument(path.c_str())) {
    ShowStatus(QStringLiteral("Not opened: the path is too long"));
    return false;
  }
  return IsDocumentLoaded(g_document);
}

// The file loaded, by the absolute path the document resolved at the load, so that
// the entry opens it from any current folder. The paths are kept as bytes: a name
// that is not UTF-8 opens as it is. The list is written with the other settings
// when the window goes, so that no load waits for the settings file.
void MainWindow::RememberRecentFile() { ::RememberRecentFile(recentFiles_, g_document.filePath); }

// An entry that cannot be opened is dropped, and the status bar says so after
// what went wrong.
void MainWindow::OpenRecentFile(const std::string& path) {
  if (OpenPath(path)) return;
  ForgetRecentFile(recentFiles_, path);
  statusBar()->showMessage(statusBar()->currentMessage() +
                           QStringLiteral(" (removed from the recent files)"));
}

// Each entry reads as its name and folder, greyed when its file is not there; an
// "&" in a name is doubled, or the menu would take it for the mark of a mnemonic
// and hide it. 履歴を消去 comes last.
void MainWindow::FillRecentMenu() {
  recentMenu_->clear();
  for (const RecentEntry& entry : RecentMenuEntries(recentFiles_)) {
    const QString text = QString::fromStdString(entry.text).replace('&', QStringLiteral("&&"));
    QAction* action =
        recentMenu_->addAction(text, this, [this, path = entry.path] { OpenRecentFile(path); });
    action->setEnabled(entry.available);
  }
  if (recentFiles_.paths.empty())
    recentMenu_->addAction(QStringLiteral("(なし)"))->setEnabled(false);
  recentMenu_->addSeparator();
  QAction* clear = recentMenu_->addAction(QStringLiteral("履歴を消去(&C)"), this,
                                          [this] { recentFiles_.paths.clear(); });
  clear->setEnabled(!recentFiles_.paths.empty());
}

void MainWindow::RestoreSettings() {
  if (!UsesSettings()) return;
  QSettings settings;
  restoreGeometry(settings.value(kGeometryKey).toByteArray());
  // The preview's settings before its tab: showing the tab builds the preview.
  if (settings.contains(kPreviewZoomKey)) {
    previewText_ = settings.value(kPreviewTextKey).toString();
    previewOutlines_ = settings.value(kPreviewOutlinesKey, true).toBool();
    previewGrid_ = settings.value(kPreviewGridKey, false).toBool();
    previewZoom_ = settings.value(kPreviewZoomKey).toInt();
  }
  if (settings.value(kTabKey).toInt() == workspace_->indexOf(previewPage_)) {
    workspace_->setCurrentWidget(previewPage_);
  }
  std::vector<std::string> stored;
  for (const QVariant& entry : settings.value(kRecentFilesKey).toList()) {
    stored.push_back(entry.toByteArray().toStdString());
  }
  recentFiles_ = RecentFilesFromStored(stored);
  const int filter = settings.value(kClassFilterKey, 0).toInt();
  if (filter >= 0 && filter < table_->classFilter()->count())
    table_->classFilter()->setCurrentIndex(filter);
  measureUsed_ = settings.contains(kMeasureFontKey);
  if (measureUsed_) measureChoices_ = ReadMeasureChoices(settings);
}

void MainWindow::SaveSettings() {
  if (!UsesSettings()) return;
  QSettings settings;
  settings.setValue(kGeometryKey, saveGeometry());
  settings.setValue(kTabKey, workspace_->currentIndex());
  QVariantList recent;
  for (const std::string& path : recentFiles_.paths) recent.append(QByteArray::fromStdString(path));
  settings.setValue(kRecentFilesKey, recent);
  settings.setValue(kClassFilterKey, table_->classFilter()->currentIndex());
  if (preview_) {
    previewText_ = preview_->sampleText()->toPlainText();
    previewOutlines_ = preview_->outlinesBox()->isChecked();
    previewGrid_ = preview_->gridBox()->isChecked();
    previewZoom_ = preview_->zoomBox()->value();
  }
  if (previewZoom_ > 0) {
    settings.setValue(kPreviewTextKey, previewText_);
    settings.setValue(kPreviewOutlinesKey, previewOutlines_);
    settings.setValue(kPreviewGridKey, previewGrid_);
    settings.setValue(kPreviewZoomKey, previewZoom_);
  }
  if (measureUsed_) WriteMeasureChoices(measureChoices_, settings);
}

// A drop is always a copy: taken as a move, the drag's source could delete the
// file it handed over. A drag that cannot be copied is refused.
void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!(event->possibleActions() & Qt::CopyAction)) return;
  if (LocalPathFromUriList(event->mimeData()->data("text/uri-list")).empty()) return;
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void MainWindow::dropEvent(QDropEvent* event) {
  if (!(event->possibleActions() & Qt::CopyAction)) return;
  const std::string path = LocalPathFromUriList(event->mimeData()->data("text/uri-list"));
  if (path.empty()) return;
  event->setDropAction(Qt::CopyAction);
  event->accept();
  OpenPath(path);
}

// The window's close button is the dialog's: it decides, through WM_CLOSE.
void MainWindow::closeEvent(QCloseEvent* event) {
  if (!dialog_ || dialog_->ending) {
    event->accept();
    return;
  }
  event->ignore();
  dialog_->close();
}
