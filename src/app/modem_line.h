// The line-level exchange with a modem over the serial port: the coloured execution log, sending a
// command line, reading an answer line, waiting for an expected answer, the speed and read time-out
// a script may change, and the search for a modem across ten speeds that starts every run.
// Threads: a TModemLine lives on the thread of its run, with its port; only the stop request comes
// from elsewhere.
#pragma once

#include <chrono>
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
// The longest line collected without its CR: when this much has arrived, the text so far is taken
// as a line, so that a device that never sends CR cannot make a run hold an ever longer text.
inline constexpr size_t kMaxLineBytes = 64 * 1024;
// How long the modem search waits for "OK" at one speed while the device keeps talking: a device
// that never pauses (a GPS receiver, a console, a modem repeating RING) must not hold the search.
inline constexpr std::chrono::seconds kDetectionAnswerLimit{3};

// The point after which a wait gives up however much arrives; none: only silence ends it.
using TWaitLimit = std::optional<std::chrono::steady_clock::time_point>;

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
  // and shows it in the status bar. Control characters inside the text are shown by name
  // (VisibleText).
  void LogLine(TLogKind kind, const std::string& text);
  // The text of the last line logged, prefix included.
  const std::string& LastLogged() const { return FLastLogged; }
  // Waits 200 ms, discards both queues, adds CR LF unless text already ends with its only CR LF,
  // writes it and (unless quiet) logs it.
  void SendLine(std::string text, bool quiet);
  // The next non-blank line, ended by CR or cut at kMaxLineBytes; the empty text when a read
  // time-out passes first, or the limit. Stripped, without any CR or LF; otherwise as it came,
  // blank lines before it included.
  std::string RecvLine(bool stripped, bool quiet, TWaitLimit limit = std::nullopt);
  // Reads lines until one reads as expected (trimmed, upper case by the locale), the line falls
  // silent for one read time-out, or the limit passes.
  bool WaitForAnswer(const std::string& expected, bool quiet, TWaitLimit limit = std::nullopt);
  // Sets the speed when a script may choose it; false (speed unchanged) otherwise.
  bool ApplyBaudRate(int bps);
  // ms <= 0 means the default of 1500; sets the total and the interval read time-outs.
  void ApplyReadTimeout(int ms);
  // Sets the line up for a run and tries the ten speeds with "AT"/"OK"; true when a modem answered
  // (the port stays at that speed). The wait at each speed ends at a silence of one read time-out,
  // or kDetectionAnswerLimit after "AT" was sent, at the next byte boundary.
  bool DetectModem();
  // The line format of a run: 8N1 without handshake, DTR and RTS on, the detection time-outs.
  void SetUpLine();
  // Opens the run at a known speed instead of the search (kelvo-run --speed): the line format of
  // SetUpLine and bps, any speed the device takes.
  void UseSpeed(int bps);

  // The modem's control lines. DTR and RTS stay as set (a later speed change keeps them); a break
  // lasts ms milliseconds (250 when ms <= 0); HangUp drops DTR for 500 ms. A device without these
  // lines (a pseudo-terminal) raises an Exception that names the function and the port.
  void SetDTR(bool on);
  void SetRTS(bool on);
  void SendBreak(int ms);
  void HangUp();

  // Waits ms, or less when the run is stopped meanwhile, which raises ERunStopped.
  void Pause(int ms);

 private:
  void RequireModemLines(const char* function) const;
  bool Stopped() const { return FStop != nullptr && FStop->Requested(); }

  TRunScreen& FScreen;
  TCustomComPort& FPort;
  const TRunStop* FStop;
  std::string FLastLogged;
};

}  // namespace kelvo
