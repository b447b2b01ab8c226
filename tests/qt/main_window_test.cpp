// The workspace beside the dialog, driven as a user drives it: table rows clicked,
// shortcuts pressed, the dialog's own fields typed into.
#include "main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <limits>
#include <regex>
#include <string>
#include <thread>

#include "code_rows.h"
#include "code_table.h"
#include "editor_driver.h"
#include "font_face.h"
#include "font_measure.h"
#include "font_measure_dialog.h"
#include "metrics_format.h"
#include "modal_calls.h"
#include "modal_script.h"
#include "resources/resource.h"
#include "test_files.h"
#include "text_preview.h"

namespace {

// Watches a FIFO for a reader: a writer's open that does not wait succeeds only
// while a reader is there, and lets that reader go on (it reads the end at once),
// so that a reader found here never blocks the test.
class FifoWatch {
 public:
  explicit FifoWatch(const std::string& path)
      : thread_([this, path] {
          while (!stop_) {
            const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) opened_ = true, close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }
        }) {}
  ~FifoWatch() {
    if (thread_.joinable()) Stop();
  }
  // Stops watching: whether anything opened the FIFO meanwhile.
  bool Stop() {
    stop_ = true;
    thread_.join();
    return opened_;
  }

 private:
  std::atomic<bool> stop_{false}, opened_{false};
  std::thread thread_;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.Path("main.fnt");
    Bytes file(kMetricsFileSize, 0);
    WriteSingle(file.data(), ValueOffset('A', Width), 12);
    WriteSingle(file.data(), ValueOffset('A', Height), 24);
    WriteSingle(file.data(), ValueOffset('B', Width), 13.5f);
    WriteSingle(file.data(), ValueOffset('B', Height), 24);
    WriteSingle(file.data(), ValueOffset('C', Width), std::numeric_limits<float>::quiet_NaN());
    WriteSingle(file.data(), ValueOffset('D', Width), -3);
    WriteWholeFile(path_, file);
    StartEditor("quorvel " + path_);
    window_ = dynamic_cast<MainWindow*>(WidgetOf(EditorWindow())->window());
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { StopEditor(); }

  QTableView* View() { return window_->table()->view(); }

  // The table's row of code, as the view shows it (sorted and filtered).
  QModelIndex RowOf(int code, int column = 0) {
    auto* proxy = static_cast<QSortFilterProxyModel*>(View()->model());
    return proxy->mapFromSource(proxy->sourceModel()->index(code, column));
  }

  void ClickRow(int code) {
    window_->FocusTable();
    const QModelIndex row = RowOf(code);
    View()->scrollTo(row);
    QTest::mouseClick(View()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      View()->visualRect(row).center());
  }

  // The recent files' menu as it opens.
  QList<QAction*> RecentEntries() {
    for (QMenu* menu : window_->findChildren<QMenu*>()) {
      if (!menu->title().startsWith(QStringLiteral("最近使ったファイル"))) continue;
      emit menu->aboutToShow();
      return menu->actions();
    }
    return {};
  }

  // A recent file's entry as the menu should show it: "g.fnt — /its/folder".
  static std::string MenuText(const std::string& path) {
    const std::filesystem::path file = std::filesystem::canonical(path);
    return file.filename().string() + " \u2014 " + file.parent_path().string();
  }

  QAction* RecentEntryNamed(const QString& startingWith) {
    for (QAction* action : RecentEntries()) {
      if (action->text().startsWith(startingWith)) return action;
    }
    return nullptr;
  }

  // Runs act on フォントから測定's dialog, opened from the menu; closes it unapplied
  // unless act applied it.
  void WithMeasureDialog(const std::function<void(FontMeasureDialog*)>& act) {
    QTimer::singleShot(0, [&] {
      auto* dialog = dynamic_cast<FontMeasureDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      act(dialog);
      if (dialog->isVisible()) dialog->reject();
    });
    for (QAction* action : window_->findChildren<QAction*>()) {
      if (action->text().startsWith(QStringLiteral("フォントから測定"))) action->trigger();
    }
  }

