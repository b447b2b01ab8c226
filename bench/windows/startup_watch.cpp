// startup_watch.exe: starts a program and prints the milliseconds until its
// top-level windows of the given classes are visible and painted, then closes it.
//
// Usage: startup_watch [--appdata FOLDER] [--trace MS] CLASS... -- PROGRAM [ARGUMENTS...]
//   --appdata  the program's %APPDATA% (where QUORVEL.exe keeps its settings)
//   --trace    print every change of what is seen, on standard error, and keep
//              watching MS milliseconds after the end, to see whether anything
//              is drawn again
//
// "Painted": a visible window of every class; the program has waited for input
// (WaitForInputIdle); those windows and all their children have no update region
// left (GetUpdateRect); and a message sent to the program came back with still
// nothing to paint. The window manager keeps update regions for every window, so
// they can be read from another process; a window becomes visible with its whole
// area to paint, and the region empties only in its WM_PAINT's BeginPaint. The last
// region empties as that WM_PAINT begins, and WaitForInputIdle answers for good once
// the program first waited for input, which may be before its windows showed; the
// sent message is handled only when the program's thread next asks for a message,
// after the WM_PAINT running then has ended.
//
// Each look costs the program's window server time too, so the windows' children
// are looked at only once the program has been idle and its windows are shown.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kGiveUpMs = 30000;
constexpr DWORD kCloseWaitMs = 10000;

struct Options {
  std::wstring appData;
  int traceMs = -1;  // no trace
  std::vector<std::wstring> classes;
  std::wstring commandLine;
};

// What one look at the program's windows found.
struct Sight {
  std::vector<HWND> windows;  // the visible ones of the classes asked for
  bool shown = false;         // one of every class
  bool idle = false;          // WaitForInputIdle answered
  int unpainted = -1;         // windows with an update region; -1: not looked at
  bool operator!=(const Sight& other) const {
    return shown != other.shown || idle != other.idle || unpainted != other.unpainted;
  }
};

std::wstring Quoted(const std::wstring& argument) { return L"\"" + argument + L"\""; }

bool ParseOptions(int count, wchar_t** arguments, Options* options) {
  int i = 1;
  for (; i < count && std::wstring(arguments[i]) != L"--"; ++i) {
    const std::wstring argument = arguments[i];
    if (argument == L"--appdata" && i + 1 < count) {
      options->appData = arguments[++i];
    } else if (argument == L"--trace" && i + 1 < count) {
      options->traceMs = _wtoi(arguments[++i]);
    } else {
      options->classes.push_back(argument);
    }
  }
  for (++i; i < count; ++i) {
    if (!options->commandLine.empty()) options->commandLine += L' ';
    options->commandLine += Quoted(arguments[i]);
  }
  return !options->classes.empty() && !options->commandLine.empty();
}

double Now() {
  static LARGE_INTEGER frequency = {};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

DWORD ProcessOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

// The program's visible top-level windows of the class; the system looks the class
// up, which costs less than asking for every window's.
void FindVisible(DWORD processId, const std::wstring& className, std::vector<HWND>* windows) {
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, className.c_str(), nullptr))) {
    if (ProcessOf(window) == processId && IsWindowVisible(window)) windows->push_back(window);
  }
}

BOOL CALLBACK CountUnpaintedChild(HWND child, LPARAM data) {
  // A hidden window has nothing to paint: its update region stays empty.
  if (GetUpdateRect(child, nullptr, FALSE)) ++*reinterpret_cast<int*>(data);
  return TRUE;
}

int CountUnpainted(const std::vector<HWND>& windows) {
  int unpainted = 0;
  for (HWND window : windows) {
    if (GetUpdateRect(window, nullptr, FALSE)) ++unpainted;
    EnumChildWindows(window, CountUnpaintedChild, reinterpret_cast<LPARAM>(&unpainted));
  }
  return unpainted;
}

Sight Look(const PROCESS_INFORMATION& process, const std::vector<std::wstring>& classes) {
  Sight sight;
  sight.shown = true;
  for (const std::wstring& className : classes) {
    const size_t before = sight.windows.size();
    FindVisible(process.dwProcessId, className, &sight.windows);
    sight.shown = sight.shown && sight.windows.size() > before;
  }
  sight.idle = WaitForInputIdle(process.hProcess, 0) == 0;
  if (sight.shown && sight.idle) sight.unpainted = CountUnpainted(sight.windows);
  return sight;
}

