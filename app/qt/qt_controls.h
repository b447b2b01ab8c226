// The controls of the Qt window layer: widgets that behave as the Windows dialog
// controls the editor was written against. Each control carries its dialog id; the
// window handle of a control or dialog is its widget's address.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

#include <string>
#include <vector>

#include "controls/dialog_controls.h"
#include "controls/edit_control.h"
#include "controls/up_down.h"
#include "window_api.h"

class QToolButton;
class QtUpDown;

// An EDIT control. Typing obeys the text limit (EM_LIMITTEXT) and ES_NUMBER; texts
// set by the program are taken whole. Every change, typed or set, raises EN_CHANGE.
class QtEdit : public QLineEdit {
 public:
  explicit QtEdit(QWidget* parent);
  size_t textLimit = kDefaultEditLimit;
  bool digitsOnly = false;          // ES_NUMBER
  bool shiftJisText = false;        // the character field: ...A texts are code page 932
  QtUpDown* arrowKeysTo = nullptr;  // an up-down with UDS_ARROWKEYS bound to this edit
  EditState Rules() const { return {textLimit, digitsOnly}; }
  // Types text over the selection as keystrokes do (WM_CHAR): one character at a
  // time, each raising EN_CHANGE when it changed the text.
  void TypeText(const QString& text);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;  // X11's middle-button paste

 private:
  template <typename Edit>
  void EditAsUser(Edit edit);
};

// The up-down control: two small arrow buttons beside its buddy.
class QtUpDown : public QWidget {
 public:
  explicit QtUpDown(QWidget* parent);
  UpDownState state;
  QtEdit* buddy = nullptr;
  void Step(bool up);
  void AlignToBuddy();
  QtEdit* SetBuddy(QtEdit* edit);         // UDM_SETBUDDY; returns the previous one
  uint32_t Position();                    // UDM_GETPOS
  int32_t SetPosition(int32_t position);  // UDM_SETPOS; returns the previous one

 private:
  void WriteBuddyText(const std::string& text);
  QToolButton* upButton_;
  QToolButton* downButton_;
};

// Auto check boxes and radio buttons: a click sets the check by the dialog's rules
// (clearing the dialog's other radio buttons) in place of Qt's own toggling.
class QtCheckBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override;
};

class QtRadioButton : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  void nextCheckState() override;
};

// The button kind of a widget of the dialog (Other for anything not a button).
ButtonKind ButtonKindOfWidget(const QWidget* widget);

// The dialog: runs the dialog procedure, and keeps Esc, Enter and the window's close
// button for it, as the Windows dialog manager does.
class QtDialog : public QDialog {
 public:
  QtDialog(DLGPROC procedure, QWidget* parent);
  DLGPROC procedure;
  bool ending = false;  // EndDialog was called
  // The controls by id, in template order, for GetDlgItem: the handlers look a
  // control up on every field access.
  struct Item {
    int id;
    QWidget* control;
  };
  std::vector<Item> items;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  bool focusNextPrevChild(bool next) override;
};

// Moves the focus to the next (or previous) widget of the focus chain that Tab can
// reach inside container, wrapping around; false when the focus is not inside it.
bool MoveFocusWithin(QWidget* container, bool next);

// Runs Qt's event loop until EndDialog ends dialog (at once when it has ended
// already) and returns the result EndDialog gave: the modal loop of a dialog that
// CreateDialogParamA placed inside a window of the program's.
INT_PTR RunUntilEnded(QtDialog* dialog);

// Handle conversions.
inline HWND HandleOf(QWidget* widget) { return reinterpret_cast<HWND>(widget); }
inline QWidget* WidgetOf(HWND handle) { return reinterpret_cast<QWidget*>(handle); }

// The dialog id of a control (0 for the dialog and for widgets that are no control).
int ControlId(const QWidget* control);
void SetControlId(QWidget* control, int id);

// Template style bits that change nothing in a Qt widget (ES_WANTRETURN of a
// single-line edit), kept so that the control still reports them.
uint32_t InertStyleBits(const QWidget* control);
void SetInertStyleBits(QWidget* control, uint32_t style);

// Calls the dialog procedure of control's dialog with WM_COMMAND, the control's id
// and notification code, synchronously.
void RaiseCommand(QWidget* control, WORD code);

// Sets an edit's text as WM_SETTEXT does: the caret goes to the start and EN_CHANGE
// follows, even when the text is unchanged.
void SetEditText(QtEdit* edit, const QString& text);

// The edit's text as the ...A calls see it (UTF-8, or Shift-JIS for the character field).
std::string EditTextBytes(const QtEdit* edit);
QString EditTextFromBytes(const QtEdit* edit, const char* bytes);

// The byte offset, in the ...A calls' encoding, of a character position of the edit.
int EditByteOffset(const QtEdit* edit, int position);
