#include "dialog_layout.h"

#include "resources/resource.h"
#include "window_api.h"

#define QUORVEL_CONTROL(id, className, text, style, x, y, width, height, exStyle)
#define QUORVEL_DIALOG(x, y, width, height, style, caption, fontPoints, fontName, \
                       fontWeight, fontItalic, fontCharset)                        \
  const DialogFrame kMainDialogFrame = {x,          y,          width,      height,     \
                                        static_cast<uint32_t>(style), caption,    fontPoints, \
                                        fontName,   fontWeight, fontItalic, fontCharset};
#include "resources/main_dialog.def"
#undef QUORVEL_CONTROL
#undef QUORVEL_DIALOG

const char* const kDialogFontStandIns[] = {"VL Gothic", "IPAGothic"};
const size_t kDialogFontStandInCount = sizeof kDialogFontStandIns / sizeof kDialogFontStandIns[0];

#define QUORVEL_DIALOG(x, y, width, height, style, caption, fontPoints, fontName, \
                       fontWeight, fontItalic, fontCharset)
#define QUORVEL_CONTROL(id, className, text, style, x, y, width, height, exStyle) \
  {id, className, text, static_cast<uint32_t>(style), x, y, width, height,         \
   static_cast<uint32_t>(exStyle)},
const DialogControl kMainDialogControls[] = {
#include "resources/main_dialog.def"
};
#undef QUORVEL_CONTROL
#undef QUORVEL_DIALOG

const size_t kMainDialogControlCount = sizeof kMainDialogControls / sizeof kMainDialogControls[0];
