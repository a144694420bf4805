// The screen of one port's run in kelvo-run: log lines, wait-box texts and messages printed (after
// the port's name when several ports run), questions answered from the answers given on the command
// line or else on the terminal, and everything shown kept for the report. Texts arrive as
// Windows-1251 and are written as UTF-8.
// Threads: the port's run uses it; only the stop request comes from elsewhere (a signal handler).
// Several screens share one output and one terminal, whose questions they take in turn.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "app/run_screen.h"
#include "app/run_stop.h"
#include "console_output.h"

namespace kelvo {

// What a line of a port's record is: the four kinds of log line, then what the run showed besides.
enum class TShownKind { skSent, skReceived, skInfo, skError, skWait, skMessage, skQuestion, skAnswer };

// "sent", "received", "info", "error", "wait", "message", "question", "answer".
const char* ShownKindName(TShownKind kind);

// One line that a port's run showed: when, what, and its 8-bit text without the log's prefix.
struct TShownLine {
  TLogTime Time;
  TShownKind Kind;
  std::string Text;
};

// The terminal that the screens of several ports share: one question is on it at a time.
// Threads: any.
class TTerminalTurns {
 public:
  // Waits until no other question is on the terminal; false when stop is requested first.
  bool Take(const TRunStop* stop);
  void Give();

 private:
  std::mutex FLock;
  std::condition_variable FFree;
  bool FTaken = false;
};

class TConsoleScreen : public TRunScreen {
 public:
  // prefix starts every line printed ("ttyUSB3 | ", or empty); in is the descriptor that answers
  // questions on the terminal; terminal is the turn of the screens that share it.
  TConsoleScreen(TConsoleOutput& output, std::string prefix, int in, TTerminalTurns& terminal);

  // The run's stop request: a question on the terminal waits for an answer or for it.
  void SetStop(const TRunStop& stop) { FStop = &stop; }
  // Questions take these answers (8-bit) in order; after them, the terminal, unless noInput, when
  // an unanswered question is cancelled.
  void SetAnswers(std::vector<std::string> answers, bool noInput);
  // Everything the run showed, in order.
  const std::vector<TShownLine>& Shown() const { return FShown; }

  TModalResult MessageBox(const std::string& text, TMsgIcon icon, TMsgButtons buttons) override;
  void SetStatusText(const std::string&) override {}
  void AppendLogLine(const TLogEntry& entry) override;
  bool AskUserString(const std::string& caption, const std::string& message, std::string& answer) override;
  void ShowWaitBox(const std::string& text) override;
  void ShowSearchProgress(int, int, const std::string&) override {}

 private:
  void Show(TShownKind kind, const std::string& text, const std::string& printed);
  // The answer typed on the terminal, once it is this screen's turn; false when the input ends or
  // the run stops first.
  bool AskTerminal(const std::string& question, std::string& line);
  // A line typed on the input, without its line break; false at its end or when the run stops.
  bool ReadAnswer(std::string& line);
  bool Stopped() const { return FStop != nullptr && FStop->Requested(); }

  TConsoleOutput& FOutput;
  std::string FPrefix;
  int FIn;
  TTerminalTurns& FTerminal;
  const TRunStop* FStop = nullptr;
  std::vector<std::string> FAnswers;
  size_t FNextAnswer = 0;
  bool FNoInput = false;
  std::vector<TShownLine> FShown;
};

}  // namespace kelvo
