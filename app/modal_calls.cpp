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
namespace {

// The editor's texts are Shift-JIS (code page 932), whatever the system's code page.
std::wstring WideFromShiftJis(const std::string& text) {
  constexpr UINT kShiftJis = 932;
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(kShiftJis, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(kShiftJis, 0, text.data(), size, &wide[0], length);
  return wide;
}

}  // namespace

int MessageBoxWithDetails(HWND owner, const char* text, const char* caption, UINT type,
                          const char* details) {
  return MessageBoxW(owner, WideFromShiftJis(ErrorBoxText(text, details)).c_str(),
                     WideFromShiftJis(caption).c_str(), type);
}
#endif
