// The Windows calls of portable/win32_api.h over Qt widgets: the window layer of
// the Linux and macOS program. Handles are widget addresses; texts are UTF-8 except
// the character field's, which is code page 932 (see character_text.h).
#include <strings.h>

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>

#include <cstring>
#include <string>
#include <vector>

#include "dialog_layout.h"
#include "modal_calls.h"
#include "qt_controls.h"
#include "qt_dialog.h"
#include "shift_jis.h"
#include "window_api.h"

namespace {

QtDialog* DialogOf(HWND window) { return dynamic_cast<QtDialog*>(WidgetOf(window)); }
QtEdit* EditOf(HWND window) { return dynamic_cast<QtEdit*>(WidgetOf(window)); }
QtUpDown* UpDownOf(HWND window) { return dynamic_cast<QtUpDown*>(WidgetOf(window)); }

// Qt reads "[*]" in a window title as the place of its modified mark and drops it
// there, and shows "[*][*]" as "[*]": a caption names a file, so each "[*]" of it
// is doubled to show as it is, and halved again when the caption is read.
QString TitleOfCaption(QString caption) { return caption.replace("[*]", "[*][*]"); }
QString CaptionOfTitle(QString title) { return title.replace("[*][*]", "[*]"); }

// The text of any window, as the ...A calls see it.
std::string WindowTextBytes(QWidget* widget) {
  if (auto* edit = dynamic_cast<QtEdit*>(widget)) return EditTextBytes(edit);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text().toStdString();
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title().toStdString();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdString();
  return CaptionOfTitle(widget->windowTitle()).toStdString();
}

// The first control in template order (the dialog's creation order) that Tab can
// reach. The dialog is not shown yet: a control counts as visible unless hidden.
QWidget* FirstTabStopOf(QtDialog* dialog) {
  const QList<QWidget*> controls =
      dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  std::vector<TabStopEntry> entries;
  for (QWidget* control : controls) {
    const bool tabStop = (control->focusPolicy() & Qt::TabFocus) && ControlId(control) != 0;
    const uint32_t style = tabStop ? WS_TABSTOP : 0;
    entries.push_back({style, control->isEnabled(), !control->isHidden()});
  }
  const size_t first = FirstTabStop(entries.data(), entries.size());
  return first < entries.size() ? controls[static_cast<int>(first)] : nullptr;
}

// Builds the dialog "Main" (inside host, when given) and sends WM_INITDIALOG; TRUE
// from it gives the first tab stop the focus. Null for any other template name.
QtDialog* CreateEditorDialog(LPCSTR templateName, QWidget* host, DLGPROC dialogProc,
                             LPARAM initParam) {
  if (!templateName || strcasecmp(templateName, "Main") != 0) return nullptr;
  QtDialog* dialog = BuildQtDialog(kMainDialogFrame, kMainDialogControls, kMainDialogControlCount,
                                   dialogProc, host);
  // wParam is the control that gets the focus when the procedure returns TRUE.
  QWidget* first = FirstTabStopOf(dialog);
  if (dialogProc(HandleOf(dialog), WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam)) {
    if (first) first->setFocus(Qt::TabFocusReason);
  }
  return dialog;
}

// EM_SETSEL in the widget's positions (UTF-16 units).
void SelectRange(QtEdit* edit, WPARAM start, LPARAM end) {
  const size_t caret = static_cast<size_t>(edit->cursorPosition());
  const EditSelection selection = SelectEditRange({caret, caret}, static_cast<intptr_t>(start), end,
                                                  static_cast<size_t>(edit->text().size()));
  if (selection.anchor == selection.caret) {
    edit->deselect();
    edit->setCursorPosition(static_cast<int>(selection.caret));
    return;
  }
  edit->setSelection(static_cast<int>(selection.anchor),
                     static_cast<int>(selection.caret) - static_cast<int>(selection.anchor));
}

LRESULT SendToEdit(QtEdit* edit, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case EM_LIMITTEXT: edit->textLimit = EditLimitFor(wParam); return 0;
    case EM_SETSEL: SelectRange(edit, wParam, lParam); return 0;
    case WM_CHAR:  // one character of the field's text, as its ...A encoding has it
      edit->TypeText(EditTextFromBytes(edit, std::string(1, static_cast<char>(wParam)).c_str()));
      return 0;
  }
  return 0;
}

LRESULT SendToUpDown(QtUpDown* upDown, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case UDM_SETBUDDY:
      return reinterpret_cast<LRESULT>(upDown->SetBuddy(EditOf(reinterpret_cast<HWND>(wParam))));
    case UDM_SETRANGE32:
      SetUpDownRange(upDown->state, static_cast<intptr_t>(wParam), lParam);
      return 0;
    case UDM_SETPOS: return upDown->SetPosition(static_cast<short>(LOWORD(lParam)));
    case UDM_GETPOS: return upDown->Position();
  }
  return 0;
}

