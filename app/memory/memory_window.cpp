#include "memory_window.h"

#include <strings.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "controls/dialog_controls.h"
#include "controls/edit_control.h"
#include "controls/up_down.h"
#include "dialog_layout.h"
#include "modal_calls.h"
#include "shift_jis.h"

// One window of the model: the dialog or one of its controls.
struct HWND__ {
  HWND__* parent = nullptr;  // the dialog; null for the dialog itself
  int id = 0;
  std::string className;
  std::string text;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  bool enabled = true;

  // Buttons.
  UINT check = BST_UNCHECKED;

  // Edits.
  EditState edit;
  size_t selectionStart = 0;
  size_t selectionEnd = 0;

  // The up-down control.
  HWND__* buddy = nullptr;
  UpDownState upDown;

  // The dialog.
  DLGPROC proc = nullptr;
  std::vector<std::unique_ptr<HWND__>> controls;
  HWND__* focus = nullptr;
  bool ended = false;
  INT_PTR result = 0;
};

namespace {

bool IsClass(HWND window, const char* name) {
  return window && strcasecmp(window->className.c_str(), name) == 0;
}
bool IsEdit(HWND window) { return IsClass(window, "EDIT"); }
bool IsUpDown(HWND window) { return IsClass(window, "msctls_updown32"); }
ButtonKind KindOf(HWND window) {
  return IsClass(window, "BUTTON") ? ButtonKindOf(window->style) : ButtonKind::Other;
}

LRESULT Notify(HWND control, WORD code) {
  HWND dialog = control->parent;
  if (!dialog || !dialog->proc) return 0;
  return dialog->proc(dialog, WM_COMMAND, MAKEWPARAM(control->id, code),
                      reinterpret_cast<LPARAM>(control));
}

// Lengths of the characters of a code page 932 text, in bytes.
size_t CharacterLength(const std::string& text, size_t at) {
  bool pair = IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size();
  return pair ? 2 : 1;
}
size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (size_t at = 0; at < text.size(); at += CharacterLength(text, at)) ++count;
  return count;
}

// Every text set on an edit raises EN_CHANGE, even when the text is the same, and
// leaves the caret at the start. Edits hold their text through the code page.
void SetText(HWND window, const char* text) {
  if (!text) text = "";
  if (!IsEdit(window)) {
    window->text = text;
    return;
  }
  window->text = StoredEditText(text);
  window->selectionStart = window->selectionEnd = 0;
  Notify(window, EN_CHANGE);
}

// The buddy's text for the up-down rules; null without a buddy.
const char* BuddyText(HWND upDown) { return upDown->buddy ? upDown->buddy->text.c_str() : nullptr; }

// The up-down rewrites its buddy only when the text differs: this is where the
// editor's chain of change notifications ends.
void WriteBuddyText(HWND upDown, const std::string& text) {
  if (upDown->buddy && upDown->buddy->text != text) SetText(upDown->buddy, text.c_str());
}

// An arrow key in the buddy. The parent is asked first (UDN_DELTAPOS) and told
// after (WM_VSCROLL); the editor answers neither.
void StepPosition(HWND upDown, bool up) {
  std::string text;
  if (StepUpDown(upDown->upDown, BuddyText(upDown), up, &text)) WriteBuddyText(upDown, text);
}

HWND UpDownOf(HWND buddy) {
  if (!buddy || !buddy->parent) return nullptr;
  for (auto& control : buddy->parent->controls) {
    if (IsUpDown(control.get()) && control->buddy == buddy && (control->style & UDS_ARROWKEYS)) {
      return control.get();
    }
  }
  return nullptr;
}

std::vector<TabStopEntry> TabStops(HWND dialog) {
  std::vector<TabStopEntry> entries;
  for (auto& control : dialog->controls) {
    entries.push_back({control->style, control->enabled, (control->style & WS_VISIBLE) != 0});
  }
  return entries;
}

void SelectAll(HWND edit) {
  edit->selectionStart = 0;
  edit->selectionEnd = edit->text.size();
}

// One typed character (one or two bytes) over the selection. Only whether it is a
// digit matters to the rules, and a two-byte character's lead byte is none.
void TypeCharacter(HWND edit, const std::string& character) {
  size_t start = edit->selectionStart;
  size_t end = edit->selectionEnd;
  std::string selected = edit->text.substr(start, end - start);
  Keystroke keystroke = TypeIntoEdit(edit->edit, CharacterCount(edit->text),
                                     CharacterCount(selected), static_cast<BYTE>(character[0]));
  bool unchanged = keystroke == Keystroke::DeletesSelection && start == end;
  if (keystroke == Keystroke::Refused || unchanged) return;
  std::string inserted = keystroke == Keystroke::ReplacesSelection ? character : "";
  edit->text.replace(start, end - start, inserted);
  edit->selectionStart = edit->selectionEnd = start + inserted.size();
  Notify(edit, EN_CHANGE);
}

