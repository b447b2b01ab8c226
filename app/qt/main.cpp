// quorvel: the editor for Linux and macOS. Runs the editor dialog modally on the
// file named by the first argument; the dialog's result is the exit code.
#include <QApplication>

#include "editor_program.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  return RunEditorProgram(argc, argv);
}
