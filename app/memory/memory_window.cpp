#include "memory_window.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "dialog_layout.h"
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

  // Edits. The default limit of a single-line edit.
  size_t limit = 30000;
  size_t selectionStart = 0;
  size_t selectionEnd = 0;

  // The up-down control, with the control's defaults: range 100 down to 0.
  HWND__* buddy = nullptr;
  int minimum = 100;
  int maximum = 0;
  int position = 0;

  // The dialog.
  DLGPROC proc = nullptr;
  std::vector<std::unique_ptr<HWND__>> controls;
  HWND__* focus = nullptr;
  bool ended = false;
  INT_PTR result = 0;
};

namespace {

constexpr int kMaximumEditLimit = 0x7FFFFFFE;

bool IsClass(HWND window, const char* name) {
  return window && strcasecmp(window->className.c_str(), name) == 0;
}
bool IsEdit(HWND window) { return IsClass(window, "EDIT"); }
bool IsUpDown(HWND window) { return IsClass(window, "msctls_updown32"); }
uint32_t ButtonType(HWND window) { return window->style & 0x0F; }

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

// Edits store text as Windows converts it through the code page: a text that is
// one lone lead byte is no character and becomes U+30FB, read back as 0x81 0x45.
std::string AsStoredText(HWND window, const char* text) {
  std::string stored = text ? text : "";
  if (IsEdit(window) && stored.size() == 1 && IsDBCSLeadByte(static_cast<BYTE>(stored[0]))) {
    stored = "\x81\x45";
  }
  return stored;
}

// Every text set on an edit raises EN_CHANGE, even when the text is the same, and
// leaves the caret at the start.
void SetText(HWND window, const char* text) {
  window->text = AsStoredText(window, text);
  if (!IsEdit(window)) return;
  window->selectionStart = window->selectionEnd = 0;
  Notify(window, EN_CHANGE);
}

// The up-down control, as comctl32 does it.
bool InRange(HWND upDown, int value) {
  if (upDown->maximum > upDown->minimum) {
    return upDown->minimum <= value && value <= upDown->maximum;
  }
  return upDown->maximum <= value && value <= upDown->minimum;
}

// Reads the buddy's number into the position; false (position kept) when the text
// is no whole number or out of range. An empty text reads as 0.
bool ReadBuddyNumber(HWND upDown) {
  if (!upDown->buddy) return false;
  const char* text = upDown->buddy->text.c_str();
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(text, &end, 10);
  if (*end != 0 || errno != 0 || !InRange(upDown, static_cast<int>(value))) return false;
  upDown->position = static_cast<int>(value);
  return true;
}

// Writes the position into the buddy, only when its text differs: this is where
// the editor's chain of change notifications ends.
void WriteBuddyNumber(HWND upDown) {
  if (!upDown->buddy) return;
  std::string number = std::to_string(upDown->position);
  if (upDown->buddy->text == number) return;
  SetText(upDown->buddy, number.c_str());
}

LRESULT SetPosition(HWND upDown, LPARAM lParam) {
  // Clamped into the range whichever way it runs (the default 100 down to 0 too).
  int value = static_cast<short>(LOWORD(lParam));
  int low = std::min(upDown->minimum, upDown->maximum);
  int high = std::max(upDown->minimum, upDown->maximum);
  value = std::min(std::max(value, low), high);
  int previous = upDown->position;
  upDown->position = value;
  WriteBuddyNumber(upDown);
  return previous;
}

// An arrow key in the buddy: one step towards the maximum (Up) or the minimum
// (Down); nothing at the end of the range. The parent is asked first (UDN_DELTAPOS)
// and told after (WM_VSCROLL); the editor answers neither.
void StepPosition(HWND upDown, int direction) {
  ReadBuddyNumber(upDown);
  int delta = direction * (upDown->maximum < upDown->minimum ? -1 : 1);
  if (InRange(upDown, upDown->position + delta)) {
    upDown->position += delta;
    WriteBuddyNumber(upDown);
  }
}

HWND UpDownOf(HWND buddy) {
  if (!buddy || !buddy->parent) return nullptr;
  for (auto& control : buddy->parent->controls) {
    if (IsUpDown(control.get()) && control->buddy == buddy &&
        (control->style & UDS_ARROWKEYS)) {
      return control.get();
    }
  }
  return nullptr;
}

bool CanFocus(HWND control) {
  return control && control->enabled && (control->style & WS_VISIBLE) &&
         (control->style & WS_TABSTOP);
}

void SelectAll(HWND edit) {
  edit->selectionStart = 0;
  edit->selectionEnd = edit->text.size();
}

// One typed character: replaces the selection unless refused.
void TypeCharacter(HWND edit, const std::string& character) {
  if ((edit->style & ES_NUMBER) && !(character.size() == 1 && character[0] >= '0' &&
                                     character[0] <= '9')) {
    return;
  }
  size_t start = edit->selectionStart;
  size_t end = edit->selectionEnd;
  std::string selected = edit->text.substr(start, end - start);
  if (CharacterCount(edit->text) - CharacterCount(selected) + 1 > edit->limit) return;
  edit->text.replace(start, end - start, character);
  edit->selectionStart = edit->selectionEnd = start + character.size();
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

std::unique_ptr<HWND__> CreateControl(HWND dialog, const DialogControl& layout) {
  auto control = std::make_unique<HWND__>();
  control->parent = dialog;
  control->id = layout.id;
  control->className = layout.className;
  control->text = layout.text;
  control->style = layout.style;
  control->exStyle = layout.exStyle;
  control->enabled = !(layout.style & WS_DISABLED);
  return control;
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
    // UDS_AUTOBUDDY: the control created just before becomes the buddy.
    if (IsUpDown(control) && (control->style & UDS_AUTOBUDDY) && i > 0) {
      control->buddy = dialog->controls[i - 1].get();
    }
  }
  dialog->proc = dialogProc;
  // TRUE from WM_INITDIALOG: the first tab stop gets the focus.
  if (SendToDialog(dialog, WM_INITDIALOG, 0, initParam)) {
    for (auto& control : dialog->controls) {
      if (CanFocus(control.get())) {
        MemorySetFocus(control.get());
        break;
      }
    }
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

int WINAPI GetWindowTextA(HWND window, LPSTR text, int size) {
  if (!window || size <= 0) return 0;
  size_t length = std::min(window->text.size(), static_cast<size_t>(size - 1));
  std::memcpy(text, window->text.data(), length);
  text[length] = 0;
  return static_cast<int>(length);
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) {
    if (size > 0) text[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowTextA(control, text, size));
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
  if (!window) return FALSE;
  SetText(window, text);
  return TRUE;
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  return SetWindowTextA(GetDlgItem(dialog, id), text);
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window) return 0;
  if (!window->parent) return SendToDialog(window, message, wParam, lParam);
  if (IsEdit(window)) {
    switch (message) {
      case EM_LIMITTEXT:
        window->limit = wParam == 0 ? kMaximumEditLimit : wParam;
        return 0;
      case EM_SETSEL: {
        // (0, -1) selects everything; a start of -1 removes the selection.
        intptr_t start = static_cast<intptr_t>(wParam);
        intptr_t end = lParam;
        size_t length = window->text.size();
        if (start < 0) {
          window->selectionStart = window->selectionEnd;
          return 0;
        }
        if (end < 0 || static_cast<size_t>(end) > length) end = static_cast<intptr_t>(length);
        window->selectionStart = std::min(static_cast<size_t>(start), length);
        window->selectionEnd = static_cast<size_t>(end);
        if (window->selectionStart > window->selectionEnd) {
          std::swap(window->selectionStart, window->selectionEnd);
        }
        return 0;
      }
    }
    return 0;
  }
  if (IsUpDown(window)) {
    switch (message) {
      case UDM_SETBUDDY: {
        HWND previous = window->buddy;
        window->buddy = reinterpret_cast<HWND>(wParam);
        return reinterpret_cast<LRESULT>(previous);
      }
      case UDM_SETRANGE32:
        window->minimum = static_cast<int>(wParam);
        window->maximum = static_cast<int>(lParam);
        return 0;
      case UDM_SETPOS:
        return SetPosition(window, lParam);
      case UDM_GETPOS: {
        bool valid = ReadBuddyNumber(window);
        return MAKELONG(window->position, valid ? 0 : 1);
      }
    }
  }
  return 0;
}

// Checking a box from the program raises no BN_CLICKED.
BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) return FALSE;
  control->check = check;
  return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control ? control->check : BST_UNCHECKED;
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
BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA) { return FALSE; }

