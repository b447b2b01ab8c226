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

// Characters of text that ES_NUMBER would not let a user type.
int CountNonDigits(const QString& text) {
  int count = 0;
  for (QChar c : text) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) ++count;
  }
  return count;
}

}  // namespace

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
  auto* dialog = dynamic_cast<QtDialog*>(control->window());
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
  return edit->shiftJisText ? ShiftJisToFieldText(bytes) : QString::fromUtf8(bytes);
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

// Runs one user edit with the widget's signals held back, then keeps it only when
// a Windows edit would have let it through: no more characters than the limit (or
// at least no more than before), no new non-digit in an ES_NUMBER field. A kept
// change raises EN_CHANGE.
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
  const bool tooLong = after.toUcs4().size() > textLimit && after.size() > before.size();
  const bool newNonDigit = digitsOnly && CountNonDigits(after) > CountNonDigits(before);
  if (tooLong || newNonDigit) {
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

void QtEdit::keyPressEvent(QKeyEvent* event) {
  if (arrowKeysTo && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
    arrowKeysTo->Step(event->key() == Qt::Key_Up);
    return;
  }
  EditAsUser([&] { QLineEdit::keyPressEvent(event); });
}

void QtEdit::inputMethodEvent(QInputMethodEvent* event) {
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
  std::string text;
  std::string buddyText = buddy ? EditTextBytes(buddy) : std::string();
  if (!StepUpDown(state, buddyText.c_str(), up, &text)) return;
  if (buddy) SetEditText(buddy, QString::fromStdString(text));
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

// Esc sends IDCANCEL and Enter IDOK, each with no control (lParam 0), except that
// Enter on a focused push button clicks it: the dialog has no default button.
void QtDialog::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (key != Qt::Key_Escape) {
      if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
        button->click();
        return;
      }
    }
    if (procedure) {
      procedure(HandleOf(this), WM_COMMAND, MAKEWPARAM(key == Qt::Key_Escape ? IDCANCEL : IDOK, 0),
                0);
    }
    return;
  }
  QWidget::keyPressEvent(event);
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
