#include "stop_signals.h"

HeldSignals HoldBackStopSignals() {
  sigset_t stops;
  sigemptyset(&stops);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, signal);
  HeldSignals held;
  sigprocmask(SIG_BLOCK, &stops, &held.before);
  return held;
}

void LetStopSignalsThrough(const HeldSignals& held) {
  sigprocmask(SIG_SETMASK, &held.before, nullptr);
}
