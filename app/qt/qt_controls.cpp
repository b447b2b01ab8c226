#include "qt_controls.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>
#include <QVariant>

#include <algorithm>

#include "character_text.h"

namespace {

const char kIdProperty[] = "quorvelControlId";
const char kInertStyleProperty[] = "quorvelInertStyle";

// What the edit rules count in a text: characters (code points) and non-digits.
EditTextCount CountForRules(const QString& text) {
  EditTextCount count;
  for (uint character : text.toUcs4()) {
    ++count.characters;
    if (character < '0' || character > '9') ++count.nonDigits;
  }
  return count;
}

// A key that types its text, as opposed to a shortcut or a moving key.
bool IsTypingKey(const QKeyEvent* event) {
  const Qt::KeyboardModifiers shortcuts = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
  const QString text = event->text();
  return !text.isEmpty() && text[0].isPrint() && !(event->modifiers() & shortcuts);
}

// Applies a click to button by the dialog's rules: the check it leaves, and the
// other buttons of the dialog it clears.
void ClickButton(QAbstractButton* button) {
  const ButtonKind kind = ButtonKindOfWidget(button);
  for (QAbstractButton* other : button->parentWidget()->findChildren<QAbstractButton*>()) {
    if (other != button && ClickClears(kind, ButtonKindOfWidget(other))) other->setChecked(false);
  }
  const uint32_t check = button->isChecked() ? kChecked : kUnchecked;
  button->setChecked(CheckAfterClick(kind, check) == kChecked);
}

}  // namespace

ButtonKind ButtonKindOfWidget(const QWidget* widget) {
  if (qobject_cast<const QPushButton*>(widget)) return ButtonKind::PushButton;
  if (qobject_cast<const QCheckBox*>(widget)) return ButtonKind::AutoCheckBox;
  if (qobject_cast<const QRadioButton*>(widget)) return ButtonKind::AutoRadioButton;
  return ButtonKind::Other;
}

void QtCheckBox::nextCheckState() { ClickButton(this); }
void QtRadioButton::nextCheckState() { ClickButton(this); }

int ControlId(const QWidget* control) {
  return control ? control->property(kIdProperty).toInt() : 0;
}

void SetControlId(QWidget* control, int id) { control->setProperty(kIdProperty, id); }

uint32_t InertStyleBits(const QWidget* control) {
  return control->property(kInertStyleProperty).toUInt();
}

void SetInertStyleBits(QWidget* control, uint32_t style) {
  control->setProperty(kInertStyleProperty, style);
}

void RaiseCommand(QWidget* control, WORD code) {
  auto* dialog = dynamic_cast<QtDialog*>(control->parentWidget());
  if (!dialog || !dialog->procedure) return;
  dialog->procedure(HandleOf(dialog), WM_COMMAND, MAKEWPARAM(ControlId(control), code),
                    reinterpret_cast<LPARAM>(control));
}

void SetEditText(QtEdit* edit, const QString& text) {
  {
    QSignalBlocker quiet(edit);
    edit->setText(text);
    edit->setCursorPosition(0);
  }
  RaiseCommand(edit, EN_CHANGE);
}

std::string EditTextBytes(const QtEdit* edit) {
  if (!edit->shiftJisText) return edit->text().toStdString();
  std::string bytes(edit->text().size() * 2 + 1, '\0');
  bytes.resize(FieldTextToShiftJis(edit->text(), &bytes[0], bytes.size()));
  return bytes;
}

QString EditTextFromBytes(const QtEdit* edit, const char* bytes) {
  if (!edit->shiftJisText) return QString::fromUtf8(bytes);
  return ShiftJisToFieldText(StoredEditText(bytes).c_str());
}

int EditByteOffset(const QtEdit* edit, int position) {
  const QString prefix = edit->text().left(position);
  if (!edit->shiftJisText) return static_cast<int>(prefix.toUtf8().size());
  std::string bytes(prefix.size() * 2 + 1, '\0');
  return static_cast<int>(FieldTextToShiftJis(prefix, &bytes[0], bytes.size()));
}

