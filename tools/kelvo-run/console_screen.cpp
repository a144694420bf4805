#include "console_screen.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "app/visible_text.h"
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

bool SameFile(std::FILE* a, std::FILE* b) {
  struct stat sa = {};
  struct stat sb = {};
  if (::fstat(::fileno(a), &sa) != 0 || ::fstat(::fileno(b), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

TConsoleScreen::TConsoleScreen(std::FILE* out, std::FILE* err, int in, const TRunStop& stop)
    : FOut(out),
      FErr(err),
      FIn(in),
      FStop(stop),
      FColour(::isatty(::fileno(out)) != 0),
      FJoined(SameFile(out, err)) {}

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

// Notices (ShowMessage) are part of the output. Warnings and errors are a run's failures, which the
// log has shown already; they go where errors go, unless that is the same place. The answer is the
// default button.
TModalResult TConsoleScreen::MessageBox(const std::string& text, TMsgIcon icon, TMsgButtons buttons) {
  if (icon == TMsgIcon::miInformation)
    Print(FOut, text, nullptr);
  else if (!FJoined)
    Print(FErr, text, nullptr);
  return buttons == TMsgButtons::mbYesNoCancel ? TModalResult::mrCancel : TModalResult::mrOk;
}

void TConsoleScreen::AppendLogLine(const TLogEntry& entry) {
  Print(FOut, FTimestamps ? FormatLogTime(entry.Time) + " " + entry.Text : entry.Text,
        TerminalColour(entry.Kind));
}

bool TConsoleScreen::ReadAnswer(std::string& line) {
  line.clear();
  for (;;) {
    pollfd fds[2] = {{FIn, POLLIN, 0}, {FStop.Signal().Fd(), POLLIN, 0}};
    if (::poll(fds, 2, -1) == -1) {
      if (errno == EINTR) continue;
      return false;
    }
    if (FStop.Requested()) return false;
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

bool TConsoleScreen::AskUserString(const std::string& caption, const std::string& message,
                                   std::string& answer) {
  Print(FOut, caption + ": " + message, nullptr);
  std::string line;
  if (!ReadAnswer(line)) return false;  // no answer at all: the user cancelled
  answer = Utf8ToAnsi(line);
  return true;
}

void TConsoleScreen::ShowWaitBox(const std::string& text) {
  if (!text.empty()) Print(FOut, "... " + text, nullptr);
}

}  // namespace kelvo
