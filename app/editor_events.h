// What the editor tells the program around its dialog: the Qt program's workspace
// and history follow the document through these. Each is null until set; the
// Windows program sets documentLoaded only, for its recent files.
#pragma once

#include <cstdint>

struct EditorEvents {
  // After every load from the open command, the start or a reload: g_document is
  // the new file, or nothing when the load failed.
  void (*documentLoaded)() = nullptr;
  // After the editor wrote the file: by the change command, undo, redo or a whole
  // image written as one change (values measured from a font). g_document.image
  // holds what was written; before is the image it replaced (kMetricsImageSize
  // bytes).
  void (*imageWritten)(const uint8_t* before) = nullptr;
  // After the dialog handled a control's notification (possibly nested in another):
  // the selected code or the scope boxes may have changed.
  void (*commandHandled)() = nullptr;
  // Before an error box is shown: text is its message, details the file and the
  // reason in words (empty when the message says it all).
  void (*errorShown)(const char* text, const char* details) = nullptr;
};

extern EditorEvents g_editorEvents;
