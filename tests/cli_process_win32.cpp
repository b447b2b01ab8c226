// The Windows side of cli_process.h: CreateProcessW with the standard streams
// handed over, under Wine as on Windows. Arguments travel as UTF-16, quoted as
// CommandLineToArgvW reads them back.
#include <io.h>
#include <windows.h>

#include <stdexcept>

#include "cli_process.h"
#include "utf16_text.h"

namespace {

// One argument as CommandLineToArgvW reads it: quoted, with backslashes doubled
// only where a quote follows them.
std::wstring Quoted(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

// A path of the build, made on the Linux side ("/work/..."), as Wine's drive Z:.
std::string WindowsPath(const std::string& path) { return path[0] == '/' ? "Z:" + path : path; }

// A handle on file that the child inherits.
HANDLE InheritedHandle(std::FILE* file) {
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  HANDLE inherited = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &inherited, 0, TRUE,
                       DUPLICATE_SAME_ACCESS)) {
    throw std::runtime_error("cannot hand a stream over");
  }
  return inherited;
}

// The file that stands for standard output when the run names one.
HANDLE OutputPathHandle(const std::string& path) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE handle =
      CreateFileW(Utf8ToUtf16(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  &inherit, CREATE_ALWAYS, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  return handle;
}

// Starts the program with arguments on the three handles, which it inherits.
HANDLE StartProcess(const std::vector<std::string>& arguments, const CliRun& run, HANDLE in,
                    HANDLE out, HANDLE err) {
  if (run.unprivileged || run.fileSizeLimit != 0)
    throw std::runtime_error("no Windows counterpart to running as nobody or to a size limit");
  std::wstring commandLine = Quoted(Utf8ToUtf16(WindowsPath(run.program)));
  for (const std::string& argument : arguments) commandLine += L" " + Quoted(Utf8ToUtf16(argument));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    throw std::runtime_error("cannot start " + run.program);
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

// Waits for the process and returns its exit code; -1 for a crash's status.
int WaitForExit(HANDLE process) {
  WaitForSingleObject(process, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code <= 255 ? static_cast<int>(code) : -1;
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& arguments, const CliRun& run) {
  std::FILE* in = TemporaryFileWith(run.input);
  std::FILE* out = TemporaryFileWith("");
  std::FILE* err = TemporaryFileWith("");
  HANDLE handles[3] = {
      InheritedHandle(in),
      run.outputPath.empty() ? InheritedHandle(out) : OutputPathHandle(run.outputPath),
      InheritedHandle(err)};
  HANDLE process = StartProcess(arguments, run, handles[0], handles[1], handles[2]);
  for (HANDLE handle : handles) CloseHandle(handle);
  CliResult result;
  result.exitCode = WaitForExit(process);
  std::fclose(in);
  result.out = ReadAll(out);
  result.err = ReadAll(err);
  return result;
}

RunningCli StartCli(const std::vector<std::string>& arguments, const CliRun& run) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) throw std::runtime_error("no pipe");
  SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);  // the child must not hold it open
  RunningCli running;
  running.out = TemporaryFileWith("");
  running.err = TemporaryFileWith("");
  HANDLE out = InheritedHandle(running.out), err = InheritedHandle(running.err);
  HANDLE process = StartProcess(arguments, run, readEnd, out, err);
  CloseHandle(readEnd);
  CloseHandle(out);
  CloseHandle(err);
  running.pid = reinterpret_cast<intptr_t>(process);
  running.input = reinterpret_cast<intptr_t>(writeEnd);
  return running;
}

CliResult FinishCli(RunningCli& running) {
  if (running.input != -1) CloseHandle(reinterpret_cast<HANDLE>(running.input));
  running.input = -1;
  CliResult result;
  result.exitCode = WaitForExit(reinterpret_cast<HANDLE>(running.pid));
  result.out = ReadAll(running.out);
  result.err = ReadAll(running.err);
  return result;
}

bool WriteToCli(RunningCli& running, const std::string& text) {
  DWORD written = 0;
  return WriteFile(reinterpret_cast<HANDLE>(running.input), text.data(),
                   static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

std::string MissingFileReason() {
  wchar_t text[256];
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                ERROR_FILE_NOT_FOUND, 0, text, 256, nullptr);
  while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r')) --length;
  return Utf16ToUtf8(std::wstring(text, length));
}
