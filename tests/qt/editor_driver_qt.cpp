// The editor driven over the Qt window layer, offscreen: keys and clicks go through
// QTest into the real widgets, as a user's would.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "command_line.h"
#include "editor_dialog.h"
#include "editor_driver.h"
#include "editor_program.h"
#include "editor_start.h"
#include "editor_state.h"
#include "qt_controls.h"
#include "qt_test_input.h"

namespace {

QtDialog* g_dialog = nullptr;

QWidget* Item(int id) { return WidgetOf(GetDlgItem(HandleOf(g_dialog), id)); }

// The widget that receives keys: the dialog's focus widget, or the dialog.
QWidget* KeyTarget() {
  QWidget* focus = g_dialog->focusWidget();
  return focus ? focus : g_dialog;
}

bool CanTabTo(QWidget* widget) {
  return ControlId(widget) != 0 && (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() &&
         widget->isVisibleTo(g_dialog);
}

}  // namespace

// The scenarios give a Windows command line; the Qt program gets its argument
// already split, so the first argument is passed to the program's own start-up as
// its argv[1].
void StartEditor(const std::string& commandLine) {
  StopEditor();
  ResetEditorState();
  std::string argument(commandLine.size() + 1, '\0');
  bool given = GetFirstArgument(commandLine.c_str(), &argument[0], argument.size()) != 0;
  char program[] = "quorvel";
  char* argv[] = {program, &argument[0], nullptr};
  g_dialog = StartQtEditor(given ? 2 : 1, argv);
  if (!g_dialog) return;
  QWidget* window = g_dialog->window();
  window->activateWindow();
  QApplication::setActiveWindow(window);
  (void)QTest::qWaitForWindowActive(window);
}

void StopEditor() {
  StopQtEditor();
  g_dialog = nullptr;
  ResetEditorState();
}

HWND EditorWindow() { return HandleOf(g_dialog); }

// EndDialog hides the dialog.
bool EditorIsOpen() { return g_dialog && g_dialog->isVisible(); }

// The window's close button: Qt's close event, which the window passes to the dialog
// and the layer turns into WM_CLOSE.
bool CloseEditor(int* result) {
  g_dialog->window()->close();
  *result = g_dialog->result();
  return g_dialog->ending;
}

// As the dialog manager moves the focus (WM_NEXTDLGCTL): an edit's whole text is
// selected, even when it had the focus already.
void FocusControl(int id) {
  QWidget* control = Item(id);
  if (!control || !control->isEnabled()) return;
  control->setFocus(Qt::TabFocusReason);
  if (auto* edit = dynamic_cast<QtEdit*>(control)) edit->selectAll();
}

int FocusedControl() { return ControlId(g_dialog->focusWidget()); }

// Each character is one key press carrying that character, as a keyboard or an
// input method delivers it.
void TypeText(const std::string& text) {
  auto* edit = dynamic_cast<QtEdit*>(g_dialog->focusWidget());
  if (!edit) return;
  TypeCharacters(edit, EditTextFromBytes(edit, text.c_str()));
}

Qt::Key QtKey(Key key) {
  switch (key) {
    case Key::Up: return Qt::Key_Up;
    case Key::Down: return Qt::Key_Down;
    case Key::Escape: return Qt::Key_Escape;
    case Key::Enter: return Qt::Key_Return;
    case Key::Backspace: return Qt::Key_Backspace;
    case Key::Tab: return Qt::Key_Tab;
    case Key::End: return Qt::Key_End;
  }
  return Qt::Key_unknown;
}

void PressKey(Key key) { QTest::keyClick(KeyTarget(), QtKey(key)); }

// A mouse click near the left end, where check boxes and radio buttons have their
// box; push buttons take it anywhere.
void Click(int id) {
  QWidget* control = Item(id);
  if (!control) return;
  QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, QPoint(5, control->height() / 2));
}

std::string ControlText(int id) {
  char text[1024];
  GetDlgItemTextA(HandleOf(g_dialog), id, text, sizeof text);
  return text;
}

std::string Caption() {
  char text[1024];
  GetWindowTextA(HandleOf(g_dialog), text, sizeof text);
  return text;
}

bool IsChecked(int id) { return IsDlgButtonChecked(HandleOf(g_dialog), id) == BST_CHECKED; }
bool IsEnabled(int id) { return IsWindowEnabled(HandleOf(Item(id))) != FALSE; }

// In bytes of the text as the handlers read it.
void Selection(int id, int* start, int* end) {
  auto* edit = dynamic_cast<QtEdit*>(Item(id));
  if (!edit) {
    *start = *end = 0;
    return;
  }
  if (edit->hasSelectedText()) {
    *start = EditByteOffset(edit, edit->selectionStart());
    *end = EditByteOffset(edit, edit->selectionEnd());
  } else {
    *start = *end = EditByteOffset(edit, edit->cursorPosition());
  }
}

// The next widget of the focus chain that Tab would stop at.
int NextTabItem(int id) {
  QWidget* start = Item(id);
  for (QWidget* next = start->nextInFocusChain(); next != start; next = next->nextInFocusChain()) {
    if (CanTabTo(next)) return ControlId(next);
  }
  return id;
}

// What the widget shows of the template's class and styles: the class from the
// widget type, and the style bits from the widget's state where Qt has one (tab
// stop, visibility, enabling, digits only, button kind, alignment, the up-down's
// buddy and keys). Bits without a Qt counterpart are reported as the template gave
// them to the layer; behaviour the Qt widgets always have is reported as such.
ControlFacts DescribeControl(int id) {
  QWidget* control = Item(id);
  if (!control) return ControlFacts{false, "", 0, 0};
  uint32_t style = WS_CHILD | InertStyleBits(control);
  uint32_t exStyle = 0;
  if (control->isVisibleTo(g_dialog)) style |= WS_VISIBLE;
  if (!control->isEnabled()) style |= WS_DISABLED;
  if (control->focusPolicy() & Qt::TabFocus) style |= WS_TABSTOP;
  std::string className = "Static";
  if (auto* edit = dynamic_cast<QtEdit*>(control)) {
    className = "Edit";
    style |= ES_AUTOHSCROLL;  // a QLineEdit always scrolls its text
    if (edit->digitsOnly) style |= ES_NUMBER;
    if (edit->hasFrame()) exStyle |= WS_EX_CLIENTEDGE;
  } else if (auto* upDown = dynamic_cast<QtUpDown*>(control)) {
    className = "msctls_updown32";
    style |= UDS_SETBUDDYINT | UDS_NOTHOUSANDS;  // the layer's up-down always writes plain numbers
    if (upDown->buddy) style |= UDS_AUTOBUDDY;
    if (upDown->buddy && upDown->buddy->arrowKeysTo == upDown) style |= UDS_ARROWKEYS;
    if (upDown->buddy &&
        upDown->x() == upDown->buddy->geometry().right() - 1) {  // at its right end
      style |= UDS_ALIGNRIGHT;
    }
  } else if (qobject_cast<QCheckBox*>(control)) {
    className = "Button";
    style |= BS_AUTOCHECKBOX;
  } else if (qobject_cast<QRadioButton*>(control)) {
    className = "Button";
    style |= BS_AUTORADIOBUTTON;
  } else if (qobject_cast<QGroupBox*>(control)) {
    className = "Button";
    style |= BS_GROUPBOX;
  } else if (qobject_cast<QPushButton*>(control)) {
    className = "Button";
    style |= BS_PUSHBUTTON;
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    if (label->alignment() & Qt::AlignRight) style |= SS_RIGHT;
  }
  return ControlFacts{true, className, style, exStyle};
}
