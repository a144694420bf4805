#include "app/modem_terminal.h"

#include "app/app_texts.h"
#include "app/error_display.h"
#include "text/exception.h"

namespace kelvo {

TModemTerminal::TModemTerminal(TRunScreen& screen, TCustomComPort& port, TRunStop& stop)
    : FScreen(screen), FPort(port), FStop(stop), FLine(screen, port, &stop) {}

void TModemTerminal::Queue(TCommand command) {
  std::lock_guard<std::mutex> guard(FLock);
  FQueue.push_back(std::move(command));
}

void TModemTerminal::Send(const std::string& line) {
  Queue([this, line] { SendTyped(line); });
}
void TModemTerminal::SetDTR(bool on) {
  Queue([this, on] { FLine.SetDTR(on); });
}
void TModemTerminal::SetRTS(bool on) {
  Queue([this, on] { FLine.SetRTS(on); });
}
void TModemTerminal::SendBreak() {
  Queue([this] { FLine.SendBreak(0); });
}
void TModemTerminal::HangUp() {
  Queue([this] { FLine.HangUp(); });
}

void TModemTerminal::CloseWhenQuiet(int quietMs) {
  Queue([this, quietMs] {
    auto quietSince = std::chrono::steady_clock::now();
    while (!FStop.Requested()) {
      auto now = std::chrono::steady_clock::now();
      if (ReadArrived() > 0)
        quietSince = now;
      else if (now - quietSince >= std::chrono::milliseconds(quietMs))
        FStop.Request();
    }
  });
}

TTerminalResult TModemTerminal::Run(const std::string& portName, std::optional<int> speed) {
  TTerminalResult result;
  {
    std::lock_guard<std::mutex> guard(FLock);
    FQueue.clear();  // nothing typed before the terminal opened is sent
  }
  FPending.clear();
  try {
    FPort.SetEvents({});
    FPort.SetInterruptSignal(&FStop.Signal());
    FPort.SetPortName(portName);
    FPort.Open();
    Open(portName, speed);
    Talk();
  } catch (const ERunStopped&) {
  } catch (...) {
    result.Failed = true;
    result.Message = ExceptionMessage(std::current_exception());
  }
  try {
    FPort.Close();
  } catch (...) {
  }
  FPort.SetInterruptSignal(nullptr);
  FScreen.ShowSearchProgress(0, 0, {});
  if (!result.Failed) result.Message = Ansi(texts::kTerminalClosed);
  FLine.LogLine(result.Failed ? lkError : lkInfo, result.Message);
  return result;
}

// The search of a run; a modem that answers none of the speeds is not the end of a terminal,
// whose user may want to see what the device says.
void TModemTerminal::Open(const std::string& portName, std::optional<int> speed) {
  if (speed) {
    FLine.UseSpeed(*speed);
  } else if (!FLine.DetectModem()) {
    if (FStop.Requested()) throw ERunStopped();
    FLine.LogLine(lkError, Ansi(texts::kModemNotFound));
  }
  // Short reads, so that typed lines go out at once; no total multiplier, whatever the read size.
  FPort.Timeouts().SetReadInterval(kPollMs);
  FPort.Timeouts().SetReadTotalM(0);
  FPort.Timeouts().SetReadTotalC(kPollMs);
  FLine.LogLine(lkInfo, Ansi(texts::kTerminalOpen) + portName);
}

void TModemTerminal::Talk() {
  while (!FStop.Requested()) {
    RunQueued();
    ReadArrived();
  }
}

void TModemTerminal::RunQueued() {
  for (;;) {
    TCommand command;
    {
      std::lock_guard<std::mutex> guard(FLock);
      if (FQueue.empty()) return;
      command = std::move(FQueue.front());
      FQueue.pop_front();
    }
    Guard(command);
  }
}

// A command that fails (a pseudo-terminal has no DTR) is said in the log; the terminal stays open.
// A port error ends it.
void TModemTerminal::Guard(const TCommand& command) {
  try {
    command();
  } catch (const EComPort&) {
    throw;
  } catch (const ERunStopped&) {
    throw;
  } catch (const Exception& e) {
    FLine.LogLine(lkError, e.Message());
  }
}

// Whatever arrived within one poll, logged line by line; a line in the making waits for its CR,
// however many polls that takes.
int TModemTerminal::ReadArrived() {
  char buffer[256];
  int n = FPort.Read(buffer, sizeof buffer);
  if (n == 0 && FStop.Requested()) throw ERunStopped();
  for (int i = 0; i < n; ++i) {
    FPending += buffer[i];
    if (buffer[i] != '\r' && FPending.size() < kMaxLineBytes) continue;
    std::string line;
    for (char c : FPending)
      if (c != '\r' && c != '\n') line += c;
    FPending.clear();
    if (!line.empty()) FLine.LogLine(lkReceived, line);
  }
  return n;
}

// As a script's Send, but without the pause and without discarding what has arrived: an
// unsolicited line that came meanwhile is read and logged first.
void TModemTerminal::SendTyped(const std::string& line) {
  ReadArrived();
  FPort.WriteStr(line + "\r\n");
  FLine.LogLine(lkSent, line);
}

}  // namespace kelvo
