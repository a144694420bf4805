#include "app/modem_line.h"

#include <chrono>
#include <iterator>
#include <thread>

#include "app/app_texts.h"
#include "app/visible_text.h"
#include "text/ansi_text.h"
#include "text/exception.h"

namespace kelvo {
namespace {

// The speeds of the modem search, most common first.
constexpr TBaudRate kDetectionBaudRates[] = {br2400,  br9600,  br19200,  br1200, br4800,
                                             br38400, br57600, br115200, br600,  br300};
static_assert(std::size(kDetectionBaudRates) == kDetectionSpeedCount);

// Settling time before every command line: modems drop characters that follow an answer too closely.
constexpr auto kSendPause = std::chrono::milliseconds(200);

std::string StripLineBreaks(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != '\r' && c != '\n') out += c;
  return out;
}

}  // namespace

std::string LogPrefix(TLogKind kind) {
  switch (kind) {
    case lkSent:
      return "> ";
    case lkReceived:
      return "< ";
    default:
      return "";
  }
}

TLogColor LogColor(TLogKind kind) {
  switch (kind) {
    case lkSent:
      return {0, 0, 128};
    case lkReceived:
      return {0, 128, 0};
    case lkError:
      return {255, 0, 0};
    default:
      return {0, 0, 0};
  }
}

std::optional<TBaudRate> ScriptBaudRate(int bps) {
  switch (bps) {
    case 300:
      return br300;
    case 600:
      return br600;
    case 1200:
      return br1200;
    case 2400:
      return br2400;
    case 4800:
      return br4800;
    case 9600:
      return br9600;
    case 19200:
      return br19200;
    case 38400:
      return br38400;
    case 56000:
      return br56000;
    case 57600:
      return br57600;
    case 115200:
      return br115200;
    default:
      return std::nullopt;
  }
}

std::string SearchProgressText(int step, TBaudRate rate) {
  return Ansi(texts::kSearchingModem) + std::to_string(step) + Ansi(texts::kSearchStepOf) +
         std::to_string(kDetectionSpeedCount) + ", " + BaudRateToStr(rate) + " bps";
}

void TModemLine::LogLine(TLogKind kind, const std::string& text) {
  std::string trimmed = Trim(text);
  if (trimmed.empty()) return;
  TLogEntry entry{std::chrono::system_clock::now(), kind, LogPrefix(kind) + VisibleText(trimmed)};
  FLastLogged = entry.Text;
  FScreen.AppendLogLine(entry);
  FScreen.SetStatusText(entry.Text);
}

void TModemLine::Pause(int ms) {
  if (FStop == nullptr) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return;
  }
  if (FStop->Sleep(std::chrono::milliseconds(ms))) throw ERunStopped();
}

void TModemLine::SendLine(std::string text, bool quiet) {
  Pause(static_cast<int>(kSendPause.count()));
  FPort.ClearBuffer(true, true);
  size_t firstBreak = text.find("\r\n");
  if (firstBreak == std::string::npos || firstBreak != text.size() - 2) text += "\r\n";
  FPort.WriteStr(text);
  if (!quiet) LogLine(lkSent, text);
}

namespace {

bool Passed(const TWaitLimit& limit) {
  return limit && std::chrono::steady_clock::now() >= *limit;
}

}  // namespace

std::string TModemLine::RecvLine(bool stripped, bool quiet, TWaitLimit limit) {
  std::string raw;
  for (;;) {
    char c;
    if (Passed(limit)) return {};
    if (FPort.Read(&c, 1) == 0) {
      if (Stopped()) throw ERunStopped();  // the read ended because the run was stopped
      return {};
    }
    raw += c;
    if (c != '\r' && raw.size() < kMaxLineBytes) continue;
    std::string line = StripLineBreaks(raw);
    if (line.empty()) {
      // A blank line: keep reading; raw keeps its line breaks unless they alone fill the bound.
      if (raw.size() >= kMaxLineBytes) raw.clear();
      continue;
    }
    if (!quiet) LogLine(lkReceived, line);
    return stripped ? line : raw;
  }
}

