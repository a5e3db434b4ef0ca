#include "platform/Signals.h"

#include <signal.h>

namespace {

// Only lock-free atomics may be touched by a signal handler.
static_assert(std::atomic<int>::is_always_lock_free);

std::atomic<int> g_stopSignal{0};

constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnStopSignal(int signal) {
  int none = 0;
  if (g_stopSignal.compare_exchange_strong(none, signal)) return;
  // Asked twice: the default action, delivered when the handler returns.
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

}  // namespace

std::atomic<int>& StopSignalNumber() { return g_stopSignal; }

void CatchStopSignalsOnce() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : kStopSignals) sigaddset(&action.sa_mask, signal);
  action.sa_flags = 0;  // no SA_RESTART: a read waiting on a pipe returns
  for (int signal : kStopSignals) {
    struct sigaction previous {};
    sigaction(signal, nullptr, &previous);
    // A signal ignored by whoever started the run (nohup) stays ignored.
    if (previous.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
}
