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

// Standard output and error where they are a console: the C library writes into
// one pipe, in the order it writes, and a thread copies what comes out of it to
// the console as UTF-16.
struct ConsoleRoute {
  HANDLE console = nullptr;
  HANDLE pipe = nullptr;  // the read end
  HANDLE thread = nullptr;
  bool routed[3] = {};  // by descriptor: 1 and 2
};
ConsoleRoute g_route;

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

DWORD WINAPI CopyToConsole(void*) {
  std::string pending;
  char buffer[4096];
  DWORD count = 0;
  while (ReadFile(g_route.pipe, buffer, sizeof buffer, &count, nullptr) && count > 0) {
    pending.append(buffer, count);
    size_t whole = WholeCharactersLength(pending);
    WriteToConsole(g_route.console, pending.substr(0, whole));
    pending.erase(0, whole);
  }
  if (!pending.empty()) WriteToConsole(g_route.console, pending);
  return 0;
}

bool IsConsole(DWORD standardHandle) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(standardHandle), &mode) != FALSE;
}

// Moves the descriptors 1 and 2 that are a console onto one pipe to that console.
void RouteConsoleStreams() {
  bool out = IsConsole(STD_OUTPUT_HANDLE), err = IsConsole(STD_ERROR_HANDLE);
  if (!out && !err) return;
  // A handle of our own: moving the pipe into a descriptor closes the C library's.
  HANDLE self = GetCurrentProcess(), writeEnd = nullptr;
  HANDLE standard = GetStdHandle(out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (!DuplicateHandle(self, standard, self, &g_route.console, 0, FALSE, DUPLICATE_SAME_ACCESS))
    return;
  if (!CreatePipe(&g_route.pipe, &writeEnd, nullptr, 0)) return;
  g_route.thread = CreateThread(nullptr, 0, CopyToConsole, nullptr, 0, nullptr);
  int writeFd = _open_osfhandle(reinterpret_cast<intptr_t>(writeEnd), _O_WRONLY | _O_BINARY);
  if (!g_route.thread || writeFd < 0) return;
  g_route.routed[1] = out && _dup2(writeFd, 1) == 0;
  g_route.routed[2] = err && _dup2(writeFd, 2) == 0;
  _close(writeFd);
  // Written as it comes, as a terminal shows it, in turn with standard error.
  if (g_route.routed[1]) std::setvbuf(stdout, nullptr, _IONBF, 0);
}

// At exit: the pipe's closing ends the copying thread once the console has it all.
void FinishConsoleOutput() {
  std::fflush(stdout);
  std::fflush(stderr);
  for (int fd : {1, 2}) {
    if (g_route.routed[fd]) _close(fd);
  }
  if (g_route.routed[1] || g_route.routed[2]) WaitForSingleObject(g_route.thread, INFINITE);
}

}  // namespace

std::vector<std::string> StartProgram(int, char**) {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // Standard error unbuffered, as C has it on POSIX: the C library here buffers it
  // whenever it is no character device, which would put errors after later output.
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  RouteConsoleStreams();
  std::atexit(FinishConsoleOutput);

  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 0; wide && i < count; ++i) arguments.push_back(Utf16ToUtf8(wide[i]));
  LocalFree(wide);
  return arguments;
}
