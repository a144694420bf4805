#include "app/run_log_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <vector>

#include "text/cp1251.h"
#include "text/exception.h"

namespace kelvo {

namespace fs = std::filesystem;

namespace {

// Characters that Linux refuses ('/', NUL) or that a copy to another system's disk would.
bool UnsafeInFileName(unsigned char c) {
  return c < ' ' || c == 0x7F || std::strchr("/\\:*?\"<>|", c) != nullptr;
}

// An 8-bit name cut to 60 bytes before the conversion, so that no UTF-8 sequence is cut; a name
// that would start with a dot (a hidden file) or is empty gets an underscore.
std::string SafeName(const std::string& ansi) {
  std::string safe = ansi.substr(0, 60);
  for (char& c : safe)
    if (UnsafeInFileName(static_cast<unsigned char>(c))) c = '_';
  if (safe.empty() || safe[0] == '.') safe.insert(safe.begin(), '_');
  return AnsiToUtf8(safe);
}

std::string SystemReason(int error) {
  return Utf8ToAnsi(std::strerror(error));
}

}  // namespace

std::string RunLogFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return (fs::path(state) / "kelvo" / "logs").string();
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  return (fs::path(home) / ".local" / "state" / "kelvo" / "logs").string();
}

std::string RunLogFileName(TLogTime start, const std::string& modem, const std::string& script) {
  std::time_t seconds = std::chrono::system_clock::to_time_t(start);
  std::tm local{};
  localtime_r(&seconds, &local);
  // Room for six ints of any value: the compiler checks the format against the widest ones.
  char date[80];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d_%02d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  // FormatLogTime's milliseconds keep two runs of one second apart and in order.
  std::string time = FormatLogTime(start);
  return std::string(date) + "." + time.substr(time.size() - 3) + " " + SafeName(modem) + " - " +
         SafeName(script) + ".log";
}

void PruneRunLogs(const std::string& folder, size_t keep) {
  std::error_code ec;
  std::vector<fs::path> logs;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() == ".log" && it->is_regular_file(ec)) logs.push_back(it->path());
  }
  if (logs.size() <= keep) return;
  std::sort(logs.begin(), logs.end());
  for (size_t i = 0; i < logs.size() - keep; ++i) fs::remove(logs[i], ec);
}

void TRunLogFile::Open(const std::string& folder, TLogTime start, const std::string& modem,
                       const std::string& script) {
  Close();
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec)
    throw Exception(Utf8ToAnsi("Cannot create the folder \"" + folder + "\". ") + Utf8ToAnsi(ec.message()));
  const std::string name = RunLogFileName(start, modem, script);
  const std::string stem = name.substr(0, name.size() - 4);
  for (int copy = 1;; ++copy) {
    std::string path =
        (fs::path(folder) / (copy == 1 ? name : stem + " (" + std::to_string(copy) + ").log")).string();
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      FFd.Reset(fd);
      FPath = path;
      return;
    }
    if (errno != EEXIST || copy == 100)
      throw Exception(Utf8ToAnsi("Cannot create file \"" + path + "\". ") + SystemReason(errno));
  }
}

bool TRunLogFile::Append(const TLogEntry& entry) {
  if (!FFd.Valid()) return false;
  const std::string line = SavedLogLine(entry) + "\n";
  size_t done = 0;
  while (done < line.size()) {
    ssize_t n = RetryOnEintr([&] { return ::write(FFd.Get(), line.data() + done, line.size() - done); });
    if (n <= 0) {
      Close();
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace kelvo