// The OPENFILENAMEA filter (description, pattern pairs ending in an empty string)
// as Qt name filters. A description that already ends in its pattern is kept whole.
QStringList NameFilters(const char* filter) {
  QStringList filters;
  while (filter && *filter) {
    const char* pattern = filter + std::strlen(filter) + 1;
    QString description = QString::fromUtf8(filter);
    QString patterns = QString::fromUtf8(pattern).replace(';', ' ');
    if (description.endsWith("(" + patterns + ")")) {
      filters << description;
    } else {
      filters << description + " (" + patterns + ")";
    }
    filter = pattern + std::strlen(pattern) + 1;
  }
  return filters;
}

}  // namespace

INT_PTR RunUntilEnded(QtDialog* dialog) {
  if (dialog->ending) return dialog->result();
  if (dialog->isWindow()) return dialog->exec();
  QEventLoop loop;
  QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
  loop.exec();
  return dialog->result();
}

// With a parent the dialog is made inside it, as a child, and shown there; the
// parent's window is the caller's to show.
HWND WINAPI CreateDialogParamA(HINSTANCE, LPCSTR templateName, HWND parent, DLGPROC dialogProc,
                               LPARAM initParam) {
  QtDialog* dialog = CreateEditorDialog(templateName, WidgetOf(parent), dialogProc, initParam);
  if (!dialog) return nullptr;
  if (!dialog->ending) dialog->show();
  return HandleOf(dialog);
}

// Runs the dialog modally, as a window of its own, until EndDialog; returns its
// result, or -1 when the dialog cannot be created.
INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND, DLGPROC dialogProc,
                               LPARAM initParam) {
  QtDialog* dialog = CreateEditorDialog(templateName, nullptr, dialogProc, initParam);
  if (!dialog) return -1;
  INT_PTR result = RunUntilEnded(dialog);
  delete dialog;
  return result;
}

// Hides the dialog and ends its loop; a window around it learns of it through the
// dialog's finished signal.
BOOL WINAPI EndDialog(HWND window, INT_PTR result) {
  QtDialog* dialog = DialogOf(window);
  if (!dialog) return FALSE;
  dialog->ending = true;
  dialog->done(static_cast<int>(result));
  return TRUE;
}

BOOL WINAPI DestroyWindow(HWND window) {
  QtDialog* dialog = DialogOf(window);
  if (!dialog) return FALSE;
  delete dialog;
  return TRUE;
}

HWND WINAPI GetDlgItem(HWND window, int id) {
  QtDialog* dialog = DialogOf(window);
  if (!dialog) return nullptr;
  for (const QtDialog::Item& item : dialog->items) {
    if (item.id == id) return HandleOf(item.control);
  }
  return nullptr;
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int size) {
  return window ? CopyWindowText(WindowTextBytes(WidgetOf(window)), text, size) : 0;
}

// A missing control reads as an empty text.
UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size) {
  QWidget* control = WidgetOf(GetDlgItem(dialog, id));
  const std::string bytes = control ? WindowTextBytes(control) : std::string();
  return static_cast<UINT>(CopyWindowText(bytes, text, size));
}

// Setting an edit's text raises EN_CHANGE even when the text is unchanged.
BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
  if (!window) return FALSE;
  QWidget* widget = WidgetOf(window);
  const char* bytes = text ? text : "";
  if (auto* edit = dynamic_cast<QtEdit*>(widget)) {
    SetEditText(edit, EditTextFromBytes(edit, bytes));
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(QString::fromUtf8(bytes));
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(QString::fromUtf8(bytes));
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(QString::fromUtf8(bytes));
  } else {
    // A caption names a file, whose name may be Shift-JIS rather than UTF-8. A
    // window around a dialog follows its title through windowTitleChanged.
    widget->setWindowTitle(TitleOfCaption(QString::fromStdString(NameBytesToUtf8(bytes))));
  }
  return TRUE;
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  return SetWindowTextA(GetDlgItem(dialog, id), text);
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window) return 0;
  if (QtDialog* dialog = DialogOf(window)) {
    return dialog->procedure ? dialog->procedure(window, message, wParam, lParam) : 0;
  }
  if (QtEdit* edit = EditOf(window)) return SendToEdit(edit, message, wParam, lParam);
  if (QtUpDown* upDown = UpDownOf(window)) return SendToUpDown(upDown, message, wParam, lParam);
  return 0;
}