  std::string Status() { return window_->statusBar()->currentMessage().toStdString(); }

  // The value fields as the dialog shows them.
  std::string Fields() {
    std::string fields;
    for (int id = IDC_WIDTH; id <= IDC_LINE_SPACING; ++id) fields += ControlText(id) + ";";
    return fields;
  }

  TempFolder folder_;
  std::string path_;
  MainWindow* window_ = nullptr;
};

TEST_F(MainWindowTest, ARowSelectsItsCodeAsTypingItsNumberWould) {
  FocusControl(IDC_NUMBER);
  TypeText("66");
  const std::string typed = Fields();
  FocusControl(IDC_NUMBER);
  TypeText("0");

  ClickRow(66);
  EXPECT_EQ(ControlText(IDC_NUMBER), "66");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "B");
  EXPECT_EQ(Fields(), typed);

  // And the other way: the code typed in the dialog is the row selected.
  FocusControl(IDC_CHARACTER);
  TypeText("A");
  EXPECT_EQ(View()->currentIndex().row(), RowOf('A').row());
  EXPECT_TRUE(View()->selectionModel()->isRowSelected(RowOf('A').row()));
}

TEST_F(MainWindowTest, AChangeRefreshesTheRowHighlightsItAndRelaysTheText) {
  window_->preview()->sampleText()->setPlainText("AB");
  FocusControl(IDC_CHARACTER);
  TypeText("A");
  FocusControl(IDC_WIDTH);
  TypeText("30");
  Click(IDC_CHANGE);

  const QModelIndex width = RowOf('A', 3), height = RowOf('A', 4);
  EXPECT_EQ(width.data().toString(), "30");
  EXPECT_TRUE(width.data(Qt::BackgroundRole).isValid()) << "the changed value is highlighted";
  EXPECT_FALSE(height.data(Qt::BackgroundRole).isValid()) << "an unchanged one is not";
  const TextLayout& layout = window_->preview()->canvas()->layout();
  ASSERT_EQ(layout.boxes.size(), 2u);
  EXPECT_EQ(layout.boxes[0].width, 30);
  EXPECT_EQ(layout.boxes[1].x, 30) << "B follows A's new width";

  // The next change moves the highlight.
  FocusControl(IDC_CHARACTER);
  TypeText("B");
  FocusControl(IDC_HEIGHT);
  TypeText("20");
  Click(IDC_CHANGE);
  EXPECT_FALSE(RowOf('A', 3).data(Qt::BackgroundRole).isValid());
  EXPECT_TRUE(RowOf('B', 4).data(Qt::BackgroundRole).isValid());
}

// Typing shows the change before it is written: the cells 変更 would alter in the
// pending colour with their new values, the preview laid out with them, and the
// line that says what 変更 will do; after 変更 nothing is pending.
TEST_F(MainWindowTest, TypingShowsThePendingChangeUntilItIsWritten) {
  window_->preview()->sampleText()->setPlainText("AB");
  FocusControl(IDC_CHARACTER);
  TypeText("A");
  FocusControl(IDC_WIDTH);
  TypeText("30");
  QCoreApplication::processEvents();

  const QColor pending(kPendingColour.red, kPendingColour.green, kPendingColour.blue);
  EXPECT_EQ(RowOf('A', 3).data().toString(), "30");
  EXPECT_EQ(RowOf('A', 3).data(Qt::BackgroundRole).value<QColor>(), pending);
  EXPECT_FALSE(RowOf('A', 4).data(Qt::BackgroundRole).isValid()) << "24 is stored again as 24";
  EXPECT_EQ(window_->pendingLine()->text(), "変更: 1 コードの 1 値");
  const TextLayout& layout = window_->preview()->canvas()->layout();
  ASSERT_EQ(layout.boxes.size(), 2u);
  EXPECT_EQ(layout.boxes[1].x, 30) << "B follows A's pending width";
  EXPECT_EQ(ReadRecordValue(ReadWholeFile(path_).data(), 'A', Width), 12) << "nothing written";

  // A text that is no number pends nothing and says why.
  FocusControl(IDC_HEIGHT);
  TypeText("x");
  QCoreApplication::processEvents();
  EXPECT_EQ(window_->pendingLine()->text(), "変更できません: 高さ: \"x\" is not a number");
  EXPECT_EQ(RowOf('A', 3).data().toString(), "12");

  FocusControl(IDC_HEIGHT);
  TypeText("24");
  Click(IDC_CHANGE);
  QCoreApplication::processEvents();
  EXPECT_EQ(window_->pendingLine()->text(), "");
  EXPECT_NE(RowOf('A', 3).data(Qt::BackgroundRole).value<QColor>(), pending);
}