void DeleteBackwards(HWND edit) {
  size_t start = edit->selectionStart;
  size_t end = edit->selectionEnd;
  if (start == end) {
    if (start == 0) return;
    // Step back over one whole character.
    size_t at = 0;
    while (at + CharacterLength(edit->text, at) < end) at += CharacterLength(edit->text, at);
    start = at;
  }
  edit->text.erase(start, end - start);
  edit->selectionStart = edit->selectionEnd = start;
  Notify(edit, EN_CHANGE);
}

LRESULT SendToDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!dialog->proc) return 0;
  return dialog->proc(dialog, message, wParam, lParam);
}

// Enter and Esc, as the dialog manager handles them.
void PressDialogKey(HWND dialog, DialogKey key) {
  switch (DialogKeyActionFor(key, KindOf(dialog->focus))) {
    case DialogKeyAction::ClickFocusedButton: MemoryClick(dialog->focus); return;
    case DialogKeyAction::Ok:
      SendToDialog(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      return;
    case DialogKeyAction::Cancel:
      SendToDialog(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return;
  }
}

std::unique_ptr<HWND__> CreateControl(HWND dialog, const DialogControl& layout) {
  auto control = std::make_unique<HWND__>();
  control->parent = dialog;
  control->id = layout.id;
  control->className = layout.className;
  control->text = layout.text;
  control->style = layout.style;
  control->exStyle = layout.exStyle;
  control->enabled = !(layout.style & WS_DISABLED);
  control->edit.digitsOnly = (layout.style & ES_NUMBER) != 0;
  return control;
}

void SelectRange(HWND edit, WPARAM start, LPARAM end) {
  EditSelection selection = SelectEditRange({edit->selectionStart, edit->selectionEnd},
                                            static_cast<intptr_t>(start), end, edit->text.size());
  edit->selectionStart = std::min(selection.anchor, selection.caret);
  edit->selectionEnd = std::max(selection.anchor, selection.caret);
}

LRESULT SendToEdit(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case EM_SETSEL: SelectRange(edit, wParam, lParam); return 0;
    case EM_LIMITTEXT: edit->edit.limit = EditLimitFor(wParam); return 0;
    case WM_CHAR: TypeCharacter(edit, std::string(1, static_cast<char>(wParam))); return 0;
  }
  return 0;
}

LRESULT SendToUpDown(HWND upDown, UINT message, WPARAM wParam, LPARAM lParam) {
  std::string text;
  switch (message) {
    case UDM_SETBUDDY: {
      HWND previous = upDown->buddy;
      upDown->buddy = reinterpret_cast<HWND>(wParam);
      return reinterpret_cast<LRESULT>(previous);
    }
    case UDM_SETRANGE32:
      SetUpDownRange(upDown->upDown, static_cast<intptr_t>(wParam), lParam);
      return 0;
    case UDM_SETPOS: {
      int32_t previous =
          SetUpDownPosition(upDown->upDown, static_cast<short>(LOWORD(lParam)), &text);
      WriteBuddyText(upDown, text);
      return previous;
    }
    case UDM_GETPOS: return GetUpDownPosition(upDown->upDown, BuddyText(upDown));
  }
  return 0;
}

}  // namespace

HWND WINAPI CreateDialogParamA(HINSTANCE, LPCSTR templateName, HWND, DLGPROC dialogProc,
                               LPARAM initParam) {
  if (strcasecmp(templateName, "Main") != 0) return nullptr;
  HWND dialog = new HWND__;
  dialog->className = "#32770";
  dialog->text = kMainDialogFrame.caption;
  dialog->style = kMainDialogFrame.style;
  for (size_t i = 0; i < kMainDialogControlCount; ++i) {
    dialog->controls.push_back(CreateControl(dialog, kMainDialogControls[i]));
    HWND control = dialog->controls.back().get();
    size_t buddy = 0;
    if (IsUpDown(control) && AutoBuddyIndex(control->style, i, &buddy)) {
      control->buddy = dialog->controls[buddy].get();
    }
  }
  dialog->proc = dialogProc;
  // WM_INITDIALOG names the first tab stop; TRUE from it gives that control the focus.
  std::vector<TabStopEntry> tabStops = TabStops(dialog);
  size_t first = FirstTabStop(tabStops.data(), tabStops.size());
  HWND focus = first < tabStops.size() ? dialog->controls[first].get() : nullptr;
  if (SendToDialog(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), initParam) && focus) {
    MemorySetFocus(focus);
  }
  return dialog;
}

BOOL WINAPI DestroyWindow(HWND window) {
  if (!window || window->parent) return FALSE;
  delete window;
  return TRUE;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
  dialog->ended = true;
  dialog->result = result;
  return TRUE;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
  for (auto& control : dialog->controls) {
    if (control->id == id) return control.get();
  }
  return nullptr;
}

// The dialog item calls look the control up and act on it; a missing control
// reads as an empty text.
UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size) {
  HWND control = GetDlgItem(dialog, id);
  return static_cast<UINT>(CopyWindowText(control ? control->text : std::string(), text, size));
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  return SetWindowTextA(GetDlgItem(dialog, id), text);
}

