// The editor as the program runs it (its settings and translations included),
// ended at its first paint for the start-up benchmark.
#include <QApplication>
#include <QTranslator>

#include "editor_program.h"
#include "first_paint_probe.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QTranslator translator;
  SetUpQtProgram(application, translator);
  FirstPaintProbe probe;
  application.installEventFilter(&probe);
  return RunEditorProgram(argc, argv);
}
