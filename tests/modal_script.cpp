#include "modal_script.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>

#include "modal_calls.h"

namespace {

struct OpenAnswer {
  bool chosen;
  std::string path;
  uint32_t filterIndex;
};

std::deque<OpenAnswer> g_openAnswers;
std::vector<OpenDialogRequest> g_openRequests;
std::vector<MessageShown> g_messages;
std::deque<int> g_messageAnswers;

std::string FilterText(const char* filter) {
  std::string text;
  if (!filter) return text;
  // Pairs of NUL-terminated strings, ended by an empty string.
  while (*filter) {
    text += filter;
    text += '|';
    filter += std::strlen(filter) + 1;
  }
  return text;
}

BOOL WINAPI ScriptedOpenDialog(LPOPENFILENAMEA dialog) {
  g_openRequests.push_back(OpenDialogRequest{
      dialog->lStructSize, dialog->hwndOwner, dialog->hInstance, FilterText(dialog->lpstrFilter),
      dialog->nFilterIndex, dialog->nMaxFile, dialog->lpstrTitle ? dialog->lpstrTitle : "",
      dialog->lpstrDefExt ? dialog->lpstrDefExt : "", dialog->Flags,
      dialog->lpstrCustomFilter != nullptr, dialog->lpstrFileTitle != nullptr,
      dialog->lpstrInitialDir != nullptr, dialog->lpfnHook != nullptr,
      dialog->lpTemplateName != nullptr});
  if (g_openAnswers.empty()) {
    ADD_FAILURE() << "the editor opened a file dialog that the scenario did not expect";
    return FALSE;
  }
  OpenAnswer answer = g_openAnswers.front();
  g_openAnswers.pop_front();
  if (!answer.chosen) return FALSE;
  if (answer.path.size() + 1 > dialog->nMaxFile) {
    ADD_FAILURE() << "the file buffer cannot hold " << answer.path;
    return FALSE;
  }
  std::memcpy(dialog->lpstrFile, answer.path.c_str(), answer.path.size() + 1);
  dialog->nFilterIndex = answer.filterIndex;
  return TRUE;
}

int ScriptedDetailedMessageBox(HWND owner, const char* text, const char* caption, UINT type,
                               const char* details) {
  g_messages.push_back(
      MessageShown{owner, text ? text : "", caption ? caption : "", type, details ? details : ""});
  if (!g_messageAnswers.empty()) {
    int answer = g_messageAnswers.front();
    g_messageAnswers.pop_front();
    return answer;
  }
  if ((type & MB_TYPEMASK) == MB_OK) return IDOK;
  ADD_FAILURE() << "the editor asked a question that the scenario did not expect: " << text;
  return IDCANCEL;
}

int WINAPI ScriptedMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  return ScriptedDetailedMessageBox(owner, text, caption, type, "");
}

}  // namespace

void InstallModalScript() {
  g_openAnswers.clear();
  g_openRequests.clear();
  g_messages.clear();
  g_messageAnswers.clear();
  g_openFileDialog = ScriptedOpenDialog;
  g_messageBox = ScriptedMessageBox;
  g_errorBox = ScriptedDetailedMessageBox;
}

void AnswerNextOpenDialog(const std::string& path, uint32_t filterIndex) {
  g_openAnswers.push_back(OpenAnswer{true, path, filterIndex});
}

void AnswerNextMessageBox(int answer) { g_messageAnswers.push_back(answer); }

void CancelNextOpenDialog() { g_openAnswers.push_back(OpenAnswer{false, "", 0}); }

const std::vector<OpenDialogRequest>& OpenDialogRequests() { return g_openRequests; }
const std::vector<MessageShown>& MessagesShown() { return g_messages; }