bool TModemLine::WaitForAnswer(const std::string& expected, bool quiet, TWaitLimit limit) {
  std::string wanted = AnsiUpperCase(expected);
  for (;;) {
    std::string s = RecvLine(false, quiet, limit);
    if (s.empty()) return false;
    if (StripLineBreaks(AnsiUpperCase(Trim(s))) == wanted) return true;
  }
}

bool TModemLine::ApplyBaudRate(int bps) {
  std::optional<TBaudRate> rate = ScriptBaudRate(bps);
  if (!rate) return false;
  FPort.SetBaudRate(*rate);
  return true;
}

void TModemLine::ApplyReadTimeout(int ms) {
  if (ms <= 0) ms = kDefaultReadTimeout;
  FPort.Timeouts().SetReadTotalC(ms);
  FPort.Timeouts().SetReadInterval(ms);
}

void TModemLine::SetUpLine() {
  FPort.Timeouts().SetReadInterval(100);
  FPort.Timeouts().SetReadTotalC(kDefaultReadTimeout);
  FPort.Timeouts().SetReadTotalM(5);
  // One transfer to the device for the whole line format: 8N1 without handshake, DTR and RTS on.
  FPort.BeginUpdate();
  FPort.SetDataBits(dbEight);
  FPort.SetStopBits(sbOneStopBit);
  FPort.Parity().SetCheck(false);
  FPort.FlowControl().SetFlowControl(fcHardware);
  FPort.FlowControl().SetOutCTSFlow(false);
  FPort.FlowControl().SetOutDSRFlow(false);
  FPort.FlowControl().SetControlDTR(dtrEnable);
  FPort.FlowControl().SetControlRTS(rtsEnable);
  FPort.EndUpdate();
}

bool TModemLine::DetectModem() {
  SetUpLine();
  int step = 0;
  for (TBaudRate rate : kDetectionBaudRates) {
    ++step;
    FScreen.ShowSearchProgress(step, kDetectionSpeedCount, SearchProgressText(step, rate));
    LogLine(lkInfo, Ansi(texts::kSearchingModem) + FPort.Port() + ", " + BaudRateToStr(rate) + " bps");
    FPort.SetBaudRate(rate);
    SendLine("", true);
    SendLine("AT", true);
    if (WaitForAnswer("OK", true, std::chrono::steady_clock::now() + kDetectionAnswerLimit)) {
      FScreen.ShowSearchProgress(0, 0, {});
      LogLine(lkInfo, Ansi(texts::kModemFound));
      return true;
    }
  }
  FScreen.ShowSearchProgress(0, 0, {});
  return false;
}

// --- Opening at a known speed and the control lines -------------------------------------------

void TModemLine::UseSpeed(int bps) {
  SetUpLine();
  if (std::optional<TBaudRate> rate = ScriptBaudRate(bps)) {
    FPort.SetBaudRate(*rate);
  } else {
    FPort.SetCustomBaudRate(bps);
    FPort.SetBaudRate(brCustom);
  }
  LogLine(lkInfo, Ansi(texts::kFixedSpeed) + FPort.Port() + ", " + std::to_string(bps) + " bps");
}

void TModemLine::RequireModemLines(const char* function) const {
  if (!FPort.HasModemLines())
    throw Exception(function + FormatMessage(Ansi(texts::kNoModemLines), {FPort.Port()}));
}

void TModemLine::SetDTR(bool on) {
  RequireModemLines("SetDTR");
  FPort.FlowControl().SetControlDTR(on ? dtrEnable : dtrDisable);
}

void TModemLine::SetRTS(bool on) {
  RequireModemLines("SetRTS");
  FPort.FlowControl().SetControlRTS(on ? rtsEnable : rtsDisable);
}

void TModemLine::SendBreak(int ms) {
  RequireModemLines("SendBreak");
  FPort.SetBreak(true);
  try {
    Pause(ms > 0 ? ms : 250);
  } catch (...) {
    FPort.SetBreak(false);  // a stopped run leaves no break on the line
    throw;
  }
  FPort.SetBreak(false);
}

// The classic hardware hang-up: a modem that sees DTR drop ends its call.
void TModemLine::HangUp() {
  RequireModemLines("HangUp");
  SetDTR(false);
  try {
    Pause(500);
  } catch (...) {
    SetDTR(true);
    throw;
  }
  SetDTR(true);
}

}  // namespace kelvo
