// The line-level exchange with a modem over the serial port: the coloured execution log, sending a
// command line, reading an answer line, waiting for an expected answer, the speed and read time-out
// a script may change, and the search for a modem across ten speeds that starts every run.
// Threads: a TModemLine lives on the thread of its run, with its port; only the stop request comes
// from elsewhere.
#pragma once

#include <optional>
#include <string>

#include "app/run_screen.h"
#include "app/run_stop.h"
#include "serial/com_port.h"

namespace kelvo {

struct TLogColor {
  int Red, Green, Blue;
};

// "> " for sent lines, "< " for received ones, nothing for the others.
std::string LogPrefix(TLogKind kind);
// Navy, green, black and red.
TLogColor LogColor(TLogKind kind);

// The port speed of bps when a script may choose it (300 ... 115200, and 56000), else nothing.
std::optional<TBaudRate> ScriptBaudRate(int bps);

// The read time-outs of a run, in milliseconds.
inline constexpr int kDefaultReadTimeout = 1500;

// The number of speeds that the modem search tries.
inline constexpr int kDetectionSpeedCount = 10;
// "поиск модема: 3 из 10, 19200 bps": the progress text of the search at its step'th speed.
std::string SearchProgressText(int step, TBaudRate rate);

class TModemLine {
 public:
  // stop, when given, ends every wait of the line as soon as it is requested: the operation that
  // waited raises ERunStopped. The port should have been given stop's signal as its interrupt.
  TModemLine(TRunScreen& screen, TCustomComPort& port, const TRunStop* stop = nullptr)
      : FScreen(screen), FPort(port), FStop(stop) {}

  // Trims text; when something is left, appends it with the kind's prefix and the time to the log
  // and shows it in the status bar.
  void LogLine(TLogKind kind, const std::string& text);
  // The text of the last line logged, prefix included.
  const std::string& LastLogged() const { return FLastLogged; }
  // Waits 200 ms, discards both queues, adds CR LF unless text already ends with its only CR LF,
  // writes it and (unless quiet) logs it.
  void SendLine(std::string text, bool quiet);
  // The next non-blank line, ended by CR; the empty text when a read time-out passes first. Stripped,
  // without any CR or LF; otherwise as it came, blank lines before it included.
  std::string RecvLine(bool stripped, bool quiet);
  // Reads lines until one reads as expected (trimmed, upper case by the locale) or the line falls
  // silent for one read time-out.
  bool WaitForAnswer(const std::string& expected, bool quiet);
  // Sets the speed when a script may choose it; false (speed unchanged) otherwise.
  bool ApplyBaudRate(int bps);
  // ms <= 0 means the default of 1500; sets the total and the interval read time-outs.
  void ApplyReadTimeout(int ms);
  // Sets the line up for a run and tries the ten speeds with "AT"/"OK"; true when a modem answered
  // (the port stays at that speed).
  bool DetectModem();
  // Waits ms, or less when the run is stopped meanwhile, which raises ERunStopped.
  void Pause(int ms);

 private:
  bool Stopped() const { return FStop != nullptr && FStop->Requested(); }

  TRunScreen& FScreen;
  TCustomComPort& FPort;
  const TRunStop* FStop;
  std::string FLastLogged;
};

}  // namespace kelvo
