// Runs the built quorvel-cli as a child process, the way scripts use it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct CliRun {
  std::string input;                       // standard input
  std::string outputPath;                  // standard output goes here instead of being captured
  bool unprivileged = false;               // run as nobody when the tests run as root, who
                                           // would write to read-only files regardless (POSIX)
  std::string program = QUORVEL_CLI_PATH;  // a copy where nobody may run it
  uint64_t fileSizeLimit = 0;  // bytes a file may grow to (RLIMIT_FSIZE, as ulimit -f); 0: none
                               // (POSIX)
};

struct CliResult {
  int exitCode = -1;  // -1 when the program did not exit normally
  std::string out;    // standard output
  std::string err;    // standard error
};

// Runs quorvel-cli with arguments and waits for it.
CliResult RunCli(const std::vector<std::string>& arguments, const CliRun& run = {});

// A run of quorvel-cli left going, for what happens meanwhile: a signal to its
// process, or its standard input written to bit by bit (a pipe).
struct RunningCli {
  intptr_t pid = -1;    // on Windows the process handle
  intptr_t input = -1;  // the write end of its standard input (a handle on Windows);
                        // -1 once closed
  std::FILE* out = nullptr;
  std::FILE* err = nullptr;
};
RunningCli StartCli(const std::vector<std::string>& arguments, const CliRun& run = {});
// Writes text into its standard input (a pipe); false when not all of it went.
bool WriteToCli(RunningCli& running, const std::string& text);
// Closes its standard input, waits for it and returns what it did.
CliResult FinishCli(RunningCli& running);

// A device, where a test names a path that is no file.
#ifdef _WIN32
constexpr char kDevicePath[] = "NUL";
#else
constexpr char kDevicePath[] = "/dev/full";
#endif

// The system's words for a file that is not there, as reports quote them (Windows
// words them in the user's language).
std::string MissingFileReason();

// A temporary file holding text, read from its start; and a file's whole content
// from its start, the file closed (for the child's standard streams).
std::FILE* TemporaryFileWith(const std::string& text);
std::string ReadAll(std::FILE* file);

// The lines of text, without their line breaks.
std::vector<std::string> Lines(const std::string& text);

// A failure as quorvel-cli reports one: exit code 2, nothing on standard output,
// one line on standard error that contains every one of mentions.
::testing::AssertionResult IsOneLineError(const CliResult& result,
                                          const std::vector<std::string>& mentions);
