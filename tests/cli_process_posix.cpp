// The POSIX side of cli_process.h: fork and exec, with privileges and limits.
#include "cli_process.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>

#include <stdexcept>

namespace {

constexpr uid_t kNobody = 65534;

// In the child: the streams in place, privileges dropped if asked, then the program.
[[noreturn]] void StartChild(std::vector<char*>& argv, int in, std::FILE* out, std::FILE* err,
                             const CliRun& run) {
  dup2(in, 0);
  if (!run.outputPath.empty()) {
    int fd = open(run.outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) _exit(126);
    dup2(fd, 1);
  } else {
    dup2(fileno(out), 1);
  }
  dup2(fileno(err), 2);
  if (run.unprivileged && geteuid() == 0) {
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(125);
  }
  if (run.fileSizeLimit != 0) {
    struct rlimit limit = {run.fileSizeLimit, run.fileSizeLimit};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(124);
  }
  execv(argv[0], argv.data());
  _exit(127);
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& arguments, const CliRun& run) {
  std::vector<std::string> strings = {run.program};
  strings.insert(strings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);

  std::FILE* in = TemporaryFileWith(run.input);
  std::FILE* out = TemporaryFileWith("");
  std::FILE* err = TemporaryFileWith("");
  std::fflush(nullptr);
  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) StartChild(argv, fileno(in), out, err, run);
  int status = 0;
  waitpid(child, &status, 0);
  std::fclose(in);
  CliResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadAll(out);
  result.err = ReadAll(err);
  return result;
}

RunningCli StartCli(const std::vector<std::string>& arguments, const CliRun& run) {
  std::vector<std::string> strings = {run.program};
  strings.insert(strings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);

  int pipe[2];
  if (pipe2(pipe, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
  RunningCli running;
  running.out = TemporaryFileWith("");
  running.err = TemporaryFileWith("");
  std::fflush(nullptr);
  running.pid = fork();
  if (running.pid < 0) throw std::runtime_error("fork failed");
  if (running.pid == 0) StartChild(argv, pipe[0], running.out, running.err, run);
  close(pipe[0]);
  running.input = pipe[1];
  return running;
}

CliResult FinishCli(RunningCli& running) {
  if (running.input >= 0) close(running.input);
  running.input = -1;
  int status = 0;
  waitpid(running.pid, &status, 0);
  CliResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadAll(running.out);
  result.err = ReadAll(running.err);
  return result;
}

bool WriteToCli(RunningCli& running, const std::string& text) {
  return write(static_cast<int>(running.input), text.data(), text.size()) ==
         static_cast<ssize_t>(text.size());
}

std::string MissingFileReason() { return "No such file or directory"; }
