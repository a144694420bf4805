#include "console_screen.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "app/app_texts.h"
#include "app/modem_line.h"
#include "text/cp1251.h"

namespace kelvo {
namespace {

// Terminal colours nearest to the log's: navy, green, default, red.
const char* TerminalColour(TLogKind kind) {
  switch (kind) {
    case lkSent:
      return "\033[34m";
    case lkReceived:
      return "\033[32m";
    case lkError:
      return "\033[31m";
    default:
      return nullptr;
  }
}

TShownKind ShownKind(TLogKind kind) {
  switch (kind) {
    case lkSent:
      return TShownKind::skSent;
    case lkReceived:
      return TShownKind::skReceived;
    case lkError:
      return TShownKind::skError;
    default:
      return TShownKind::skInfo;
  }
}

// A waiting question checks this often whether its run was stopped while another port's question
// holds the terminal.
constexpr std::chrono::milliseconds kTerminalTurnCheck{100};

}  // namespace

// The stop request is an eventfd, which a condition variable cannot wait on: a waiting question
// looks at it every kTerminalTurnCheck.
bool TTerminalTurns::Take(const TRunStop* stop) {
  std::unique_lock<std::mutex> lock(FLock);
  while (FTaken) {
    if (stop != nullptr && stop->Requested()) return false;
    FFree.wait_for(lock, kTerminalTurnCheck);
  }
  if (stop != nullptr && stop->Requested()) return false;
  FTaken = true;
  return true;
}

void TTerminalTurns::Give() {
  {
    std::lock_guard<std::mutex> guard(FLock);
    FTaken = false;
  }
  FFree.notify_one();
}

const char* ShownKindName(TShownKind kind) {
  static constexpr const char* kNames[] = {"sent", "received", "info",     "error",
                                           "wait", "message",  "question", "answer"};
  return kNames[static_cast<int>(kind)];
}

TConsoleScreen::TConsoleScreen(TConsoleOutput& output, std::string prefix, int in, TTerminalTurns& terminal)
    : FOutput(output), FPrefix(std::move(prefix)), FIn(in), FTerminal(terminal) {}

void TConsoleScreen::SetAnswers(std::vector<std::string> answers, bool noInput) {
  FAnswers = std::move(answers);
  FNextAnswer = 0;
  FNoInput = noInput;
}

void TConsoleScreen::Show(TShownKind kind, const std::string& text, const std::string& printed) {
  FShown.push_back({std::chrono::system_clock::now(), kind, text});
  FOutput.PrintOut(FPrefix, printed);
}

// Notices (ShowMessage) are part of the port's log. Warnings and errors are a run's failures, which
// the log has shown already; they go where errors go, unless that is the same place. The answer is
// the default button.
TModalResult TConsoleScreen::MessageBox(const std::string& text, TMsgIcon icon, TMsgButtons buttons) {
  if (icon == TMsgIcon::miInformation)
    Show(TShownKind::skMessage, text, text);
  else if (!FOutput.ErrorsJoinOutput())
    FOutput.PrintErr(FPrefix, text);
  return buttons == TMsgButtons::mbYesNoCancel ? TModalResult::mrCancel : TModalResult::mrOk;
}

void TConsoleScreen::AppendLogLine(const TLogEntry& entry) {
  std::string prefix = LogPrefix(entry.Kind);
  bool prefixed = entry.Text.compare(0, prefix.size(), prefix) == 0;
  FShown.push_back(
      {entry.Time, ShownKind(entry.Kind), prefixed ? entry.Text.substr(prefix.size()) : entry.Text});
  FOutput.PrintOut(FPrefix, FOutput.Timestamps() ? FormatLogTime(entry.Time) + " " + entry.Text : entry.Text,
                   TerminalColour(entry.Kind));
  FOutput.WriteLogFile(FPrefix, entry);
}

// An answer given on the command line is printed after the question, as it would have been seen
// typed; a typed one is on the terminal already.
bool TConsoleScreen::AskUserString(const std::string& caption, const std::string& message,
                                   std::string& answer) {
  std::string question = caption + ": " + message;
  if (FNextAnswer < FAnswers.size()) {
    Show(TShownKind::skQuestion, question, question);
    answer = FAnswers[FNextAnswer++];
    Show(TShownKind::skAnswer, answer, Ansi("ответ: ") + answer);
    return true;
  }
  if (FNoInput) {
    Show(TShownKind::skQuestion, question, question);
    return false;  // nobody is there to answer: as if the user cancelled
  }
  std::string line;
  if (!AskTerminal(question, line)) return false;  // no answer at all: the user cancelled
  answer = Utf8ToAnsi(line);
  FShown.push_back({std::chrono::system_clock::now(), TShownKind::skAnswer, answer});
  return true;
}

// The question is printed when its turn at the terminal has come, so that the line typed next
// answers the question printed last.
bool TConsoleScreen::AskTerminal(const std::string& question, std::string& line) {
  if (!FTerminal.Take(FStop)) return false;
  Show(TShownKind::skQuestion, question, question);
  bool answered = ReadAnswer(line);
  FTerminal.Give();
  return answered;
}

bool TConsoleScreen::ReadAnswer(std::string& line) {
  line.clear();
  for (;;) {
    pollfd fds[2] = {{FIn, POLLIN, 0}, {FStop != nullptr ? FStop->Signal().Fd() : -1, POLLIN, 0}};
    if (::poll(fds, 2, -1) == -1) {
      if (errno == EINTR) continue;
      return false;
    }
    if (Stopped()) return false;
    char c;
    ssize_t n = ::read(FIn, &c, 1);
    if (n == -1 && errno == EINTR) continue;
    if (n <= 0) return !line.empty();  // the end of the input: a last line without its line break
    if (c == '\n') break;
    line += c;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

void TConsoleScreen::ShowWaitBox(const std::string& text) {
  if (!text.empty()) Show(TShownKind::skWait, text, "... " + text);
}

}  // namespace kelvo
