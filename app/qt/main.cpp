// quorvel: the editor for Linux and macOS. Runs the editor dialog, in the window
// with the workspace, on the file named on the command line; the dialog's result
// is the exit code. The options are read before Qt starts, so that --help,
// --version and a wrong option need no display; without one the program says so
// and ends with 2. Qt is given none of the user's arguments (its own settings come
// from its environment variables).
#include <QApplication>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editor_program.h"
#include "metrics_document.h"
#include "program_start.h"

namespace {

constexpr int kUsageError = 2;

}  // namespace

int main(int argc, char** argv) {
  const ProgramOptions options = ParseProgramOptions(argc, argv);
  using Action = ProgramOptions::Action;
  if (options.action == Action::Help) {
    std::fputs(ProgramHelpText().c_str(), stdout);
    return 0;
  }
  if (options.action == Action::Version) {
    std::printf("quorvel %s\n", QUORVEL_VERSION);
    return 0;
  }
  if (options.action == Action::Error) {
    std::fprintf(stderr, "quorvel: %s (see quorvel --help)\n", options.error.c_str());
    return kUsageError;
  }
  // A cut path could name another file; opening nothing would say nothing.
  if (options.file && std::strlen(options.file) >= kPathBufferSize) {
    std::fprintf(stderr, "quorvel: path longer than %zu bytes: not opened\n", kPathBufferSize - 1);
    return kUsageError;
  }
#ifndef __APPLE__  // macOS shows windows without these variables
  // Qt would abort with its own words; the command-line tool needs no display.
  if (!DisplayAvailable(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                        std::getenv("QT_QPA_PLATFORM"))) {
    std::fputs("quorvel: no display: set DISPLAY or use quorvel-cli\n", stderr);
    return kUsageError;
  }
#endif
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
  QTranslator translator;
  SetUpQtProgram(application, translator);
  char* editorArgv[] = {argv[0], const_cast<char*>(options.file), nullptr};
  return RunEditorProgram(options.file ? 2 : 1, editorArgv);
}