TEST_F(MainWindowTest, WhileAScopeBoxIsCheckedRowsSelectNothing) {
  FocusControl(IDC_CHARACTER);
  TypeText("A");
  Click(IDC_SCOPE_HALFALNUM);
  FocusControl(IDC_WIDTH);
  TypeText("7");
  ClickRow('B');
  EXPECT_EQ(ControlText(IDC_NUMBER), "65");
  EXPECT_EQ(ControlText(IDC_WIDTH), "7") << "the value typed for the class stays";
  EXPECT_FALSE(View()->selectionModel()->hasSelection());
}

// Numbers sort as numbers (10 after 9, -3 first, NaN last); the filter keeps a
// class with its companion slots.
TEST_F(MainWindowTest, TheTableSortsValuesAsNumbersAndFiltersByClass) {
  QAbstractItemModel* rows = View()->model();
  View()->sortByColumn(3, Qt::AscendingOrder);
  EXPECT_EQ(rows->index(0, 0).data().toString(), "68");
  EXPECT_EQ(rows->index(255, 0).data().toString(), "67");
  EXPECT_EQ(rows->index(254, 0).data().toString(), "66") << "13.5 after 12";
  const struct {
    const char* name;
    int rows;
    int first;
  } kClasses[] = {{"全角", 6, 16}, {"半角カナ", 65, 18}, {"半角英数", 96, 32}, {"その他", 89, 0}};
  View()->sortByColumn(0, Qt::AscendingOrder);
  for (const auto& c : kClasses) {
    window_->table()->classFilter()->setCurrentText(QString::fromUtf8(c.name));
    EXPECT_EQ(rows->rowCount(), c.rows) << c.name;
    EXPECT_EQ(rows->index(0, 0).data().toInt(), c.first) << c.name;
  }
}

// A click on a column's title sorts by it, ascending and then descending, as does
// Space in the table on a cell of that column; the title's arrow says which.
TEST_F(MainWindowTest, ATitleClickedOrSpacePressedSortsByItsColumn) {
  QHeaderView* header = View()->horizontalHeader();
  QAbstractItemModel* rows = View()->model();
  const auto clickTitle = [&](int column) {
    const int middle = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(middle, 5));
  };
  const auto pressSpaceIn = [&](int column) {
    window_->FocusTable();
    View()->setCurrentIndex(rows->index(0, column));
    QTest::keyClick(View(), Qt::Key_Space);
  };
  const struct {
    const char* name;
    std::function<void(int)> sort;
  } kWays[] = {{"click", clickTitle}, {"Space", pressSpaceIn}};
  for (const auto& way : kWays) {
    View()->sortByColumn(kDecimalColumn, Qt::DescendingOrder);
    way.sort(kFirstValueColumn);  // 幅: -3 (68) first, NaN (67) last
    EXPECT_EQ(header->sortIndicatorSection(), kFirstValueColumn) << way.name;
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder) << way.name;
    EXPECT_EQ(rows->index(0, 0).data().toString(), "68") << way.name;
    way.sort(kFirstValueColumn);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder) << way.name;
    EXPECT_EQ(rows->index(0, 0).data().toString(), "67") << way.name;
    EXPECT_EQ(rows->index(1, 0).data().toString(), "66") << way.name << ": 13.5 before 12";
  }
}

