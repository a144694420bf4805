#include "console_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/visible_text.h"

namespace kelvo {

bool SameFile(std::FILE* a, std::FILE* b) {
  struct stat sa = {};
  struct stat sb = {};
  if (::fstat(::fileno(a), &sa) != 0 || ::fstat(::fileno(b), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

TConsoleOutput::TConsoleOutput(std::FILE* out, std::FILE* err)
    : FOut(out), FErr(err), FColour(::isatty(::fileno(out)) != 0), FJoined(SameFile(out, err)) {}

namespace {

// Whatever is printed passes through VisibleUtf8: a text that holds a modem's bytes must not reach
// the terminal's control sequences; line breaks of a message become the terminal's own, and every
// line of it carries the prefix.
std::string Prefixed(const std::string& prefix, const std::string& ansiText) {
  std::string text = VisibleUtf8(ansiText);
  std::string lines = prefix;
  for (char c : text) {
    lines += c;
    if (c == '\n') lines += prefix;
  }
  return lines;
}

}  // namespace

void TConsoleOutput::PrintOut(const std::string& prefix, const std::string& ansiText, const char* colour) {
  if (colour != nullptr && FColour)
    Write(FOut, prefix + colour + VisibleUtf8(ansiText) + "\033[0m\n");
  else
    Write(FOut, Prefixed(prefix, ansiText) + "\n");
}

void TConsoleOutput::PrintErr(const std::string& prefix, const std::string& ansiText) {
  Write(FErr, Prefixed(prefix, ansiText) + "\n");
}

void TConsoleOutput::PrintOutUtf8(const std::string& utf8Line) {
  Write(FOut, utf8Line + "\n");
}

bool TConsoleOutput::OpenLogFile(const std::string& path, std::string& problem) {
  std::FILE* file = std::fopen(path.c_str(), "we");
  if (file == nullptr) {
    problem = "cannot write the log " + path + ": " + std::strerror(errno);
    return false;
  }
  FLogFile.reset(file);
  return true;
}

void TConsoleOutput::WriteLogFile(const std::string& prefix, const TLogEntry& entry) {
  if (FLogFile)
    Write(FLogFile.get(), FormatLogTime(entry.Time) + " " + prefix + VisibleUtf8(entry.Text) + "\n");
}

// One write of the whole line, flushed at once: a reader of a pipe sees each line as it happens.
void TConsoleOutput::Write(std::FILE* stream, const std::string& line) {
  std::lock_guard<std::mutex> guard(FLock);
  std::fwrite(line.data(), 1, line.size(), stream);
  std::fflush(stream);
}

}  // namespace kelvo
