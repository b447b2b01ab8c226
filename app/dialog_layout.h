// The editor dialog's layout as a table, for window layers that build the controls
// themselves (the in-memory model, Qt). Windows builds the same dialog from the
// resource template; both come from resources/main_dialog.def.
#pragma once

#include <cstddef>
#include <cstdint>

struct DialogFrame {
  int x, y, width, height;  // dialog units
  uint32_t style;
  const char* caption;
  int fontPoints;
  const char* fontName;
  int fontWeight;
  int fontItalic;
  int fontCharset;
};

struct DialogControl {
  int id;
  const char* className;  // "EDIT", "BUTTON", "STATIC", "msctls_updown32"
  const char* text;       // UTF-8
  uint32_t style;
  int x, y, width, height;  // dialog units
  uint32_t exStyle;
};

extern const DialogFrame kMainDialogFrame;
// The families that stand in for the template's face where it is not installed,
// closest in metrics first.
extern const char* const kDialogFontStandIns[];
extern const size_t kDialogFontStandInCount;
// In template order: the creation and tab order.
extern const DialogControl kMainDialogControls[];
extern const size_t kMainDialogControlCount;