// Every text shows whole: each column is at least as wide as its title with the
// sort arrow and as each of its cells, also after a change writes a longer value
// and in a window too narrow for them all.
TEST_F(MainWindowTest, ColumnsAreAsWideAsTheirWidestTexts) {
  FocusControl(IDC_CHARACTER);
  TypeText("_");
  FocusControl(IDC_SPACING_RIGHT);
  TypeText("-0.03125");
  Click(IDC_CHANGE);
  ASSERT_EQ(RowOf('_', kFirstValueColumn + 3).data().toString(), "-3.125000e-002");
  QHeaderView* header = View()->horizontalHeader();
  const QFontMetrics cellFont(View()->font()), titleFont(header->font());
  const int cellMargins = 2 * (View()->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
  const int arrow = header->style()->pixelMetric(QStyle::PM_HeaderMarkSize);
  window_->resize(300, window_->height());
  QAbstractItemModel* rows = View()->model();
  for (int column = 0; column < kCodeColumnCount; ++column) {
    const QString title = rows->headerData(column, Qt::Horizontal).toString();
    EXPECT_GE(header->sectionSize(column), titleFont.horizontalAdvance(title) + arrow) << column;
    for (int row = 0; row < rows->rowCount(); ++row) {
      const QString text = rows->index(row, column).data().toString();
      ASSERT_GE(header->sectionSize(column), cellFont.horizontalAdvance(text) + cellMargins)
          << text.toStdString();
    }
  }
}

// Ctrl+Z in a field first takes back its typing; once the field has nothing to
// undo, the same key undoes the last change written, and the fields show the
// file's values again. Redo writes the change forward.
TEST_F(MainWindowTest, UndoAndRedoWriteTheFileBackAndForth) {
  const Bytes original = ReadWholeFile(path_);
  FocusControl(IDC_CHARACTER);
  TypeText("A");
  FocusControl(IDC_WIDTH);
  TypeText("30");
  Click(IDC_CHANGE);
  const Bytes changed = ReadWholeFile(path_);
  ASSERT_NE(changed, original);

  FocusControl(IDC_WIDTH);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ReadWholeFile(path_), changed) << "the first Ctrl+Z is the field's";
  for (int i = 0; i < 5 && ReadWholeFile(path_) != original; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
  }
  EXPECT_EQ(ReadWholeFile(path_), original);
  const std::regex undone("元に戻しました: [0-2][0-9]:[0-5][0-9]:[0-5][0-9] の変更");
  const std::string undoneText = Status();
  EXPECT_TRUE(std::regex_match(undoneText, undone)) << undoneText;
  EXPECT_EQ(ControlText(IDC_WIDTH), "12") << "the selected code's values shown again";
  EXPECT_EQ(RowOf('A', 3).data().toString(), "12");

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(ReadWholeFile(path_), changed);
  EXPECT_EQ(Status(), "やり直しました" + undoneText.substr(undoneText.find(": ")))
      << "the same change, by the same time";
  window_->undoAction()->trigger();
  EXPECT_EQ(ReadWholeFile(path_), original);
  EXPECT_FALSE(window_->undoAction()->isEnabled());
}

