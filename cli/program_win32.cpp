// The Windows side of program.h. The arguments are taken from the wide command
// line: the argv of main holds them in the ANSI code page, where a name such as
// "über한.fnt" has already become "uber?.fnt". Standard output and error go out in
// binary mode (no CR added), as UTF-8 bytes to files and pipes; a console gets
// the text through WriteConsoleW, since it would show UTF-8 bytes in its own code
// page.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "program.h"
#include "utf16_text.h"

namespace {

// A standard stream that is a console: the C library writes into a pipe, and a
// thread copies what comes out of it to the console as UTF-16.
struct ConsoleRoute {
  int fd = -1;  // 1 or 2 while routed
  HANDLE console = nullptr;
  HANDLE pipe = nullptr;  // the read end
  HANDLE thread = nullptr;
};
ConsoleRoute g_routes[2];

// How many bytes of text end on a whole UTF-8 character: a sequence cut by the
// pipe's chunking waits for the next chunk.
size_t WholeCharactersLength(const std::string& text) {
  for (size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    unsigned char byte = static_cast<unsigned char>(text[text.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return needed > back ? text.size() - back : text.size();
  }
  return text.size();
}

void WriteToConsole(HANDLE console, const std::string& text) {
  std::wstring wide = Utf8ToUtf16(text);
  DWORD written = 0;
  WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

DWORD WINAPI CopyToConsole(void* parameter) {
  const ConsoleRoute* route = static_cast<const ConsoleRoute*>(parameter);
  std::string pending;
  char buffer[4096];
  DWORD count = 0;
  while (ReadFile(route->pipe, buffer, sizeof buffer, &count, nullptr) && count > 0) {
    pending.append(buffer, count);
    size_t whole = WholeCharactersLength(pending);
    WriteToConsole(route->console, pending.substr(0, whole));
    pending.erase(0, whole);
  }
  if (!pending.empty()) WriteToConsole(route->console, pending);
  return 0;
}

// Routes fd (1 or 2) through a pipe to its console, when it is one.
void RouteToConsole(int fd, DWORD standardHandle, ConsoleRoute* route) {
  HANDLE standard = GetStdHandle(standardHandle), console = nullptr;
  DWORD mode = 0;
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!GetConsoleMode(standard, &mode)) return;
  // A handle of our own: moving the pipe into fd closes the C library's one.
  HANDLE self = GetCurrentProcess();
  if (!DuplicateHandle(self, standard, self, &console, 0, FALSE, DUPLICATE_SAME_ACCESS)) return;
  if (!CreatePipe(&readEnd, &writeEnd, nullptr, 0)) {
    CloseHandle(console);
    return;
  }
  int writeFd = _open_osfhandle(reinterpret_cast<intptr_t>(writeEnd), _O_WRONLY | _O_BINARY);
  if (writeFd < 0 || _dup2(writeFd, fd) != 0) {
    if (writeFd >= 0)
      _close(writeFd);
    else
      CloseHandle(writeEnd);
    CloseHandle(readEnd);
    CloseHandle(console);
    return;
  }
  _close(writeFd);
  *route = ConsoleRoute{fd, console, readEnd, nullptr};
  route->thread = CreateThread(nullptr, 0, CopyToConsole, route, 0, nullptr);
}

// At exit: what the C library still holds goes into the pipes, whose closing ends
// the copying threads once the consoles have it all.
void FinishConsoleRoutes() {
  std::fflush(stdout);
  std::fflush(stderr);
  for (ConsoleRoute& route : g_routes) {
    if (route.fd < 0) continue;
    _close(route.fd);
    if (route.thread) WaitForSingleObject(route.thread, INFINITE);
  }
}

}  // namespace

std::vector<std::string> StartProgram(int, char**) {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  RouteToConsole(1, STD_OUTPUT_HANDLE, &g_routes[0]);
  RouteToConsole(2, STD_ERROR_HANDLE, &g_routes[1]);
  std::atexit(FinishConsoleRoutes);

  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 0; wide && i < count; ++i) arguments.push_back(Utf16ToUtf8(wide[i]));
  LocalFree(wide);
  return arguments;
}
