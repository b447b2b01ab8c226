// The Qt window layer on its own: the dialog "Main" built from the layout table,
// driven with QTest, with a dialog procedure that records what reaches it. The
// editor's handlers are not involved; the behaviour suite covers them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

#include "modal_calls.h"
#include "qt_controls.h"
#include "qt_dialog.h"
#include "qt_test_input.h"
#include "resources/resource.h"
#include "test_files.h"
#include "window_api.h"

namespace {

struct Received {
  UINT message;
  int id;
  int code;
  LPARAM lParam;
};

std::vector<Received> g_received;
INT_PTR g_closeResult = -1;  // EndDialog result on WM_CLOSE; -1 leaves the dialog open

INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  g_received.push_back({message, LOWORD(wParam), HIWORD(wParam), lParam});
  if (message == WM_CLOSE && g_closeResult >= 0) EndDialog(dialog, g_closeResult);
  return message == WM_INITDIALOG || message == WM_COMMAND || message == WM_CLOSE;
}

int CountCommands(int id, int code) {
  int count = 0;
  for (const Received& r : g_received) {
    if (r.message == WM_COMMAND && r.id == id && r.code == code) ++count;
  }
  return count;
}

class QtWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_received.clear();
    g_closeResult = -1;
    dialog_ = CreateDialogParamA(nullptr, "MAIN", nullptr, RecordingProc, 0);
    ASSERT_NE(dialog_, nullptr);
    QWidget* window = WidgetOf(dialog_);
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    g_received.clear();
  }

  void TearDown() override { DestroyWindow(dialog_); }

  QWidget* Item(int id) { return WidgetOf(GetDlgItem(dialog_, id)); }
  QtEdit* Edit(int id) { return dynamic_cast<QtEdit*>(Item(id)); }

  std::string Text(int id) {
    char text[64];
    GetDlgItemTextA(dialog_, id, text, sizeof text);
    return text;
  }

  void Type(int id, const QString& text) {
    Item(id)->setFocus(Qt::TabFocusReason);
    TypeCharacters(Item(id), text);
  }

  HWND dialog_ = nullptr;
};

TEST(DialogUnits, VlGothicAtNinePointsIsTheWindowsCell) {
  DialogFrame frame{10, 10, 186, 150, 0, "QUORVEL", 9, "MS GOTHIC", 0, 0, 1};
  QFont font = DialogFont(frame);
  EXPECT_EQ(font.pixelSize(), 12);
  DialogBaseUnits units = MeasureDialogBaseUnits(font);
  EXPECT_EQ(units.cx, 6);
  EXPECT_EQ(units.cy, 12);
}

TEST(DialogUnits, ToPixelsRoundsAsMulDiv) {
  struct Case {
    const char* name;
    int x, y, width, height;
    QRect expected;
  } cases[] = {
      {"dialog client area", 0, 0, 186, 150, QRect(0, 0, 279, 225)},
      {"character field", 56, 6, 34, 14, QRect(84, 9, 51, 21)},
      {"up-down width 16.5 rounds up", 79, 7, 11, 14, QRect(119, 11, 17, 21)},
      {"label height 9 -> 13.5 rounds up", 5, 134, 45, 9, QRect(8, 201, 68, 14)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DialogUnitsToPixels({6, 12}, c.x, c.y, c.width, c.height), c.expected) << c.name;
  }
}

TEST_F(QtWindowTest, WindowKeepsTheTemplateSizeAndCaption) {
  QWidget* window = WidgetOf(dialog_);
  DialogBaseUnits units = MeasureDialogBaseUnits(window->font());
  EXPECT_EQ(window->size(), DialogUnitsToPixels(units, 0, 0, 186, 150).size());
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  char caption[32];
  GetWindowTextA(dialog_, caption, sizeof caption);
  EXPECT_STREQ(caption, "QUORVEL");
  SetWindowTextA(dialog_, "QUORVEL - 表.fnt");
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8("QUORVEL - 表.fnt"));
}

