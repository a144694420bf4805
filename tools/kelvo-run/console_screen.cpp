#include "console_screen.h"

#include <unistd.h>

#include "app/modem_line.h"
#include "app/visible_text.h"
#include "serial/main_thread_queue.h"
#include "text/ansi_text.h"
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

}  // namespace

TConsoleScreen::TConsoleScreen(std::string script, std::string port, std::FILE* out, std::FILE* err,
                               std::FILE* in)
    : FScript(std::move(script)),
      FPort(std::move(port)),
      FOut(out),
      FErr(err),
      FIn(in),
      FColour(::isatty(::fileno(out)) != 0) {}

// Whatever is printed passes through VisibleMessage: a text that holds a modem's bytes must not
// reach the terminal's control sequences; line breaks of a message become the terminal's own.
void TConsoleScreen::Print(std::FILE* stream, const std::string& ansiText, const char* colour) {
  std::string text = VisibleUtf8(ansiText);
  if (colour != nullptr && FColour && stream == FOut) {
    std::fprintf(stream, "%s%s\033[0m\n", colour, text.c_str());
  } else {
    std::fprintf(stream, "%s\n", text.c_str());
  }
  std::fflush(stream);
}

// Messages of a run are its failures and notices; they go where errors go, and the answer is the
// default button.
TModalResult TConsoleScreen::MessageBox(const std::string& text, TMsgIcon, TMsgButtons buttons) {
  Print(FErr, text, nullptr);
  return buttons == TMsgButtons::mbYesNoCancel ? TModalResult::mrCancel : TModalResult::mrOk;
}

void TConsoleScreen::ReportCompileError(const std::string& pos, const std::string& message) {
  FCompileError = pos + ": " + message;
}

void TConsoleScreen::AppendLogLine(TLogKind kind, const std::string& line) {
  Print(FOut, line, TerminalColour(kind));
}

bool TConsoleScreen::AskUserString(const std::string& caption, const std::string& message,
                                   std::string& answer) {
  Print(FOut, caption + ": " + message, nullptr);
  std::string line;
  for (int c; (c = std::fgetc(FIn)) != EOF && c != '\n';) line += static_cast<char>(c);
  if (line.empty() && std::feof(FIn)) return false;  // no answer at all: the user cancelled
  if (!line.empty() && line.back() == '\r') line.pop_back();
  answer = Utf8ToAnsi(line);
  return true;
}

void TConsoleScreen::ShowWaitBox(const std::string& text) {
  if (!text.empty()) Print(FOut, "... " + text, nullptr);
}

void TConsoleScreen::ProcessMessages() {
  TMainThreadQueue::Instance().ProcessPending();
}

}  // namespace kelvo