// 編集 → フォントから測定: the dialog's preview shows the measured values before
// anything is written; 適用 writes them as one change, undone as one; キャンセル
// writes nothing.
TEST_F(MainWindowTest, MeasuringFromAFontIsShownFirstAndWrittenAsOneChange) {
  const Bytes original = ReadWholeFile(path_);
  FontFace face;
  ASSERT_EQ(OpenFontFace("VL Gothic", &face).status, FontOpenStatus::Opened);
  MeasureRequest request;
  request.pixelSize = 20;
  request.halfAlnum = true;
  Bytes expected = original;
  expected.resize(kMetricsImageSize, 0);
  MeasureReport report;
  ASSERT_TRUE(MeasureIntoImage(face, request, expected.data(), &report));
  expected.resize(kMetricsFileSize);
  CloseFontFace(&face);
  QAction* measure = nullptr;
  for (QAction* action : window_->findChildren<QAction*>()) {
    if (action->text().startsWith(QStringLiteral("フォントから測定"))) measure = action;
  }
  ASSERT_NE(measure, nullptr);

  for (bool apply : {false, true}) {
    float shownWidthOfA = 0;
    QTimer::singleShot(0, [&] {
      auto* dialog = dynamic_cast<FontMeasureDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->fontBox()->setCurrentIndex(dialog->fontBox()->findText("VL Gothic"));
      dialog->sizeBox()->setValue(20);
      dialog->fullWidthBox()->setChecked(false);
      dialog->halfKanaBox()->setChecked(false);
      for (const TextBox& box : dialog->preview()->canvas()->layout().boxes) {
        if (box.code == 'A') shownWidthOfA = static_cast<float>(box.width);
      }
      EXPECT_EQ(dialog->preview()->fontBox()->currentText(), "VL Gothic")
          << "its preview draws with the font measured";
      if (apply) dialog->applyButton()->click();
      if (!apply) QTest::keyClick(dialog, Qt::Key_Escape);
    });
    measure->trigger();
    EXPECT_EQ(shownWidthOfA, ReadSingle(expected.data(), ValueOffset('A', Width)))
        << "the preview shows the measured width";
    EXPECT_EQ(ReadWholeFile(path_), apply ? expected : original) << "applied: " << apply;
  }
  EXPECT_EQ(ControlText(IDC_WIDTH), "0") << "code 0 shown again: it has no character to measure";
  EXPECT_EQ(window_->preview()->fontBox()->currentText(), "VL Gothic")
      << "the preview draws with the font last measured from";
  window_->undoAction()->trigger();
  EXPECT_EQ(ReadWholeFile(path_), original) << "one undo step";
}

// The menu's keys run the dialog's own commands: Ctrl+O its open command (the
// same file-open dialog), Ctrl+Return its change command from a field.
TEST_F(MainWindowTest, MenuKeysRunTheDialogsCommands) {
  InstallModalScript();
  const std::string other = folder_.Path("other.fnt");
  WriteWholeFile(other, Bytes(kMetricsFileSize, 0));
  AnswerNextOpenDialog(other);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
  ASSERT_EQ(OpenDialogRequests().size(), 1u);
  EXPECT_EQ(Caption(), "QUORVEL - other.fnt");

  FocusControl(IDC_WIDTH);
  TypeText("5");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(ReadSingle(ReadWholeFile(other).data(), ValueOffset(0, Width)), 5);
}

