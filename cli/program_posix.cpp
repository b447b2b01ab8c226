// The POSIX side of program.h: the arguments are the system's bytes already.
#include <csignal>

#include "program.h"

std::vector<std::string> StartProgram(int argc, char** argv) {
  // A write beyond the file-size limit (ulimit -f) then fails with EFBIG and is
  // reported, instead of the signal ending the program half-way.
  std::signal(SIGXFSZ, SIG_IGN);
  return std::vector<std::string>(argv, argv + argc);
}