TEST_F(QtWindowTest, InitialisationNamesAndFocusesTheFirstTabStop) {
  g_received.clear();
  HWND second = CreateDialogParamA(nullptr, "Main", nullptr, RecordingProc, 42);
  ASSERT_FALSE(g_received.empty());
  EXPECT_EQ(g_received[0].message, static_cast<UINT>(WM_INITDIALOG)) << "before anything else";
  EXPECT_EQ(g_received[0].lParam, 42);
  EXPECT_EQ(WidgetOf(second)->focusWidget(), WidgetOf(GetDlgItem(second, IDC_CHARACTER)));
  DestroyWindow(second);
}

TEST_F(QtWindowTest, EverySetRaisesChangeEvenWhenTheSame) {
  SetDlgItemTextA(dialog_, IDC_WIDTH, "1.5");
  SetDlgItemTextA(dialog_, IDC_WIDTH, "1.5");
  EXPECT_EQ(CountCommands(IDC_WIDTH, EN_CHANGE), 2);
  EXPECT_EQ(Text(IDC_WIDTH), "1.5");
  EXPECT_EQ(Edit(IDC_WIDTH)->cursorPosition(), 0) << "the caret goes to the start";
}

TEST_F(QtWindowTest, TypingRaisesOneChangePerKey) {
  Type(IDC_WIDTH, "12");
  EXPECT_EQ(Text(IDC_WIDTH), "12") << "the focus selected the initial 0";
  EXPECT_EQ(CountCommands(IDC_WIDTH, EN_CHANGE), 2);
}

TEST_F(QtWindowTest, LimitAndDigitsHoldForTypingOnly) {
  SendMessageA(HandleOf(Item(IDC_NUMBER)), EM_LIMITTEXT, 3, 0);
  Type(IDC_NUMBER, "1a2b34");
  EXPECT_EQ(Text(IDC_NUMBER), "123");
  EXPECT_EQ(CountCommands(IDC_NUMBER, EN_CHANGE), 3) << "refused keys raise nothing";
  SetDlgItemTextA(dialog_, IDC_NUMBER, "12345x");
  EXPECT_EQ(Text(IDC_NUMBER), "12345x");
  QTest::keyClick(Item(IDC_NUMBER), Qt::Key_End);
  QTest::keyClick(Item(IDC_NUMBER), Qt::Key_Backspace);
  EXPECT_EQ(Text(IDC_NUMBER), "12345") << "deleting stays possible in a text above the limit";
}

TEST_F(QtWindowTest, CharacterFieldSpeaksCodePage932) {
  SendMessageA(HandleOf(Item(IDC_CHARACTER)), EM_LIMITTEXT, 1, 0);
  SetDlgItemTextA(dialog_, IDC_CHARACTER, "\xB1");
  EXPECT_EQ(Edit(IDC_CHARACTER)->text(), QString(QChar(0xFF71)));
  EXPECT_EQ(Text(IDC_CHARACTER), "\xB1");

  SetDlgItemTextA(dialog_, IDC_CHARACTER, "");
  Type(IDC_CHARACTER, QString::fromUtf8("あい"));
  EXPECT_EQ(Text(IDC_CHARACTER), "\x82\xA0") << "one character, read as lead and trail byte";

  SetDlgItemTextA(dialog_, IDC_CHARACTER, "\x81");
  EXPECT_EQ(Text(IDC_CHARACTER), "\x81\x45") << "a lone lead byte is no character";
}

TEST_F(QtWindowTest, UpDownRewritesItsBuddyOnlyWhenTheTextDiffers) {
  HWND upDown = HandleOf(Item(IDC_UPDOWN));
  SendMessageA(upDown, UDM_SETRANGE32, 0, 255);
  SendMessageA(upDown, UDM_SETPOS, 0, 65);
  EXPECT_EQ(Text(IDC_NUMBER), "65");
  EXPECT_EQ(CountCommands(IDC_NUMBER, EN_CHANGE), 1);
  SendMessageA(upDown, UDM_SETPOS, 0, 65);
  EXPECT_EQ(CountCommands(IDC_NUMBER, EN_CHANGE), 1);
  SetDlgItemTextA(dialog_, IDC_NUMBER, "065");
  SendMessageA(upDown, UDM_SETPOS, 0, 65);
  EXPECT_EQ(Text(IDC_NUMBER), "65");
  SetDlgItemTextA(dialog_, IDC_NUMBER, "300");
  EXPECT_EQ(static_cast<uint32_t>(SendMessageA(upDown, UDM_GETPOS, 0, 0)), 0x10041u);
}

