// The signals that end a run from outside, held back while a temporary file exists:
// SIGINT (Ctrl+C), SIGTERM and SIGHUP (a closed terminal). One that arrives
// meanwhile takes effect once the file is renamed into place or removed, so that
// none of them leaves the file behind; only SIGKILL or a crash can.
#pragma once

#include <signal.h>

struct HeldSignals {
  sigset_t before;  // the mask to put back
};

HeldSignals HoldBackStopSignals();
void LetStopSignalsThrough(const HeldSignals& held);