// A drop is a copy, never a move (the source could delete the file it handed
// over); a drag that offers no copy is refused.
TEST_F(MainWindowTest, ADroppedFileIsOpenedAsACopy) {
  const std::string other = folder_.Path("other file.fnt");
  WriteWholeFile(other, Bytes(kMetricsFileSize, 0));
  std::string uri = "file://" + other;
  uri.replace(uri.rfind(' '), 1, "%20");
  QMimeData data;
  data.setData("text/uri-list", uri.c_str());
  const struct {
    const char* name;
    Qt::DropActions offered;
    bool accepted;
  } cases[] = {
      {"move only", Qt::MoveAction, false},
      {"copy or move", Qt::CopyAction | Qt::MoveAction, true},
  };
  for (const auto& c : cases) {
    window_->OpenPath(path_);
    // As a drag arrives: it enters the window, then is dropped; the source
    // proposes a move whenever it may.
    const Qt::DropAction proposed = c.offered & Qt::MoveAction ? Qt::MoveAction : Qt::CopyAction;
    QDragEnterEvent enter(QPoint(10, 10), c.offered, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setDropAction(proposed);
    enter.ignore();
    QApplication::sendEvent(window_, &enter);
    EXPECT_EQ(enter.isAccepted(), c.accepted) << c.name;
    QDropEvent drop(QPointF(10, 10), c.offered, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setDropAction(proposed);
    drop.ignore();
    QApplication::sendEvent(window_, &drop);
    EXPECT_EQ(drop.isAccepted(), c.accepted) << c.name;
    if (c.accepted) EXPECT_EQ(drop.dropAction(), Qt::CopyAction) << c.name;
    EXPECT_EQ(Caption(), c.accepted ? "QUORVEL - other file.fnt" : "QUORVEL - main.fnt") << c.name;
  }
}

// The box keeps its word; the status bar (and the box's details) say which file
// and why, in the words quorvel-cli uses.
TEST_F(MainWindowTest, AFailedOpenSaysWhichFileAndWhy) {
  InstallModalScript();
  const std::string small = folder_.Path("small.fnt");
  WriteWholeFile(small, Bytes(100, 0));
  window_->OpenPath(small);
  ASSERT_EQ(MessagesShown().size(), 1u);
  EXPECT_EQ(MessagesShown()[0].text, "Error");
  EXPECT_EQ(MessagesShown()[0].details,
            "small.fnt: wrong size: 100 bytes, a metrics file has exactly 14632 bytes")
      << "the box's details come with its call";
  EXPECT_EQ(window_->statusBar()->currentMessage().toStdString(),
            "Error: small.fnt: wrong size: 100 bytes, a metrics file has exactly 14632 bytes");
  // Once the failed command is over, the next one that goes well clears the error.
  QCoreApplication::processEvents();
  FocusControl(IDC_NUMBER);
  TypeText("66");
  EXPECT_EQ(Status(), "");
}

// A file's name shows as it is in the error box, the caption, the recent files'
// menu and the measure dialog's report: never read as markup (a font; an image,
// which Qt would load from the current folder, where p is a FIFO that would block
// it for good), a menu's mnemonic or the caption's mark of a modified window.
TEST_F(MainWindowTest, NamesShowAsTheyAre) {
  const std::string names[] = {"<font size=7 color=green>ALL SAVED.fnt", "<img src=p>x.fnt",
                               "a&b.fnt", "a[*]b.fnt"};
  CurrentFolder inside(folder_.Root());
  ASSERT_EQ(mkfifo("p", 0600), 0);
  FifoWatch watch(folder_.Path("p"));
  g_errorBox = MessageBoxWithDetails;  // the real box, not a script's
  for (const std::string& name : names) {
    const std::string path = folder_.Path(name);
    const QString shownName = QString::fromStdString(name);
    QStringList texts;
    bool plain = true;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      for (QLabel* label : box->findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;  // the icon
        texts << label->text();
        plain = plain && label->textFormat() == Qt::PlainText;
      }
      box->button(QMessageBox::Ok)->click();
    });
    window_->OpenPath(path);  // not there yet
    EXPECT_TRUE(plain) << name;
    EXPECT_TRUE(texts.contains(shownName + ": cannot open: No such file or directory")) << name;

    WriteWholeFile(path, Bytes(kMetricsFileSize, 0));
    window_->OpenPath(path);
    EXPECT_EQ(window_->windowHandle()->title().toStdString(), "QUORVEL - " + name);
    const QList<QAction*> entries = RecentEntries();
    ASSERT_FALSE(entries.isEmpty());
    QString entry = entries[0]->text();
    EXPECT_TRUE(QKeySequence::mnemonic(entry).isEmpty()) << name;
    EXPECT_EQ(entry.replace("&&", "&").toStdString(), MenuText(path));

    const Bytes image(kMetricsImageSize, 0);
    FontMeasureDialog measure(image.data(), window_);
    measure.fontBox()->addItem(QString::fromStdString(path));
    measure.fontBox()->setCurrentIndex(measure.fontBox()->count() - 1);
    measure.show();
    EXPECT_EQ(measure.reportLabel()->textFormat(), Qt::PlainText) << name;
    EXPECT_TRUE(measure.reportLabel()->text().startsWith(QString::fromStdString(path) + ": "))
        << name;
  }
  EXPECT_FALSE(watch.Stop()) << "a name was read as markup that loads p";
}

