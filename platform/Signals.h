// The signals that ask a run to stop (SIGTERM from a scheduler's time-out,
// SIGINT from Ctrl-C, SIGHUP from a closed session): the first sets a flag
// that the record loops read, so the run ends at a record boundary with its
// outputs closed; a second one ends the process at once, as if it had not
// been caught.
#pragma once

#include <atomic>

// The number of the first stop signal caught, 0 while none has been.
std::atomic<int>& StopSignalNumber();

// Catches SIGTERM, SIGINT and SIGHUP from now on (installing the handlers
// again changes nothing). Reads and writes interrupted by them fail with
// EINTR instead of restarting, so a run waiting on a pipe hears of the stop.
void CatchStopSignalsOnce();