// Checking from the program raises no BN_CLICKED and leaves other radio buttons
// alone. Any control takes the call; only check boxes and radio buttons keep it.
BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
  QWidget* control = WidgetOf(GetDlgItem(dialog, id));
  if (!control) return FALSE;
  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setChecked(CheckSetByProgram(ButtonKindOfWidget(button), check) == kChecked);
  }
  return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
  auto* button = qobject_cast<QAbstractButton*>(WidgetOf(GetDlgItem(dialog, id)));
  return button && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

// Only the one window changes: the up-down stays usable when its buddy is disabled.
BOOL WINAPI EnableWindow(HWND window, BOOL enable) {
  if (!window) return FALSE;
  QWidget* widget = WidgetOf(window);
  const bool wasDisabled = !widget->isEnabled();
  widget->setEnabled(enable != FALSE);
  return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND window) { return window && WidgetOf(window)->isEnabled(); }

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  return MessageBoxWithDetails(owner, text, caption, type, "");
}

// A message box owned by the dialog, with the icon and buttons type asks for
// (the editor uses the error box with OK and the warning box with a question),
// and details below the text (Qt's informative text). A box at start comes before
// the dialog is shown; it then centres on the screen rather than on a window that
// has no place yet. Esc or the close button answer as Windows does: IDCANCEL
// where there is a cancel button, IDNO on Yes/No. Both texts show as they are:
// the details name a file, and a name must never be read as markup that sets a
// font or loads an image.
int MessageBoxWithDetails(HWND owner, const char* text, const char* caption, UINT type,
                          const char* details) {
  QWidget* parent = WidgetOf(owner);
  if (parent && !parent->isVisible()) parent = nullptr;
  QMessageBox::Icon icon =
      (type & MB_ICONMASK) == MB_ICONWARNING ? QMessageBox::Warning : QMessageBox::Critical;
  QMessageBox box(icon, QString::fromUtf8(caption), QString::fromUtf8(text), QMessageBox::NoButton,
                  parent);
  // A file's name may be Shift-JIS rather than UTF-8.
  box.setInformativeText(QString::fromStdString(NameBytesToUtf8(details ? details : "")));
  // Qt sets a format for the main text only; the informative text's label exists
  // once it has a text, and is made plain with the others.
  for (QLabel* label : box.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
  switch (type & MB_TYPEMASK) {
    case MB_YESNO:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setEscapeButton(QMessageBox::No);
      break;
    case MB_YESNOCANCEL:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
  }
  if ((type & kOverwriteReloadButtons) && (type & MB_TYPEMASK) == MB_YESNOCANCEL) {
    box.button(QMessageBox::Yes)->setText(QStringLiteral("上書き"));
    box.button(QMessageBox::No)->setText(QStringLiteral("再読み込み"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    box.setDefaultButton(QMessageBox::Cancel);
  }
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (!clicked) return IDCANCEL;
  if (clicked == box.button(QMessageBox::Yes)) return IDYES;
  if (clicked == box.button(QMessageBox::No)) return IDNO;
  if (clicked == box.button(QMessageBox::Cancel)) return IDCANCEL;
  return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
}

// The file-open dialog with the caller's filters, title and default extension; the
// filter in use when a file is chosen is kept in nFilterIndex (1-based) and
// preselected next time. Returns FALSE on cancel or when the path does not fit.
BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA open) {
  const char* title = open->lpstrTitle ? open->lpstrTitle : "";
  QFileDialog dialog(WidgetOf(open->hwndOwner), QString::fromUtf8(title));
  dialog.setFileMode((open->Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  const QStringList filters = NameFilters(open->lpstrFilter);
  dialog.setNameFilters(filters);
  if (open->nFilterIndex >= 1 && open->nFilterIndex <= static_cast<DWORD>(filters.size())) {
    dialog.selectNameFilter(filters[static_cast<int>(open->nFilterIndex) - 1]);
  }
  if (open->lpstrDefExt) {
    const char* extension = open->lpstrDefExt;
    dialog.setDefaultSuffix(QString::fromUtf8(extension[0] == '.' ? extension + 1 : extension));
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return FALSE;

  const std::string path = dialog.selectedFiles().first().toStdString();
  if (path.size() + 1 > open->nMaxFile) return FALSE;
  std::memcpy(open->lpstrFile, path.c_str(), path.size() + 1);
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  open->nFileOffset = static_cast<WORD>(slash == std::string::npos ? 0 : slash + 1);
  open->nFileExtension = static_cast<WORD>(
      dot == std::string::npos || dot < open->nFileOffset ? path.size() : dot + 1);
  const int chosen = filters.indexOf(dialog.selectedNameFilter());
  if (chosen >= 0) open->nFilterIndex = static_cast<DWORD>(chosen + 1);
  return TRUE;
}

BOOL WINAPI IsDBCSLeadByte(BYTE byte) { return IsShiftJisLeadByte(byte); }

HINSTANCE WINAPI GetModuleHandleA(LPCSTR) { return nullptr; }
