// The Qt program's window: the editor dialog at the left, unchanged and at its own
// size, and at its right, in a splitter, the workspace: 一覧 (every code's values)
// and プレビュー (a sample text laid out with them), and under them the line that
// says what 変更 would write now (pending_change.h). The window is built first and
// listens to the editor's events; the dialog is then made inside it. The workspace
// shows the document and selects codes through the dialog's own number field; it
// writes only through the editor's own commands (change, undo, redo, and a
// measured image written as one change).
#pragma once

#include <QByteArray>
#include <QList>
#include <QMainWindow>

#include <cstdint>
#include <string>

#include "pending_change.h"
#include "history_text.h"
#include "measure_session.h"
#include "qt_controls.h"
#include "recent_files.h"

class CodeTable;
class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class TextPreview;

class MainWindow : public QMainWindow {
 public:
  MainWindow();
  ~MainWindow() override;

  // The widget the dialog is made in (CreateDialogParamA's parent), then the dialog
  // made there: the window takes its size and follows its caption and its end.
  QWidget* dialogColumn() const { return dialogColumn_; }
  void HostDialog(QtDialog* dialog);

  QtDialog* dialog() const { return dialog_; }
  QTabWidget* workspace() const { return workspace_; }
  CodeTable* table() const { return table_; }
  TextPreview* preview();  // built on first use

  // Ctrl+1 and Ctrl+2: the table or the preview's sample text gets the focus.
  void FocusTable();
  void FocusPreview();
  // Esc in the workspace: back to the character field (or, while it is greyed, the
  // dialog's first control that can take the focus).
  void ReturnToDialog();

  // What the editor reports (see editor_events.h).
  void DocumentLoaded();
  void ImageWritten(const uint8_t* before);
  void CommandHandled();
  void ErrorShown(const char* text, const char* details);

  // A file dropped on the window, or picked from the recent files: loaded as the
  // open command loads a picked file. True when it is now the open file.
  bool OpenPath(const std::string& path);

  // The pending view: recomputed after the dialog handled a notification of its
  // controls (once the notifications nested in it are done); the line beside the
  // workspace's tabs says what 変更 will do.
  void RefreshPending();
  QLabel* pendingLine() const { return pendingLine_; }

  QAction* undoAction() const { return undo_; }
  QAction* redoAction() const { return redo_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void SelectCode(uint8_t code);
  void ClickDialogButton(int id);
  void BuildMenus();
  void UpdateUndoActions();
  void MoveInHistory(HistoryMove move);
  void ShowStatus(const QString& text);
  void SettleErrorLater();
  void SetTips();
  void RememberRecentFile();
  void FillRecentMenu();
  void OpenRecentFile(const std::string& path);
  void ShowAbout();
  void MeasureFromFont();
  void NoteMissingJapaneseFont(const QFont& dialogFont);
  void RestoreSettings();
  void SaveSettings();
  void SchedulePendingRefresh();

  QtDialog* dialog_ = nullptr;
  QWidget* dialogColumn_ = nullptr;
  QTabWidget* workspace_ = nullptr;
  CodeTable* table_ = nullptr;
  QWidget* previewPage_ = nullptr;
  TextPreview* preview_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  RecentFiles recentFiles_;
  QLabel* pendingLine_ = nullptr;
  PendingView pendingView_;
  bool pendingScheduled_ = false;
  bool pendingShown_ = false;     // the table and the preview show a pending image
  bool settleScheduled_ = false;  // a load or a write: take the inputs as they will be
  // The font and size the values were last measured from in this run ("" before),
  // which the preview draws with.
  std::string measuredFont_;
  int measuredSize_ = 0;
  // An error in the status bar: shown by the command still running (Fresh), or by
  // one that is over (Settled), which the next command that shows none clears.
  enum class ErrorLine { None, Fresh, Settled } errorLine_ = ErrorLine::None;
  // フォントから測定's choices of its last use (kept across runs), if it was used.
  MeasureChoices measureChoices_;
  bool measureUsed_ = false;
  // The preview's text and options, kept across runs; applied when it is built.
  QString previewText_;
  bool previewOutlines_ = true, previewGrid_ = false;
  int previewZoom_ = 0;  // 0: as the preview starts
};