TEST_F(QtWindowTest, ArrowButtonsAndKeysStepTheNumber) {
  HWND upDown = HandleOf(Item(IDC_UPDOWN));
  SendMessageA(upDown, UDM_SETRANGE32, 0, 255);
  SendMessageA(upDown, UDM_SETPOS, 0, 254);
  auto arrows = Item(IDC_UPDOWN)->findChildren<QWidget*>();
  ASSERT_EQ(arrows.size(), 2);
  QWidget* up = arrows[0]->y() < arrows[1]->y() ? arrows[0] : arrows[1];
  QWidget* down = up == arrows[0] ? arrows[1] : arrows[0];
  QTest::mouseClick(up, Qt::LeftButton);
  EXPECT_EQ(Text(IDC_NUMBER), "255");
  g_received.clear();
  QTest::mouseClick(up, Qt::LeftButton);
  EXPECT_EQ(Text(IDC_NUMBER), "255");
  EXPECT_EQ(CountCommands(IDC_NUMBER, EN_CHANGE), 0) << "nothing moves at the end of the range";
  QTest::mouseClick(down, Qt::LeftButton);
  EXPECT_EQ(Text(IDC_NUMBER), "254");

  Item(IDC_NUMBER)->setFocus(Qt::TabFocusReason);
  QTest::keyClick(Item(IDC_NUMBER), Qt::Key_Down);
  QTest::keyClick(Item(IDC_NUMBER), Qt::Key_Down);
  EXPECT_EQ(Text(IDC_NUMBER), "252");
  QTest::keyClick(Item(IDC_NUMBER), Qt::Key_Up);
  EXPECT_EQ(Text(IDC_NUMBER), "253");
}

TEST_F(QtWindowTest, UpDownTakesTheRightEndOfItsBuddyAtEveryBinding) {
  QWidget* number = Item(IDC_NUMBER);
  QWidget* upDown = Item(IDC_UPDOWN);
  const DialogBaseUnits units = MeasureDialogBaseUnits(WidgetOf(dialog_)->font());
  const QRect field = DialogUnitsToPixels(units, 56, 24, 44, 14);
  const int templateWidth = DialogUnitsToPixels(units, 79, 7, 11, 14).width();
  EXPECT_EQ(number->width(), field.width() - templateWidth) << "bound once, at creation";
  EXPECT_EQ(upDown->width(), 16);
  EXPECT_EQ(upDown->x(), number->geometry().right() - 1) << "over the buddy's border";
  EXPECT_EQ(upDown->y(), field.y());
  SendMessageA(HandleOf(upDown), UDM_SETBUDDY, reinterpret_cast<WPARAM>(HandleOf(number)), 0);
  EXPECT_EQ(number->width(), field.width() - templateWidth - 16) << "bound again: shrinks again";
  EXPECT_EQ(upDown->x(), number->geometry().right() - 1);
}

TEST_F(QtWindowTest, DisablingTheBuddyLeavesTheArrowsEnabled) {
  EXPECT_FALSE(EnableWindow(HandleOf(Item(IDC_NUMBER)), FALSE));
  EXPECT_FALSE(Item(IDC_NUMBER)->isEnabled());
  EXPECT_TRUE(Item(IDC_UPDOWN)->isEnabled());
  EXPECT_TRUE(EnableWindow(HandleOf(Item(IDC_NUMBER)), TRUE)) << "it was disabled";
}

