#include "modal_calls.h"

OpenFileDialogCall g_openFileDialog = GetOpenFileNameA;
MessageBoxCall g_messageBox = MessageBoxA;
DetailedMessageBoxCall g_errorBox = MessageBoxWithDetails;

#ifdef _WIN32
int MessageBoxWithDetails(HWND owner, const char* text, const char* caption, UINT type,
                          const char*) {
  return MessageBoxA(owner, text, caption, type);
}
#endif
