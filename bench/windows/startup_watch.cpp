// startup_watch.exe: starts a program and prints the milliseconds until its
// top-level windows of the given classes are visible and painted, then closes it.
//
// Usage: startup_watch [--appdata FOLDER] [--trace MS] CLASS... -- PROGRAM [ARGUMENTS...]
//   --appdata  the program's %APPDATA% (where QUORVEL.exe keeps its settings)
//   --trace    print every change of what is seen, on standard error, and keep
//              watching MS milliseconds after the end, to see whether anything
//              is drawn again
//
// "Painted": every visible window of the program, top-level or child, has no update
// region left (GetUpdateRect), and the program has gone idle (WaitForInputIdle).
// The window manager keeps update regions for every window, so this holds
// from another process; a window becomes visible with its whole area to paint, and
// the region empties only in its WM_PAINT's BeginPaint.
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
  bool shown = false;     // a visible window of every class
  int unpainted = 0;      // visible windows with an update region
  bool idle = false;      // WaitForInputIdle answered
  HWND dialog = nullptr;  // the unowned #32770, to close
  bool operator!=(const Sight& other) const {
    return shown != other.shown || unpainted != other.unpainted || idle != other.idle;
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

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

struct TopLevelSearch {
  DWORD processId;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TopLevelSearch*>(data);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == search->processId) search->windows.push_back(window);
  return TRUE;
}

bool HasUpdateRegion(HWND window) {
  return IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE);
}

BOOL CALLBACK CountUnpaintedChild(HWND child, LPARAM data) {
  if (HasUpdateRegion(child)) ++*reinterpret_cast<int*>(data);
  return TRUE;
}

Sight Look(const PROCESS_INFORMATION& process, const std::vector<std::wstring>& classes) {
  TopLevelSearch search = {process.dwProcessId, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  Sight sight;
  sight.shown = true;
  for (const std::wstring& wanted : classes) {
    bool found = false;
    for (HWND window : search.windows)
      found = found || (IsWindowVisible(window) && ClassOf(window) == wanted);
    sight.shown = sight.shown && found;
  }
  for (HWND window : search.windows) {
    if (!IsWindowVisible(window)) continue;
    if (HasUpdateRegion(window)) ++sight.unpainted;
    EnumChildWindows(window, CountUnpaintedChild, reinterpret_cast<LPARAM>(&sight.unpainted));
    if (ClassOf(window) == L"#32770" && !GetWindow(window, GW_OWNER)) sight.dialog = window;
  }
  sight.idle = WaitForInputIdle(process.hProcess, 0) == 0;
  return sight;
}

bool Finished(const Sight& sight) { return sight.shown && sight.unpainted == 0 && sight.idle; }

void Trace(const Options& options, double since, const Sight& sight) {
  if (options.traceMs < 0) return;
  std::fwprintf(stderr, L"%9.1f ms: shown %d, windows to paint %d, idle %d\n", Now() - since,
                sight.shown, sight.unpainted, sight.idle);
}

bool Exited(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

// Looks until the windows are painted; the milliseconds since start, or -1.
double WatchUntilPainted(const Options& options, const PROCESS_INFORMATION& process, double start,
                         HWND* dialog) {
  Sight last;
  Trace(options, start, last);
  while (Now() - start < kGiveUpMs) {
    const Sight sight = Look(process, options.classes);
    if (sight != last) Trace(options, start, sight);
    last = sight;
    if (Finished(sight)) {
      *dialog = sight.dialog;
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

// The dialog's close button, as a user would end it (the editor ends only so; a
// bare dialog turns it into IDCANCEL); ended by force if it stays.
bool Close(const PROCESS_INFORMATION& process, HWND dialog) {
  if (dialog) PostMessageW(dialog, WM_CLOSE, 0, 0);
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
  HWND dialog = nullptr;
  const double elapsed = WatchUntilPainted(options, process, start, &dialog);
  if (elapsed >= 0 && options.traceMs > 0) TraceAfterwards(options, process, start);
  const bool closed = Close(process, dialog);
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