// An entry names the file by its absolute path: from another current folder it
// opens the file it opened before, not the same name there.
TEST_F(MainWindowTest, ARecentFileOpensTheSameFileFromAnotherFolder) {
  TempFolder elsewhere;
  for (const TempFolder* place : {&folder_, &elsewhere}) {
    Bytes file(kMetricsFileSize, 0);
    WriteSingle(file.data(), ValueOffset(0, Width), place == &folder_ ? 1 : 2);
    WriteWholeFile(place->Path("same.fnt"), file);
  }
  {
    CurrentFolder inside(folder_.Root());
    window_->OpenPath("same.fnt");
  }
  CurrentFolder inside(elsewhere.Root());
  window_->OpenPath(path_);
  const QString same = QString::fromStdString(MenuText(folder_.Path("same.fnt")));
  QAction* entry = nullptr;
  for (QAction* action : RecentEntries()) {
    if (action->text() == same) entry = action;
  }
  ASSERT_NE(entry, nullptr);
  entry->trigger();
  EXPECT_EQ(ControlText(IDC_WIDTH), "1");
}

// An entry whose file is gone is greyed; one that fails to open is dropped, and
// the status bar says so; 履歴を消去 empties the list.
TEST_F(MainWindowTest, RecentFilesGreyWhatIsGoneDropWhatFailsAndClear) {
  InstallModalScript();
  for (const char* name : {"small.fnt", "gone.fnt"}) {
    WriteWholeFile(folder_.Path(name), Bytes(kMetricsFileSize, 0));
    window_->OpenPath(folder_.Path(name));
  }
  std::filesystem::remove(folder_.Path("gone.fnt"));
  WriteWholeFile(folder_.Path("small.fnt"), Bytes(100, 0));
  EXPECT_FALSE(RecentEntryNamed("gone.fnt")->isEnabled());
  EXPECT_TRUE(RecentEntryNamed("small.fnt")->isEnabled());
  ASSERT_EQ(RecentEntries().size(), 5) << "3 files, a separator and 履歴を消去";

  RecentEntryNamed("small.fnt")->trigger();
  EXPECT_EQ(RecentEntryNamed("small.fnt"), nullptr);
  EXPECT_EQ(window_->statusBar()->currentMessage().toStdString(),
            "Error: small.fnt: wrong size: 100 bytes, a metrics file has exactly 14632 bytes "
            "(removed from the recent files)");

  RecentEntries().back()->trigger();
  const QList<QAction*> cleared = RecentEntries();
  ASSERT_EQ(cleared.size(), 3);
  EXPECT_EQ(cleared[0]->text(), "(なし)");
  EXPECT_FALSE(cleared[2]->isEnabled()) << "履歴を消去, with nothing left to clear";
}

// フォントから測定 first offers only the class of the code selected (what it offers
// later is kept with the settings, below). No label shows a stray "&".
TEST_F(MainWindowTest, TheMeasureDialogFirstOffersTheSelectedClass) {
  FocusControl(IDC_NUMBER);
  TypeText("177");  // ｱ
  WithMeasureDialog([](FontMeasureDialog* dialog) {
    EXPECT_FALSE(dialog->fullWidthBox()->isChecked());
    EXPECT_TRUE(dialog->halfKanaBox()->isChecked());
    EXPECT_FALSE(dialog->halfAlnumBox()->isChecked());
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
      if (label->text().contains('&'))
        EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
    }
    EXPECT_TRUE(dialog->reportLabel()->text().contains(" codes will be set"));
    dialog->fontBox()->setCurrentText("VL PGothic");
    dialog->halfAlnumBox()->setChecked(true);
    dialog->applyButton()->click();
  });
  // 95 alphanumerics (0x7F has no character), 63 katakana and their 2 slots.
  EXPECT_TRUE(std::regex_match(
      Status(), std::regex("main\\.fnt: .*VL-PGothic-Regular\\.ttf: 160 codes set.*")))
      << Status();
}

