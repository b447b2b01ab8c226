// The dialog's own rules around its controls, as the Windows dialog manager and
// button control apply them: what a click or the program does to a button's check,
// what Enter and Esc do, and which control Tab and the start give the focus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// GetWindowTextA's copy: text cut to size - 1 bytes and NUL-terminated into out;
// returns the bytes copied. Nothing is written when size is not positive.
int CopyWindowText(const std::string& text, char* out, int size);

// The kinds of button the dialog holds, from the BS_ type in a button's style.
enum class ButtonKind { Other, PushButton, AutoCheckBox, AutoRadioButton, GroupBox };
ButtonKind ButtonKindOf(uint32_t buttonStyle);

// Check states, as BST_UNCHECKED and BST_CHECKED.
constexpr uint32_t kUnchecked = 0;
constexpr uint32_t kChecked = 1;

// CheckDlgButton: check boxes and radio buttons keep the state, cut to checked
// (BST_INDETERMINATE is checked); other controls have none and stay unchecked.
uint32_t CheckSetByProgram(ButtonKind kind, uint32_t check);

// A click: an auto check box toggles, an auto radio button checks itself.
uint32_t CheckAfterClick(ButtonKind kind, uint32_t check);

// Whether a click on a button of kind clicked unchecks another button of kind
// other: auto radio buttons clear each other. No control of the dialog starts a
// group (WS_GROUP), so the whole dialog is one group.
bool ClickClears(ButtonKind clicked, ButtonKind other);

enum class DialogKey { Enter, Escape };
enum class DialogKeyAction {
  ClickFocusedButton,  // the focused push button is clicked
  Ok,                  // WM_COMMAND IDOK with lParam 0
  Cancel,              // WM_COMMAND IDCANCEL with lParam 0
};

// The dialog has no default button: Enter clicks a focused push button, and
// otherwise, like Esc, reaches the dialog procedure with no control.
DialogKeyAction DialogKeyActionFor(DialogKey key, ButtonKind focused);

// A control as Tab sees it.
struct TabStopEntry {
  uint32_t style;  // WS_TABSTOP counts
  bool enabled;
  bool visible;
};

// The first control in template order that Tab can reach: the one WM_INITDIALOG
// names, and focuses when the procedure returns TRUE. count when there is none.
size_t FirstTabStop(const TabStopEntry* entries, size_t count);

// The next control after from that Tab reaches, wrapping around; from itself when
// there is no other.
size_t NextTabStop(const TabStopEntry* entries, size_t count, size_t from);
