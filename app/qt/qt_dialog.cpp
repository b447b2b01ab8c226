#include "qt_dialog.h"

#include <strings.h>

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <vector>

#include "resources/resource.h"

namespace {

constexpr int kScreenDpi = 96;
constexpr int kPointsPerInch = 72;

// MulDiv: a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c) {
  long long product = static_cast<long long>(a) * b;
  return static_cast<int>((product + (product >= 0 ? c / 2 : -c / 2)) / c);
}

bool IsClass(const DialogControl& control, const char* name) {
  return strcasecmp(control.className, name) == 0;
}

// Windows' group box: a frame whose top line runs through the middle of the title.
const char kGroupBoxStyle[] =
    "QGroupBox { border: 1px solid palette(mid); border-radius: 0px; margin-top: 0.5em; }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
    " left: 7px; padding: 0px 1px; }";

// Every click, after the button's own change of state, raises BN_CLICKED.
QAbstractButton* RaisingClicks(QAbstractButton* button) {
  QObject::connect(button, &QAbstractButton::clicked, button,
                   [button] { RaiseCommand(button, BN_CLICKED); });
  return button;
}

QWidget* CreateButton(QtDialog* dialog, const DialogControl& layout) {
  const QString text = QString::fromUtf8(layout.text);
  switch (ButtonKindOf(layout.style)) {
    case ButtonKind::AutoCheckBox: return RaisingClicks(new QtCheckBox(text, dialog));
    case ButtonKind::AutoRadioButton: {
      // The dialog's rules group the radio buttons, not Qt's.
      auto* radio = new QtRadioButton(text, dialog);
      radio->setAutoExclusive(false);
      return RaisingClicks(radio);
    }
    case ButtonKind::GroupBox: {
      auto* group = new QGroupBox(text, dialog);
      group->setStyleSheet(kGroupBoxStyle);
      group->setAttribute(Qt::WA_TransparentForMouseEvents);
      return group;
    }
    default: {
      auto* button = new QPushButton(text, dialog);
      // Enter is the dialog's to handle: it clicks the focused push button only.
      button->setAutoDefault(false);
      return RaisingClicks(button);
    }
  }
}

QtEdit* CreateEdit(QtDialog* dialog, const DialogControl& layout) {
  auto* edit = new QtEdit(dialog);
  edit->digitsOnly = (layout.style & ES_NUMBER) != 0;
  edit->shiftJisText = layout.id == IDC_CHARACTER;
  SetInertStyleBits(edit, layout.style & ES_WANTRETURN);
  edit->setText(EditTextFromBytes(edit, layout.text));
  edit->setCursorPosition(0);
  edit->setFrame(true);
  edit->setTextMargins(1, 0, 1, 0);
  return edit;
}

QWidget* CreateControl(QtDialog* dialog, const DialogControl& layout) {
  if (IsClass(layout, "EDIT")) return CreateEdit(dialog, layout);
  if (IsClass(layout, "BUTTON")) return CreateButton(dialog, layout);
  if (IsClass(layout, "msctls_updown32")) return new QtUpDown(dialog);
  // A static control's text is never markup, whatever SetWindowTextA puts there.
  auto* label = new QLabel(dialog);
  label->setTextFormat(Qt::PlainText);
  label->setText(QString::fromUtf8(layout.text));
  label->setAlignment((layout.style & SS_RIGHT) ? Qt::AlignRight | Qt::AlignTop
                                                : Qt::AlignLeft | Qt::AlignTop);
  return label;
}

// Each field with the label before it: a screen reader names the field by it.
struct LabelledControl {
  int label;
  int control;
};
constexpr LabelledControl kFieldLabels[] = {
    {IDC_LABEL_CHARACTER, IDC_CHARACTER},
    {IDC_LABEL_NUMBER, IDC_NUMBER},
    {IDC_LABEL_WIDTH, IDC_WIDTH},
    {IDC_LABEL_HEIGHT, IDC_HEIGHT},
    {IDC_LABEL_SPACING_LEFT, IDC_SPACING_LEFT},
    {IDC_LABEL_SPACING_RIGHT, IDC_SPACING_RIGHT},
    {IDC_LABEL_OFFSET_Y, IDC_OFFSET_Y},
    {IDC_LABEL_LINE_SPACING, IDC_LINE_SPACING},
};