// Code page 932: Shift-JIS lead bytes.
BOOL WINAPI IsDBCSLeadByte(BYTE byte) {
  return IsShiftJisLeadByte(byte);
}

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
        StepPosition(upDown, key == MemoryKey::Up ? 1 : -1);
      }
      return;
    case MemoryKey::Backspace:
      if (IsEdit(focus)) DeleteBackwards(focus);
      return;
    case MemoryKey::Tab:
      if (focus) MemorySetFocus(MemoryNextTabItem(dialog, focus));
      return;
    case MemoryKey::Escape:
      // The dialog manager turns Esc into IDCANCEL; with no such button, lParam is 0.
      SendToDialog(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return;
    case MemoryKey::Enter:
      // On a push button Enter clicks it; elsewhere the dialog gets IDOK, and with
      // no default button lParam is 0.
      if (focus && IsClass(focus, "BUTTON") && ButtonType(focus) == BS_PUSHBUTTON) {
        MemoryClick(focus);
      } else {
        SendToDialog(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      }
      return;
  }
}

void MemoryClick(HWND control) {
  if (!control || !control->enabled || !IsClass(control, "BUTTON")) return;
  // A click gives the button the focus, as the mouse press does.
  if (ButtonType(control) != BS_GROUPBOX) control->parent->focus = control;
  switch (ButtonType(control)) {
    case BS_AUTOCHECKBOX:
      control->check = control->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
      break;
    case BS_AUTORADIOBUTTON:
      // No control has WS_GROUP: the whole dialog is one group.
      for (auto& other : control->parent->controls) {
        if (IsClass(other.get(), "BUTTON") && ButtonType(other.get()) == BS_AUTORADIOBUTTON) {
          other->check = BST_UNCHECKED;
        }
      }
      control->check = BST_CHECKED;
      break;
    case BS_GROUPBOX:
      return;
  }
  Notify(control, BN_CLICKED);
}

HWND MemoryNextTabItem(HWND dialog, HWND control) {
  auto& controls = dialog->controls;
  size_t count = controls.size();
  size_t start = 0;
  while (start < count && controls[start].get() != control) ++start;
  for (size_t step = 1; step <= count; ++step) {
    HWND candidate = controls[(start + step) % count].get();
    if (CanFocus(candidate)) return candidate;
  }
  return control;
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
