// TModemTerminal: the modem under the user's hands instead of a script's. It opens the port, finds
// the modem as a run does (or opens at a speed the user chose), and then keeps the port open:
// lines the user types are sent with CR LF, every line that arrives (also one nobody asked for,
// such as RING) is logged as received, and the control lines can be worked, until the user closes
// it. The window and kelvo-run --terminal share it.
// Threads: Run executes on the terminal's thread (the window's own, or kelvo-run's main one) with
// the port and the screen; Send, the line commands, Close and the state queries may be called from
// any thread (Close also from a signal handler through StopRequest().Request()).
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
  // tried, with a warning in the log: the user may still want to talk to it.
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
  // Any thread: once the lines queued before have been sent and the modem has been quiet for
  // quietMs, the terminal closes (the end of a piped input: the last answers are still logged).
  void CloseWhenQuiet(int quietMs = 1000);
  TRunStop& StopRequest() { return FStop; }

  // How long a read waits before the terminal looks for typed lines again.
  static constexpr int kPollMs = 50;

 private:
  using TCommand = std::function<void()>;
  void Queue(TCommand command);
  void RunQueued();
  void Open(const std::string& portName, std::optional<int> speed);
  void Talk();
  // Logs the lines that arrive within one poll; the number of bytes that did.
  int ReadArrived();
  void SendTyped(const std::string& line);
  void Guard(const TCommand& command);

  TRunScreen& FScreen;
  TCustomComPort& FPort;
  TRunStop& FStop;
  TModemLine FLine;
  std::string FPending;  // what has arrived of the next line; the terminal's thread only
  std::mutex FLock;
  std::deque<TCommand> FQueue;
};

}  // namespace kelvo
