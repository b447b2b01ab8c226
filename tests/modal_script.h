// Answers for the editor's file-open dialog and message boxes, given by a scenario
// before it acts, and a record of what the editor asked for. Installed in place of
// the real modal windows (modal_calls.h) so that no scenario waits for a person.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "window_api.h"

// One call of the file-open dialog, as the editor filled in the structure.
struct OpenDialogRequest {
  uint32_t structSize;
  HWND owner;
  HINSTANCE instance;
  std::string filter;  // the pairs, each string ended by '|' in place of its NUL
  uint32_t filterIndex;
  uint32_t maxFile;
  std::string title;
  std::string defaultExtension;
  uint32_t flags;
  bool hasCustomFilter, hasFileTitle, hasInitialDir, hasHook, hasTemplate;
};

struct MessageShown {
  HWND owner;
  std::string text;
  std::string caption;
  unsigned type;
  std::string details;  // of an error box: the file and the reason
};

// Forgets earlier answers and records, and routes the editor's modal calls here.
void InstallModalScript();

// The next file-open dialog returns path, with the filter at filterIndex (1-based)
// in use, as if the user chose the file there.
void AnswerNextOpenDialog(const std::string& path, uint32_t filterIndex = 1);
// The next file-open dialog is cancelled. A dialog with no answer given is
// cancelled too, and counts as a failure of the scenario.
void CancelNextOpenDialog();

// The next message box is answered with answer (IDYES, IDNO, IDCANCEL). A box with
// no answer given is answered IDOK; a question box without one counts as a failure
// of the scenario and is cancelled.
void AnswerNextMessageBox(int answer);

const std::vector<OpenDialogRequest>& OpenDialogRequests();
const std::vector<MessageShown>& MessagesShown();