// The preview's text and options, the table's class filter and the measure
// dialog's choices are kept in the settings from one run to the next.
TEST_F(MainWindowTest, ThePreviewTheFilterAndTheMeasureChoicesAreKeptAcrossRuns) {
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                     QString::fromStdString(folder_.Path("settings")));
  QCoreApplication::setOrganizationName("QUORVEL-test");  // settings are used from now on
  StartEditor("quorvel " + path_);
  window_ = dynamic_cast<MainWindow*>(WidgetOf(EditorWindow())->window());
  window_->FocusPreview();  // shown again at start, before the file is loaded
  TextPreview* preview = window_->preview();
  preview->sampleText()->setPlainText("kept");
  preview->outlinesBox()->setChecked(false);
  preview->gridBox()->setChecked(true);
  preview->zoomBox()->setValue(5);
  window_->table()->classFilter()->setCurrentText(QStringLiteral("半角カナ"));
  WithMeasureDialog([](FontMeasureDialog* dialog) {
    dialog->sizeBox()->setValue(31);
    dialog->fullWidthBox()->setChecked(true);
    dialog->roundBox()->setChecked(true);
    dialog->fullWidthSampleField()->setText("漢");
  });  // closed unapplied: kept all the same

  StartEditor("quorvel " + path_);
  window_ = dynamic_cast<MainWindow*>(WidgetOf(EditorWindow())->window());
  QCoreApplication::setOrganizationName("");
  EXPECT_EQ(window_->table()->classFilter()->currentText(), "半角カナ");
  preview = window_->preview();
  EXPECT_EQ(preview->sampleText()->toPlainText(), "kept");
  EXPECT_FALSE(preview->outlinesBox()->isChecked());
  EXPECT_TRUE(preview->gridBox()->isChecked());
  EXPECT_EQ(preview->zoomBox()->value(), 5);
  WithMeasureDialog([](FontMeasureDialog* dialog) {
    EXPECT_EQ(dialog->sizeBox()->value(), 31);
    EXPECT_TRUE(dialog->fullWidthBox()->isChecked() && dialog->halfAlnumBox()->isChecked());
    EXPECT_TRUE(dialog->roundBox()->isChecked());
    EXPECT_EQ(dialog->fullWidthSampleField()->text(), "漢");
  });
}

TEST_F(MainWindowTest, ShortcutsReachTheWorkspaceAndEscReturns) {
  EXPECT_EQ(window_->windowTitle(), "QUORVEL - main.fnt");
  EXPECT_EQ(WidgetOf(GetDlgItem(EditorWindow(), IDC_WIDTH))->accessibleName(), "幅");
  QTest::keyClick(window_, Qt::Key_1, Qt::ControlModifier);
  EXPECT_EQ(QApplication::focusWidget(), View());
  QTest::keyClick(View(), Qt::Key_Escape);
  EXPECT_EQ(QApplication::focusWidget(), WidgetOf(GetDlgItem(EditorWindow(), IDC_CHARACTER)));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_2, Qt::ControlModifier);
  EXPECT_EQ(QApplication::focusWidget(), window_->preview()->sampleText());
  EXPECT_TRUE(window_->workspace()->currentWidget()->isAncestorOf(window_->preview()));

  // Tab from the dialog's last control wraps to its first, never into the workspace.
  FocusControl(IDC_CLEAR);
  for (int i = 0; i < 30; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(window_->dialog()->isAncestorOf(QApplication::focusWidget()))
        << "Tab " << i << " left the dialog";
  }
}

}  // namespace