bool Painted(const Sight& sight) { return sight.shown && sight.idle && sight.unpainted == 0; }

// A message sent to the program comes back once the handler running now has ended;
// then the windows are looked at again.
bool PaintedAfterRoundTrip(const PROCESS_INFORMATION& process, const Options& options,
                           const Sight& sight) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(sight.windows.front(), WM_NULL, 0, 0, SMTO_BLOCK, kGiveUpMs, &answer))
    return false;
  return Painted(Look(process, options.classes));
}

void Trace(const Options& options, double since, const Sight& sight) {
  if (options.traceMs < 0) return;
  std::fwprintf(stderr, L"%9.1f ms: shown %d, idle %d, windows to paint %d\n", Now() - since,
                sight.shown, sight.idle, sight.unpainted);
}

bool Exited(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

// Looks until the windows are painted; the milliseconds since start, or -1.
double WatchUntilPainted(const Options& options, const PROCESS_INFORMATION& process, double start,
                         std::vector<HWND>* windows) {
  Sight last;
  Trace(options, start, last);
  while (Now() - start < kGiveUpMs) {
    const Sight sight = Look(process, options.classes);
    if (sight != last) Trace(options, start, sight);
    last = sight;
    if (Painted(sight) && PaintedAfterRoundTrip(process, options, sight)) {
      *windows = sight.windows;
      return Now() - start;
    }
    if (Exited(process.hProcess)) {
      std::fwprintf(stderr, L"startup_watch: the program ended before its windows were painted\n");
      return -1;
    }
    Sleep(1);
  }
  std::fwprintf(stderr, L"startup_watch: no painted windows after %lu ms\n", kGiveUpMs);
  return -1;
}

// With --trace: whatever changes in the time after the end (a repaint, a late window).
void TraceAfterwards(const Options& options, const PROCESS_INFORMATION& process, double start) {
  const double until = Now() + options.traceMs;
  Sight last = Look(process, options.classes);
  while (Now() < until) {
    const Sight sight = Look(process, options.classes);
    if (sight != last) Trace(options, start, sight);
    last = sight;
    Sleep(1);
  }
}

// The close button of the first window that has no owner (the dialog), as a user
// would end it: the editor ends only so, and a bare dialog turns it into IDCANCEL.
// Ended by force if it stays.
bool Close(const PROCESS_INFORMATION& process, const std::vector<HWND>& windows) {
  for (HWND window : windows) {
    if (GetWindow(window, GW_OWNER)) continue;
    PostMessageW(window, WM_CLOSE, 0, 0);
    break;
  }
  if (WaitForSingleObject(process.hProcess, kCloseWaitMs) == WAIT_OBJECT_0) return true;
  std::fwprintf(stderr, L"startup_watch: the program did not end on WM_CLOSE; terminated\n");
  TerminateProcess(process.hProcess, 1);
  WaitForSingleObject(process.hProcess, kCloseWaitMs);
  return false;
}

int Run(const Options& options) {
  // The child inherits the environment: its settings go where the caller said.
  if (!options.appData.empty()) SetEnvironmentVariableW(L"APPDATA", options.appData.c_str());
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::wstring commandLine = options.commandLine;
  const double start = Now();
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fwprintf(stderr, L"startup_watch: cannot start %ls (error %lu)\n", commandLine.c_str(),
                  GetLastError());
    return 1;
  }
  std::vector<HWND> windows;
  const double elapsed = WatchUntilPainted(options, process, start, &windows);
  if (elapsed >= 0 && options.traceMs > 0) TraceAfterwards(options, process, start);
  const bool closed = Close(process, windows);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (elapsed < 0 || !closed) return 1;
  std::printf("%.1f\n", elapsed);
  return 0;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  Options options;
  if (!arguments || !ParseOptions(count, arguments, &options)) {
    std::fprintf(stderr,
                 "usage: startup_watch [--appdata FOLDER] [--trace MS] CLASS... -- PROGRAM "
                 "[ARGUMENTS...]\n");
    return 2;
  }
  return Run(options);
}
