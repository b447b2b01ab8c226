// Start-up measurement: prints the wall-clock time of the first paint event of a
// window as "first-paint <nanoseconds since the epoch>", then the peak resident
// size, and ends the process at once. Installed on the application by the bench
// programs only.
#pragma once

#include <QObject>

class FirstPaintProbe : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