QtEdit::QtEdit(QWidget* parent) : QLineEdit(parent) {
  // The edit's own context menu and drops would change the text past the checks
  // below; typing and the clipboard keys go through them.
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(false);
  // Any other way a user changes the text still raises EN_CHANGE; the checked ways
  // below hold the signal back and raise it themselves.
  connect(this, &QLineEdit::textEdited, this, [this] { RaiseCommand(this, EN_CHANGE); });
}

void QtEdit::TypeText(const QString& typed) {
  for (char32_t character : typed.toUcs4()) {
    const Keystroke keystroke =
        TypeIntoEdit(Rules(), static_cast<size_t>(text().toUcs4().size()),
                     static_cast<size_t>(selectedText().toUcs4().size()), character);
    if (keystroke == Keystroke::Refused) continue;
    const QString before = text();
    {
      QSignalBlocker quiet(this);
      // insert() replaces the selection; an empty text only deletes it.
      insert(keystroke == Keystroke::ReplacesSelection ? QString::fromUcs4(&character, 1)
                                                       : QString());
    }
    if (text() != before) RaiseCommand(this, EN_CHANGE);
  }
}

// Runs one user edit other than typing with the widget's signals held back, then
// keeps it only when the edit rules let it through. A kept change raises EN_CHANGE.
template <typename Edit>
void QtEdit::EditAsUser(Edit edit) {
  const QString before = text();
  const int cursor = cursorPosition();
  const int selectionStart = this->selectionStart();
  const int selectionLength = selectedText().size();
  {
    QSignalBlocker quiet(this);
    edit();
  }
  const QString after = text();
  if (after == before) return;
  if (!KeepsUserEdit(Rules(), CountForRules(before), CountForRules(after))) {
    QSignalBlocker quiet(this);
    setText(before);
    if (selectionStart >= 0) {
      setSelection(selectionStart, selectionLength);
    } else {
      setCursorPosition(cursor);
    }
    return;
  }
  RaiseCommand(this, EN_CHANGE);
}

// Undo and redo keys are the edit's while it has typing to take back or bring
// again; otherwise they are left to the window (which undoes whole changes).
bool QtEdit::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->matches(QKeySequence::Undo) && !isUndoAvailable()) ||
        (key->matches(QKeySequence::Redo) && !isRedoAvailable())) {
      event->ignore();
      return true;
    }
  }
  return QLineEdit::event(event);
}

void QtEdit::keyPressEvent(QKeyEvent* event) {
  if (arrowKeysTo && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
    arrowKeysTo->Step(event->key() == Qt::Key_Up);
    return;
  }
  if (IsTypingKey(event)) {
    TypeText(event->text());
    return;
  }
  EditAsUser([&] { QLineEdit::keyPressEvent(event); });
}

// A finished input method character arrives as typed characters do on Windows;
// compositions in progress go through the general checks.
void QtEdit::inputMethodEvent(QInputMethodEvent* event) {
  const bool committedOnly = event->preeditString().isEmpty() && event->replacementLength() == 0;
  if (committedOnly && !event->commitString().isEmpty()) {
    TypeText(event->commitString());
    return;
  }
  EditAsUser([&] { QLineEdit::inputMethodEvent(event); });
}

void QtEdit::mouseReleaseEvent(QMouseEvent* event) {
  EditAsUser([&] { QLineEdit::mouseReleaseEvent(event); });
}

QtUpDown::QtUpDown(QWidget* parent)
    : QWidget(parent), upButton_(new QToolButton(this)), downButton_(new QToolButton(this)) {
  upButton_->setArrowType(Qt::UpArrow);
  downButton_->setArrowType(Qt::DownArrow);
  for (QToolButton* button : {upButton_, downButton_}) {
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    button->setIconSize(QSize(7, 4));
  }
  connect(upButton_, &QToolButton::clicked, this, [this] { Step(true); });
  connect(downButton_, &QToolButton::clicked, this, [this] { Step(false); });
  setFocusPolicy(Qt::NoFocus);
}

// One arrow step: the buddy is rewritten (raising its EN_CHANGE) only when the
// position moved; at the end of the range nothing happens.
void QtUpDown::Step(bool up) {
  if (!isEnabled()) return;
  const std::string buddyText = buddy ? EditTextBytes(buddy) : std::string();
  std::string text;
  if (StepUpDown(state, buddy ? buddyText.c_str() : nullptr, up, &text)) WriteBuddyText(text);
}