TEST_F(QtWindowTest, ButtonsRaiseClicksOnlyWhenClicked) {
  CheckDlgButton(dialog_, IDC_SCOPE_HALFKANA, BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_SCOPE_HALFKANA), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(CountCommands(IDC_SCOPE_HALFKANA, BN_CLICKED), 0);
  QTest::mouseClick(Item(IDC_SCOPE_HALFKANA), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_SCOPE_HALFKANA), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_EQ(CountCommands(IDC_SCOPE_HALFKANA, BN_CLICKED), 1);

  CheckDlgButton(dialog_, IDC_ABSOLUTE, BST_CHECKED);
  CheckDlgButton(dialog_, IDC_RELATIVE, BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_ABSOLUTE), static_cast<UINT>(BST_CHECKED))
      << "checking from the program leaves the other radio button alone";
  QTest::mouseClick(Item(IDC_ABSOLUTE), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_RELATIVE), static_cast<UINT>(BST_UNCHECKED));
  QTest::mouseClick(Item(IDC_ABSOLUTE), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_ABSOLUTE), static_cast<UINT>(BST_CHECKED))
      << "a second click keeps a radio button checked";
  EXPECT_EQ(CountCommands(IDC_ABSOLUTE, BN_CLICKED), 2);
}

TEST_F(QtWindowTest, EscAndEnterGoToTheProcedureWithoutAControl) {
  Item(IDC_WIDTH)->setFocus(Qt::TabFocusReason);
  QTest::keyClick(Item(IDC_WIDTH), Qt::Key_Escape);
  QTest::keyClick(Item(IDC_WIDTH), Qt::Key_Return);
  ASSERT_EQ(g_received.size(), 2u);
  EXPECT_EQ(g_received[0].id, IDCANCEL);
  EXPECT_EQ(g_received[0].lParam, 0);
  EXPECT_EQ(g_received[1].id, IDOK);
  EXPECT_EQ(g_received[1].lParam, 0);
  EXPECT_TRUE(WidgetOf(dialog_)->isVisible());

  Item(IDC_CLEAR)->setFocus(Qt::TabFocusReason);
  QTest::keyClick(Item(IDC_CLEAR), Qt::Key_Return);
  EXPECT_EQ(CountCommands(IDC_CLEAR, BN_CLICKED), 1) << "Enter clicks the focused push button";
  EXPECT_EQ(CountCommands(IDOK, BN_CLICKED), 1);
}

TEST_F(QtWindowTest, TabRunsInTemplateOrderAndWraps) {
  const int order[] = {IDC_CHARACTER,      IDC_NUMBER,          IDC_WIDTH,    IDC_HEIGHT,
                       IDC_SPACING_LEFT,   IDC_SPACING_RIGHT,   IDC_OFFSET_Y, IDC_LINE_SPACING,
                       IDC_OPEN,           IDC_CHANGE,          IDC_CLEAR,    IDC_SCOPE_FULLWIDTH,
                       IDC_SCOPE_HALFKANA, IDC_SCOPE_HALFALNUM, IDC_ABSOLUTE, IDC_RELATIVE,
                       IDC_CHARACTER};
  QWidget* window = WidgetOf(dialog_);
  Item(IDC_CHARACTER)->setFocus(Qt::TabFocusReason);
  for (size_t i = 1; i < sizeof order / sizeof order[0]; ++i) {
    QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(ControlId(window->focusWidget()), order[i]) << "step " << i;
  }
}

TEST_F(QtWindowTest, CloseButtonAsksTheProcedure) {
  WidgetOf(dialog_)->close();
  EXPECT_EQ(g_received.back().message, static_cast<UINT>(WM_CLOSE));
  EXPECT_TRUE(WidgetOf(dialog_)->isVisible()) << "only EndDialog ends the dialog";
  g_closeResult = 0;
  WidgetOf(dialog_)->close();
  EXPECT_FALSE(WidgetOf(dialog_)->isVisible());
}

TEST_F(QtWindowTest, ModalDialogEndsWithTheEndDialogResult) {
  g_closeResult = 7;
  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  EXPECT_EQ(DialogBoxParamA(nullptr, "main", nullptr, RecordingProc, 0), 7);
  EXPECT_EQ(DialogBoxParamA(nullptr, "Other", nullptr, RecordingProc, 0), -1);
}