// The dialog's control with id, from its list of items: asking each widget for its
// id property would cost a property lookup per widget.
QWidget* ItemControl(const QtDialog* dialog, int id) {
  for (const QtDialog::Item& item : dialog->items) {
    if (item.id == id) return item.control;
  }
  return nullptr;
}

void NameFieldsByLabels(const QtDialog* dialog) {
  for (const LabelledControl& pair : kFieldLabels) {
    auto* label = qobject_cast<QLabel*>(ItemControl(dialog, pair.label));
    QWidget* field = ItemControl(dialog, pair.control);
    if (!label || !field) continue;
    label->setBuddy(field);
    field->setAccessibleName(label->text());
  }
  if (QWidget* upDown = ItemControl(dialog, IDC_UPDOWN)) {
    upDown->setAccessibleName(QStringLiteral("番号の増減"));
  }
}

}  // namespace

QFont DialogFont(const DialogFrame& frame) {
  QFont font;
  QStringList families = {QString::fromUtf8(frame.fontName)};
  for (size_t i = 0; i < kDialogFontStandInCount; ++i) {
    families << QString::fromUtf8(kDialogFontStandIns[i]);
  }
  font.setFamilies(families);
  font.setPixelSize(MulDiv(frame.fontPoints, kScreenDpi, kPointsPerInch));
  font.setWeight(QFont::Normal);
  // Unhinted: the font's own outlines and advances, alike at every size and on every
  // screen. Hinting would run the font's instructions for each glyph laid out, which
  // at start-up costs more than building the whole table.
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setItalic(frame.fontItalic != 0);
  return font;
}

DialogBaseUnits MeasureDialogBaseUnits(const QFont& font) {
  QFontMetrics metrics(font);
  const int alphabetWidth =
      metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return {(alphabetWidth / 26 + 1) / 2, metrics.height()};
}

QRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int width, int height) {
  return QRect(MulDiv(x, units.cx, 4), MulDiv(y, units.cy, 8), MulDiv(width, units.cx, 4),
               MulDiv(height, units.cy, 8));
}

QtDialog* BuildQtDialog(const DialogFrame& frame, const DialogControl* controls, size_t count,
                        DLGPROC procedure, QWidget* host) {
  auto* dialog = new QtDialog(procedure, host);
  if (host) {
    dialog->setWindowFlags(Qt::Widget);
  } else {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  }
  dialog->setWindowTitle(QString::fromUtf8(frame.caption));
  const QFont font = DialogFont(frame);
  dialog->setFont(font);
  const DialogBaseUnits units = MeasureDialogBaseUnits(font);
  dialog->setFixedSize(DialogUnitsToPixels(units, 0, 0, frame.width, frame.height).size());

  std::vector<QWidget*> created;
  QWidget* previousTabStop = nullptr;
  for (size_t i = 0; i < count; ++i) {
    const DialogControl& layout = controls[i];
    QWidget* control = CreateControl(dialog, layout);
    SetControlId(control, layout.id);
    control->setGeometry(
        DialogUnitsToPixels(units, layout.x, layout.y, layout.width, layout.height));
    control->setEnabled(!(layout.style & WS_DISABLED));
    control->setVisible((layout.style & WS_VISIBLE) != 0);
    if (layout.style & WS_TABSTOP) {
      control->setFocusPolicy(Qt::StrongFocus);
      if (previousTabStop) QWidget::setTabOrder(previousTabStop, control);
      previousTabStop = control;
    } else {
      control->setFocusPolicy(Qt::NoFocus);
    }
    auto* upDown = dynamic_cast<QtUpDown*>(control);
    size_t buddy = 0;
    if (upDown && AutoBuddyIndex(layout.style, i, &buddy)) {
      upDown->buddy = dynamic_cast<QtEdit*>(created[buddy]);
      if (upDown->buddy && (layout.style & UDS_ARROWKEYS)) upDown->buddy->arrowKeysTo = upDown;
      if (layout.style & UDS_ALIGNRIGHT) upDown->AlignToBuddy();
    }
    created.push_back(control);
    dialog->items.push_back({layout.id, control});
  }
  NameFieldsByLabels(dialog);
  return dialog;
}
