#include "app/multi_port_run.h"

#include <algorithm>
#include <thread>

#include "app/app_texts.h"

namespace kelvo {

TPortRun::TPortRun(std::string portName, TRunScreen& screen)
    : PortName(std::move(portName)), Runner(screen, Port, Engine, Stop) {}

TMultiPortRun::TMultiPortRun(const std::vector<std::string>& portNames,
                             const std::vector<TRunScreen*>& screens) {
  for (size_t i = 0; i < portNames.size(); ++i)
    FRuns.push_back(std::make_unique<TPortRun>(portNames[i], *screens[i]));
}

// A compiled program holds the values of the script's variables, so every port needs a program of
// its own; the first compilation finds any error before the others are made and any port opened.
bool TMultiPortRun::Compile(const std::string& text) {
  for (auto& run : FRuns)
    if (!run->Runner.Compile(text)) return false;
  return true;
}

void TMultiPortRun::Execute(int jobs) {
  size_t count = jobs > 0 ? std::min(FRuns.size(), static_cast<size_t>(jobs)) : FRuns.size();
  FNext = 0;
  std::vector<std::thread> threads;
  for (size_t i = 0; i < count; ++i) threads.emplace_back([this] { RunJob(); });
  for (std::thread& thread : threads) thread.join();
}

// Ports are taken in index order, so the stop goes from the last port to the first: every port
// whose turn is still to come is stopped before any running one can end and free its job for it.
// In index order, a job could open the next port between the stop of its run and that port's.
void TMultiPortRun::Stop() noexcept {
  for (size_t i = FRuns.size(); i-- > 0;) FRuns[i]->Stop.Request();
}

void TMultiPortRun::StopForTimeOut() noexcept {
  for (size_t i = FRuns.size(); i-- > 0;) FRuns[i]->Stop.RequestForTimeOut();
}

void TMultiPortRun::SetFixedSpeed(std::optional<int> bps) {
  for (auto& run : FRuns) run->Runner.SetFixedSpeed(bps);
}

void TMultiPortRun::RunJob() {
  for (size_t i; (i = FNext.fetch_add(1)) < FRuns.size();) RunPort(*FRuns[i]);
}

// A port whose turn comes after the stop is not opened; its log says that it was stopped.
void TMultiPortRun::RunPort(TPortRun& run) {
  if (run.Stop.Requested()) {
    run.Result.End = TRunEnd::reStopped;
    run.Result.Message = Ansi(texts::kRunStopped);
    run.Runner.Line().LogLine(lkError, run.Result.Message);
    return;
  }
  run.Started = true;
  run.StartTime = std::chrono::system_clock::now();
  run.Result = run.Runner.Execute(run.PortName);
}

}  // namespace kelvo