// Checking a box from the program raises no BN_CLICKED.
BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) return FALSE;
  control->check = CheckSetByProgram(KindOf(control), check);
  return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control ? control->check : BST_UNCHECKED;
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int size) {
  return window ? CopyWindowText(window->text, text, size) : 0;
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
  if (!window) return FALSE;
  SetText(window, text);
  return TRUE;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window) return 0;
  if (!window->parent) return SendToDialog(window, message, wParam, lParam);
  if (IsEdit(window)) return SendToEdit(window, message, wParam, lParam);
  if (IsUpDown(window)) return SendToUpDown(window, message, wParam, lParam);
  return 0;
}

// Disabling a control leaves the others alone: the up-down control stays enabled
// when its buddy is disabled.
BOOL WINAPI EnableWindow(HWND window, BOOL enable) {
  if (!window) return FALSE;
  bool wasDisabled = !window->enabled;
  window->enabled = enable != FALSE;
  if (!window->enabled && window->parent && window->parent->focus == window) {
    window->parent->focus = nullptr;
  }
  return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND window) { return window && window->enabled; }

// Nobody can answer here: tests replace the editor's message box and file dialog
// with their own answers (modal_calls.h). Left in place, these are an immediate OK
// and an immediate cancel.
int WINAPI MessageBoxA(HWND, LPCSTR, LPCSTR, UINT) { return IDOK; }
int MessageBoxWithDetails(HWND, const char*, const char*, UINT, const char*) { return IDOK; }
BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA) { return FALSE; }

// Code page 932: Shift-JIS lead bytes.
BOOL WINAPI IsDBCSLeadByte(BYTE byte) { return IsShiftJisLeadByte(byte); }

HINSTANCE WINAPI GetModuleHandleA(LPCSTR) { return nullptr; }

bool MemorySetFocus(HWND control) {
  if (!control || !control->parent || !control->enabled || !(control->style & WS_VISIBLE)) {
    return false;
  }
  control->parent->focus = control;
  if (IsEdit(control)) SelectAll(control);
  return true;
}

HWND MemoryFocusedControl(HWND dialog) { return dialog->focus; }

void MemoryTypeText(HWND dialog, const std::string& text) {
  HWND edit = dialog->focus;
  if (!IsEdit(edit)) return;
  for (size_t at = 0; at < text.size();) {
    size_t length = CharacterLength(text, at);
    TypeCharacter(edit, text.substr(at, length));
    at += length;
  }
}

void MemoryPressKey(HWND dialog, MemoryKey key) {
  HWND focus = dialog->focus;
  switch (key) {
    case MemoryKey::Up:
    case MemoryKey::Down:
      if (HWND upDown = UpDownOf(focus); upDown && upDown->enabled) {
        StepPosition(upDown, key == MemoryKey::Up);
      }
      return;
    case MemoryKey::Backspace:
      if (IsEdit(focus)) DeleteBackwards(focus);
      return;
    case MemoryKey::End:  // the caret to the end of the text, nothing selected
      if (IsEdit(focus)) focus->selectionStart = focus->selectionEnd = focus->text.size();
      return;
    case MemoryKey::Tab:
      if (focus) MemorySetFocus(MemoryNextTabItem(dialog, focus));
      return;
    case MemoryKey::Escape: PressDialogKey(dialog, DialogKey::Escape); return;
    case MemoryKey::Enter: PressDialogKey(dialog, DialogKey::Enter); return;
  }
}

void MemoryClick(HWND control) {
  if (!control || !control->enabled || !IsClass(control, "BUTTON")) return;
  ButtonKind kind = KindOf(control);
  if (kind == ButtonKind::GroupBox) return;
  // A click gives the button the focus, as the mouse press does.
  control->parent->focus = control;
  for (auto& other : control->parent->controls) {
    if (other.get() != control && ClickClears(kind, KindOf(other.get()))) {
      other->check = BST_UNCHECKED;
    }
  }
  control->check = CheckAfterClick(kind, control->check);
  Notify(control, BN_CLICKED);
}

HWND MemoryNextTabItem(HWND dialog, HWND control) {
  auto& controls = dialog->controls;
  std::vector<TabStopEntry> tabStops = TabStops(dialog);
  size_t from = 0;
  while (from < controls.size() && controls[from].get() != control) ++from;
  size_t next = NextTabStop(tabStops.data(), tabStops.size(), from);
  return next < controls.size() ? controls[next].get() : control;
}

bool MemoryDialogEnded(HWND dialog, INT_PTR* result) {
  if (result) *result = dialog->result;
  return dialog->ended;
}

std::string MemoryClassName(HWND control) { return control->className; }
uint32_t MemoryStyle(HWND control) { return control->style; }
uint32_t MemoryExStyle(HWND control) { return control->exStyle; }
int MemoryControlId(HWND control) { return control->id; }
void MemorySelection(HWND control, int* start, int* end) {
  *start = static_cast<int>(control->selectionStart);
  *end = static_cast<int>(control->selectionEnd);
}
