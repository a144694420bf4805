#include "app/modem_terminal.h"

#include <array>
#include <chrono>
#include <string_view>

#include "app/app_texts.h"
#include "app/error_display.h"
#include "text/ansi_text.h"
#include "text/exception.h"

namespace kelvo {

namespace {

using TClock = std::chrono::steady_clock;

// The result codes that end a modem's answer to a command.
bool IsFinalResult(const std::string& line) {
  static constexpr std::array<std::string_view, 9> kFinal = {
      "OK", "ERROR", "CONNECT", "NO CARRIER", "BUSY", "NO DIALTONE", "NO DIAL TONE", "NO ANSWER", "+CM"};
  const std::string upper = AnsiUpperCase(Trim(line));
  for (std::string_view code : kFinal) {
    if (upper.compare(0, code.size(), code) != 0) continue;
    if (code == "+CM") return upper.find(" ERROR:") == 4;  // +CME ERROR: n, +CMS ERROR: n
    // "CONNECT 9600" and the like; "OKAY" or "ERRORS" are not result codes.
    return upper.size() == code.size() || (code == "CONNECT" && upper[code.size()] == ' ');
  }
  return false;
}

}  // namespace

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

void TModemTerminal::AwaitAnswer(int quietMs, int limitMs) {
  Queue([this, quietMs, limitMs] { ReadUntilQuiet(quietMs, limitMs, true); });
}

void TModemTerminal::CloseWhenQuiet(int quietMs, int limitMs) {
  Queue([this, quietMs, limitMs] {
    ReadUntilQuiet(quietMs, limitMs, false);
    FStop.Request();
  });
}

void TModemTerminal::ReadUntilQuiet(int quietMs, int limitMs, bool untilFinal) {
  const auto limit = TClock::now() + std::chrono::milliseconds(limitMs);
  auto quietSince = TClock::now();
  FFinalReceived = false;
  while (!FStop.Requested() && TClock::now() < limit) {
    if (ReadArrived() > 0)
      quietSince = TClock::now();
    else if (TClock::now() - quietSince >= std::chrono::milliseconds(quietMs))
      return;
    if (untilFinal && FFinalReceived) return;
  }
}

TTerminalResult TModemTerminal::Run(const std::string& portName, std::optional<int> speed) {
  TTerminalResult result;
  FPending.clear();
  FQuietPolls = 0;
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
  {
    std::lock_guard<std::mutex> guard(FLock);
    FQueue.clear();
  }
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

// Whatever arrived within one poll, logged line by line; a line in the making waits for its CR
// until the modem has been quiet for kPartialLineMs.
int TModemTerminal::ReadArrived() {
  char buffer[256];
  int n = FPort.Read(buffer, sizeof buffer);
  if (n == 0 && FStop.Requested()) throw ERunStopped();
  if (n == 0) {
    if (!FPending.empty() && ++FQuietPolls * kPollMs >= kPartialLineMs) LogReceived(FPending);
    return 0;
  }
  FQuietPolls = 0;
  for (int i = 0; i < n; ++i) {
    FPending += buffer[i];
    if (buffer[i] == '\r' || FPending.size() >= kMaxLineBytes) LogReceived(FPending);
  }
  return n;
}

// Line breaks are not shown; a line of nothing but them is not logged.
void TModemTerminal::LogReceived(const std::string& raw) {
  std::string line;
  for (char c : raw)
    if (c != '\r' && c != '\n') line += c;
  FPending.clear();
  FQuietPolls = 0;
  if (Trim(line).empty()) return;
  FLine.LogLine(lkReceived, line);
  FFinalReceived = IsFinalResult(line);
}

// As a script's Send, but without the pause and without discarding what has arrived: an
// unsolicited line that came meanwhile is read and logged first.
void TModemTerminal::SendTyped(const std::string& line) {
  ReadArrived();
  FPort.WriteStr(line + "\r\n");
  FLine.LogLine(lkSent, line);
}

}  // namespace kelvo