TEST_F(QtWindowTest, ErrorBoxHasTitleTextAndIcon) {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    box->button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(MessageBoxA(dialog_, "Error", "QUORVEL", MB_OK | MB_ICONERROR), IDOK);
  EXPECT_EQ(title, "QUORVEL");
  EXPECT_EQ(text, "Error");
  EXPECT_EQ(icon, QMessageBox::Critical);
}

// The question about a file changed elsewhere: each button, and Esc, answers as
// the editor expects.
TEST_F(QtWindowTest, OverwriteQuestionLabelsItsButtonsAndAnswersByThem) {
  const struct {
    const char* label;  // the button pressed; empty: Esc
    int answer;
  } cases[] = {{"上書き", IDYES}, {"再読み込み", IDNO}, {"キャンセル", IDCANCEL}, {"", IDCANCEL}};
  for (const auto& c : cases) {
    QStringList labels;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      icon = box->icon();
      QAbstractButton* pressed = nullptr;
      for (QAbstractButton* button : box->buttons()) {
        labels << button->text();
        if (button->text() == QString::fromUtf8(c.label)) pressed = button;
      }
      if (pressed) {
        pressed->click();
      } else {
        QTest::keyClick(box, Qt::Key_Escape);
      }
    });
    EXPECT_EQ(MessageBoxA(dialog_, "changed", "QUORVEL",
                          MB_ICONWARNING | MB_YESNOCANCEL | kOverwriteReloadButtons),
              c.answer)
        << c.label;
    labels.sort();
    EXPECT_EQ(labels, QStringList({"キャンセル", "上書き", "再読み込み"})) << c.label;
    EXPECT_EQ(icon, QMessageBox::Warning);
  }
}

TEST_F(QtWindowTest, FileDialogReturnsThePathAndRemembersTheFilter) {
  TempFolder folder;
  const std::string path = folder.Path("chosen.fnt");
  WriteWholeFile(path, Bytes(4, 0));

  static const char kFilter[] = "Fntファイル(*.fnt)\0*.fnt\0すべてのファイル(*.*)\0*.*\0";
  char buffer[260] = {};
  OPENFILENAMEA open = {};
  open.lStructSize = sizeof open;
  open.hwndOwner = dialog_;
  open.lpstrFilter = kFilter;
  open.lpstrFile = buffer;
  open.nMaxFile = sizeof buffer;
  open.lpstrTitle = "QUORVEL";
  open.lpstrDefExt = ".fnt";
  open.Flags = OFN_EXPLORER | OFN_LONGNAMES | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;

  QStringList filtersSeen;
  QString preselected;
  auto choose = [&](bool accept) {
    QTimer::singleShot(0, [&, accept] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      filtersSeen = dialog->nameFilters();
      preselected = dialog->selectedNameFilter();
      if (!accept) return dialog->reject();
      dialog->selectNameFilter(filtersSeen.value(1));
      dialog->selectFile(QString::fromStdString(path));
      static_cast<QDialog*>(dialog)->accept();
    });
  };

  choose(true);
  ASSERT_TRUE(GetOpenFileNameA(&open));
  EXPECT_EQ(std::string(buffer), path);
  EXPECT_EQ(filtersSeen, QStringList({QString::fromUtf8("Fntファイル(*.fnt)"),
                                      QString::fromUtf8("すべてのファイル(*.*)")}));
  EXPECT_EQ(preselected, filtersSeen.value(0)) << "filter index 0 shows the first pair";
  EXPECT_EQ(open.nFilterIndex, 2u);
  EXPECT_EQ(buffer + open.nFileOffset, std::string("chosen.fnt"));

  buffer[0] = '\0';
  choose(false);
  EXPECT_FALSE(GetOpenFileNameA(&open));
  EXPECT_EQ(preselected, filtersSeen.value(1)) << "the filter chosen last time";
  EXPECT_EQ(buffer[0], '\0');
}

}  // namespace