// The arrow keys follow the buddy, and the up-down takes its place at the buddy's
// right end again.
QtEdit* QtUpDown::SetBuddy(QtEdit* edit) {
  QtEdit* previous = buddy;
  if (previous) previous->arrowKeysTo = nullptr;
  buddy = edit;
  if (edit) {
    edit->arrowKeysTo = this;
    AlignToBuddy();
  }
  return previous;
}

uint32_t QtUpDown::Position() {
  const std::string buddyText = buddy ? EditTextBytes(buddy) : std::string();
  return GetUpDownPosition(state, buddy ? buddyText.c_str() : nullptr);
}

int32_t QtUpDown::SetPosition(int32_t position) {
  std::string text;
  const int32_t previous = SetUpDownPosition(state, position, &text);
  WriteBuddyText(text);
  return previous;
}

// The buddy is rewritten only when its text differs: this is where the editor's
// chain of change notifications ends.
void QtUpDown::WriteBuddyText(const std::string& text) {
  if (buddy && EditTextBytes(buddy) != text) SetEditText(buddy, QString::fromStdString(text));
}

// UDS_ALIGNRIGHT, as the up-down control does it on every binding: the buddy gives
// up the up-down's current width at its right end, and the up-down takes that place
// at its standard width of 16 pixels, nudged 2 pixels left over the buddy's border.
// Bound twice (at creation and by UDM_SETBUDDY), the buddy shrinks twice, as the
// Windows dialog shows it.
void QtUpDown::AlignToBuddy() {
  if (!buddy) return;
  const int standardWidth = 16;
  const int buddyBorder = 2;
  const QRect field = buddy->geometry();
  const int newBuddyWidth = std::max(0, field.width() - width());
  buddy->setFixedSize(newBuddyWidth, field.height());
  setGeometry(field.left() + newBuddyWidth - buddyBorder, field.top(), standardWidth,
              field.height());
  const int half = field.height() / 2;
  upButton_->setGeometry(0, 0, standardWidth, half);
  downButton_->setGeometry(0, half, standardWidth, field.height() - half);
  raise();
}

QtDialog::QtDialog(DLGPROC dialogProcedure, QWidget* parent)
    : QDialog(parent), procedure(dialogProcedure) {}

// Esc and Enter go to the dialog procedure as the dialog rules say: a click on the
// focused push button, or IDCANCEL / IDOK with no control (lParam 0).
void QtDialog::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key != Qt::Key_Escape && key != Qt::Key_Return && key != Qt::Key_Enter) {
    QWidget::keyPressEvent(event);
    return;
  }
  const DialogKey dialogKey = key == Qt::Key_Escape ? DialogKey::Escape : DialogKey::Enter;
  const DialogKeyAction action = DialogKeyActionFor(dialogKey, ButtonKindOfWidget(focusWidget()));
  if (action == DialogKeyAction::ClickFocusedButton) {
    static_cast<QAbstractButton*>(focusWidget())->click();
  } else if (procedure) {
    const WORD id = action == DialogKeyAction::Cancel ? IDCANCEL : IDOK;
    procedure(HandleOf(this), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  }
}

// The window's close button asks the dialog procedure (WM_CLOSE), which decides.
void QtDialog::closeEvent(QCloseEvent* event) {
  if (ending) {
    event->accept();
    return;
  }
  event->ignore();
  if (procedure) procedure(HandleOf(this), WM_CLOSE, 0, 0);
}

// QDialog's own way out (Esc) is closed: only EndDialog ends the dialog.
void QtDialog::reject() {}

// Tab and Shift+Tab stay within the dialog's controls, in their tab order, even
// when the dialog is shown inside a larger window.
bool QtDialog::focusNextPrevChild(bool next) { return MoveFocusWithin(this, next); }

bool MoveFocusWithin(QWidget* container, bool next) {
  QWidget* start = container->focusWidget();
  if (!start || !container->isAncestorOf(start)) return false;
  for (QWidget* w = start;;) {
    w = next ? w->nextInFocusChain() : w->previousInFocusChain();
    if (w == start) return false;
    if (container->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
        w->isVisibleTo(container) && !w->focusProxy()) {
      w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return true;
    }
  }
}
