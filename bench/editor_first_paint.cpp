// The editor as the program runs it, ended at its first paint for the start-up
// benchmark.
#include <QApplication>

#include "editor_program.h"
#include "first_paint_probe.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  FirstPaintProbe probe;
  application.installEventFilter(&probe);
  return RunEditorProgram(argc, argv);
}
