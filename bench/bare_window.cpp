// The baseline of the start-up benchmark: a bare Qt window with one label, measured
// as the editor is (first paint, then exit).
#include <QApplication>
#include <QLabel>

#include "first_paint_probe.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  FirstPaintProbe probe;
  application.installEventFilter(&probe);
  QLabel label("QUORVEL");
  label.show();
  return application.exec();
}
