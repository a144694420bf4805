// TModemTerminal: the modem under the user's hands instead of a script's. It opens the port, finds
// the modem as a run does (or opens at a speed the user chose), and then keeps the port open:
// lines the user types are sent with CR LF, every line that arrives (also one nobody asked for,
// such as RING) is logged as received, and the control lines can be worked, until the user closes
// it. The window and kelvo-run --terminal share it.
// Threads: Run executes on the terminal's thread (a thread of the window's core, or kelvo-run's
// main one), which alone touches the port, the line and the screen while it runs; Send, the line
// commands, AwaitAnswer, CloseWhenQuiet and Close only queue or request, from any thread (Close also
// from a signal handler through StopRequest().Request()). The screen given must be safe to call
// from the terminal's thread: the window hands it over (TScreenHandOver).
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "app/modem_line.h"
#include "app/run_screen.h"
#include "app/run_stop.h"
#include "serial/com_port.h"

namespace kelvo {

// How the terminal ended: closed by the user, or the port failed (the reason is the log's last line).
struct TTerminalResult {
  bool Failed = false;
  std::string Message;
};

class TModemTerminal {
 public:
  // The port, the screen and stop outlive the terminal.
  TModemTerminal(TRunScreen& screen, TCustomComPort& port, TRunStop& stop);

  // Opens portName, finds the modem (or opens at speed), then sends and receives until Close. Logs
  // how it ended ("терминал закрыт", or the error) and closes the port whatever happened. Never
  // raises. A modem that does not answer the search leaves the terminal open at the last speed
  // tried, with a warning in the log: the user may still want to talk to it. Lines queued before
  // Run (a piped input read while the modem is searched for) are sent once the port is ready; what
  // is still queued when the terminal ends is dropped, so that it never reaches the next one.
  TTerminalResult Run(const std::string& portName, std::optional<int> speed);

  // Any thread: the line (8-bit, without line breaks) is sent at the next chance, in order.
  void Send(const std::string& line);
  // Any thread: the modem's control lines, worked on the terminal's thread; a port without them
  // logs why.
  void SetDTR(bool on);
  void SetRTS(bool on);
  void SendBreak();
  void HangUp();
  // Any thread: the terminal closes within moments.
  void Close() { FStop.Request(); }
  // Any thread: the lines queued after this wait, once those before it have been sent, until the
  // modem has answered with a final result code (OK, ERROR, CONNECT, ...) or has been quiet for
  // quietMs, and at most limitMs however much it says (a modem repeating RING). A piped input uses
  // it after each line, so that each answer is printed under its command.
  void AwaitAnswer(int quietMs = 1000, int limitMs = 10000);
  // Any thread: once the lines queued before have been sent and the modem has been quiet for
  // quietMs (at most limitMs), the terminal closes (the end of a piped input: the last answers are
  // still logged).
  void CloseWhenQuiet(int quietMs = 300, int limitMs = 5000);
  TRunStop& StopRequest() { return FStop; }

  // How long a read waits before the terminal looks for typed lines again.
  static constexpr int kPollMs = 50;
  // A line without its CR is shown once the modem has been quiet this long: a prompt such as the
  // "> " of AT+CMGS never ends with CR, and the user must see it to answer it.
  static constexpr int kPartialLineMs = 250;

 private:
  using TCommand = std::function<void()>;
  void Queue(TCommand command);
  void RunQueued();
  void Open(const std::string& portName, std::optional<int> speed);
  void Talk();
  // Logs the lines that arrive within one poll; the number of bytes that did.
  int ReadArrived();
  // Reads and logs until the modem has been quiet for quietMs, or (with untilFinal) a final result
  // code arrived, or limitMs passed.
  void ReadUntilQuiet(int quietMs, int limitMs, bool untilFinal);
  void LogReceived(const std::string& raw);
  void SendTyped(const std::string& line);
  void Guard(const TCommand& command);

  TRunScreen& FScreen;
  TCustomComPort& FPort;
  TRunStop& FStop;
  TModemLine FLine;
  // The terminal's thread only: what has arrived of the next line, the polls that found nothing
  // since the last byte, and whether the last line received was a final result code.
  std::string FPending;
  int FQuietPolls = 0;
  bool FFinalReceived = false;
  std::mutex FLock;  // guards FQueue, which any thread fills
  std::deque<TCommand> FQueue;
};

}  // namespace kelvo
