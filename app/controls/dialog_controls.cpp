#include "dialog_controls.h"

#include <algorithm>
#include <cstring>

namespace {

// The style bits read here, with Windows' values.
constexpr uint32_t kButtonTypeMask = 0x0F;
constexpr uint32_t kPushButton = 0x0;      // BS_PUSHBUTTON
constexpr uint32_t kAutoCheckBox = 0x3;    // BS_AUTOCHECKBOX
constexpr uint32_t kGroupBox = 0x7;        // BS_GROUPBOX
constexpr uint32_t kAutoRadioButton = 0x9; // BS_AUTORADIOBUTTON
constexpr uint32_t kTabStop = 0x00010000;  // WS_TABSTOP

bool HasCheck(ButtonKind kind) {
  return kind == ButtonKind::AutoCheckBox || kind == ButtonKind::AutoRadioButton;
}

bool CanTabTo(const TabStopEntry& entry) {
  return (entry.style & kTabStop) && entry.enabled && entry.visible;
}

}  // namespace

int CopyWindowText(const std::string& text, char* out, int size) {
  if (size <= 0) return 0;
  size_t length = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
  return static_cast<int>(length);
}

ButtonKind ButtonKindOf(uint32_t buttonStyle) {
  switch (buttonStyle & kButtonTypeMask) {
    case kPushButton: return ButtonKind::PushButton;
    case kAutoCheckBox: return ButtonKind::AutoCheckBox;
    case kGroupBox: return ButtonKind::GroupBox;
    case kAutoRadioButton: return ButtonKind::AutoRadioButton;
  }
  return ButtonKind::Other;
}

uint32_t CheckSetByProgram(ButtonKind kind, uint32_t check) {
  return HasCheck(kind) && check != kUnchecked ? kChecked : kUnchecked;
}

uint32_t CheckAfterClick(ButtonKind kind, uint32_t check) {
  if (kind == ButtonKind::AutoCheckBox) return check == kChecked ? kUnchecked : kChecked;
  if (kind == ButtonKind::AutoRadioButton) return kChecked;
  return check;
}

bool ClickClears(ButtonKind clicked, ButtonKind other) {
  return clicked == ButtonKind::AutoRadioButton && other == ButtonKind::AutoRadioButton;
}

DialogKeyAction DialogKeyActionFor(DialogKey key, ButtonKind focused) {
  if (key == DialogKey::Escape) return DialogKeyAction::Cancel;
  return focused == ButtonKind::PushButton ? DialogKeyAction::ClickFocusedButton
                                           : DialogKeyAction::Ok;
}

size_t FirstTabStop(const TabStopEntry* entries, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (CanTabTo(entries[i])) return i;
  }
  return count;
}

size_t NextTabStop(const TabStopEntry* entries, size_t count, size_t from) {
  for (size_t step = 1; step <= count; ++step) {
    size_t candidate = (from + step) % count;
    if (CanTabTo(entries[candidate])) return candidate;
  }
  return from;
}
