#include "modal_calls.h"

OpenFileDialogCall g_openFileDialog = GetOpenFileNameA;
MessageBoxCall g_messageBox = MessageBoxA;
DetailedMessageBoxCall g_errorBox = MessageBoxWithDetails;

std::string ErrorBoxText(const char* text, const char* details) {
  std::string boxText = text;
  if (details[0] != '\0') boxText.append("\n\n").append(details);
  return boxText;
}

#ifdef _WIN32
int MessageBoxWithDetails(HWND owner, const char* text, const char* caption, UINT type,
                          const char* details) {
  return MessageBoxA(owner, ErrorBoxText(text, details).c_str(), caption, type);
}
#endif
