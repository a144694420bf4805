#include "run_signals.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace kelvo {

namespace {

std::atomic<TMultiPortRun*> gRun{nullptr};
std::atomic<TRunStop*> gStop{nullptr};
volatile sig_atomic_t gSignal = 0;

void OnSignal(int signal) {
  if (gSignal != 0) ::_exit(128 + signal);
  gSignal = signal;
  if (TMultiPortRun* run = gRun.load()) run->Stop();
  if (TRunStop* stop = gStop.load()) stop->Request();
}

void Catch(bool on) {
  struct sigaction action {};
  action.sa_handler = on ? &OnSignal : SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

void CatchStopSignals(TMultiPortRun* run) {
  gRun = run;
  Catch(run != nullptr);
}

void CatchStopSignalsFor(TRunStop* stop) {
  gStop = stop;
  Catch(stop != nullptr);
}

int CaughtSignal() {
  return gSignal;
}

}  // namespace kelvo
