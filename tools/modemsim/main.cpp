// modemsim: a Hayes-style modem on a pseudo-terminal, for tests and for trying Kelvo without
// hardware. It prints the device path of its line (and links it where asked), then answers AT
// commands until SIGTERM or SIGINT ends it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "modem.h"
#include "serial/deadline.h"
#include "serial/line_settings.h"
#include "serial/unix_fd.h"

using namespace kelvo;

namespace {

const char kUsage[] =
    "Usage: modemsim [options]\n"
    "A Hayes-style modem simulator on a pseudo-terminal. It prints the path of the line's device\n"
    "(for example /dev/pts/3) on the first line of its output, then answers AT commands on it:\n"
    "OK to AT and to the commands it accepts, ERROR to others; E0/E1 echo, V0/V1 numeric or verbal\n"
    "result codes, Q0/Q1 result codes on or off, I identification, Z and &F reset, Sn=v and Sn?\n"
    "registers, H L M P T X B N W &C &D &K &W &S &Q &Zn=number and extended +... commands accepted,\n"
    "D dials and gets NO CARRIER, A/ repeats.\n"
    "SIGTERM or SIGINT end it cleanly. To offer the line in Kelvo's port list, start Kelvo with\n"
    "KELVO_PORTS set to the printed path or to the --link path.\n"
    "\n"
    "Options:\n"
    "  --link PATH        also make PATH a symbolic link to the device (removed at exit)\n"
    "  --speed N          answer only while the other side has set the line to N bits/s\n"
    "                     (read from the pty's terminal settings at every received chunk)\n"
    "  --silent           receive everything and answer nothing (no echo either)\n"
    "  --delay MS         wait MS milliseconds before each answer\n"
    "  --no-cr            send result codes without the CR (and LF) that ends them\n"
    "  --blank-lines N    send N empty lines (CR LF) before each result code\n"
    "  --ident TEXT       the text that ATI answers\n"
    "  --chatter TEXT     send TEXT again and again, whatever the line speed (a device that\n"
    "                     never pauses: RING, a GPS receiver, a stream without CR)\n"
    "  --every MS         send the chatter every MS milliseconds (default 10; 0: as fast as\n"
    "                     the line takes it)\n"
    "  --log FILE         append what is received and sent to FILE (\"-\": standard error)\n"
    "  --help             show this text\n"
    "In TEXT, \\r \\n \\e \\a \\0 \\\\ and \\xHH stand for CR, LF, ESC, BEL, NUL, a backslash\n"
    "and the byte HH.\n";

struct TArguments {
  TModemOptions Modem;
  std::string Link;
  std::string Log;
  int DelayMs = 0;
  std::string Chatter;
  int EveryMs = 10;
};

// The escapes of TEXT arguments: \r \n \e \a \0 \\ and \xHH; any other backslash stays.
std::string Unescaped(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    if (c == 'x' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
      continue;
    }
    switch (c) {
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      case 'e':
        out += '\x1B';
        break;
      case 'a':
        out += '\a';
        break;
      case '0':
        out += '\0';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        out += '\\';
        out += c;
    }
  }
  return out;
}

bool ParseNumber(const char* text, long max, long& value) {
  char* end = nullptr;
  value = std::strtol(text, &end, 10);
  return end && *end == '\0' && end != text && value >= 0 && value <= max;
}

// Exits with the usage text on --help (0) or on a bad argument (2).
TArguments ParseArguments(int argc, char** argv) {
  TArguments a;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    long n = 0;
    if (arg == "--help") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (arg == "--silent") {
      a.Modem.Silent = true;
    } else if (arg == "--no-cr") {
      a.Modem.NoTrailingCR = true;
    } else if (arg == "--link" && hasValue) {
      a.Link = argv[++i];
    } else if (arg == "--log" && hasValue) {
      a.Log = argv[++i];
    } else if (arg == "--ident" && hasValue) {
      a.Modem.Ident = Unescaped(argv[++i]);
    } else if (arg == "--chatter" && hasValue) {
      a.Chatter = Unescaped(argv[++i]);
    } else if (arg == "--every" && hasValue && ParseNumber(argv[i + 1], 600000, n)) {
      a.EveryMs = static_cast<int>(n);
      ++i;
    } else if (arg == "--speed" && hasValue && ParseNumber(argv[i + 1], 4000000, n) && n > 0) {
      a.Modem.AnswerSpeed = static_cast<uint32_t>(n);
      ++i;
    } else if (arg == "--delay" && hasValue && ParseNumber(argv[i + 1], 600000, n)) {
      a.DelayMs = static_cast<int>(n);
      ++i;
    } else if (arg == "--blank-lines" && hasValue && ParseNumber(argv[i + 1], 100, n)) {
      a.Modem.BlankLines = static_cast<int>(n);
      ++i;
    } else {
      std::fprintf(stderr, "modemsim: bad argument '%s'\n\n%s", arg.c_str(), kUsage);
      std::exit(2);
    }
  }
  return a;
}

// Control characters as \r, \n or \xHH, so that a log line shows every byte.
std::string Escaped(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\\')
      out += "\\\\";
    else if (c < 32 || c >= 127) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else
      out += static_cast<char>(c);
  }
  return out;
}

class TLog {
 public:
  explicit TLog(const std::string& path) {
    if (path == "-")
      FOut = stderr;
    else if (!path.empty())
      FOut = std::fopen(path.c_str(), "a");
    FOwned = FOut && FOut != stderr;
  }
  ~TLog() {
    if (FOwned) std::fclose(FOut);
  }
  void Line(const char* direction, uint32_t speed, std::string_view bytes) {
    if (!FOut || bytes.empty()) return;
    std::fprintf(FOut, "%s %u \"%s\"\n", direction, speed, Escaped(bytes).c_str());
    std::fflush(FOut);
  }

 private:
  FILE* FOut = nullptr;
  bool FOwned = false;
};

void WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = RetryOnEintr([&] { return ::write(fd, bytes.data() + done, bytes.size() - done); });
    if (n <= 0) return;  // the line is gone: nothing more to say
    done += static_cast<size_t>(n);
  }
}

// The pty pair: the simulator keeps a slave descriptor of its own so that the line stays up
// between the client's opens and the speed the client sets can be read from it.
struct TLine {
  TUniqueFd Master;
  TUniqueFd Slave;
  std::string Path;
};

bool OpenLine(TLine& line) {
  line.Master.Reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!line.Master.Valid() || ::grantpt(line.Master.Get()) != 0 || ::unlockpt(line.Master.Get()) != 0)
    return false;
  const char* name = ::ptsname(line.Master.Get());
  if (!name) return false;
  line.Path = name;
  line.Slave.Reset(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!line.Slave.Valid()) return false;
  termios t{};
  ::tcgetattr(line.Slave.Get(), &t);
  ::cfmakeraw(&t);
  ::cfsetspeed(&t, B9600);
  return ::tcsetattr(line.Slave.Get(), TCSANOW, &t) == 0;
}

// Bytes waiting for room on a non-blocking line, in the order they are to go out.
class TPending {
 public:
  bool Empty() const { return FBytes.empty(); }
  // Chatter is dropped while the line is this far behind, so that nothing grows without bound.
  bool Full() const { return FBytes.size() >= 4096; }
  void Add(const std::string& bytes) { FBytes += bytes; }
  void Flush(int fd, TLog& log, uint32_t speed) {
    ssize_t n = RetryOnEintr([&] { return ::write(fd, FBytes.data(), FBytes.size()); });
    if (n <= 0) return;  // no room yet, or no client: the bytes wait
    log.Line("TX", speed, std::string_view(FBytes).substr(0, static_cast<size_t>(n)));
    FBytes.erase(0, static_cast<size_t>(n));
  }

 private:
  std::string FBytes;
};

// The poll time-out until the next chatter is due (-1: none).
int ChatterWait(const TArguments& args, TTimePoint next, const TPending& pending) {
  if (args.Chatter.empty() || pending.Full()) return -1;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(next - TClock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

void Answer(const TArguments& args, TModemOutput& out, int fd, TPending& pending, TLog& log, uint32_t speed) {
  for (const auto& part : out.Parts) {
    if (part.IsAnswer && args.DelayMs > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(args.DelayMs));
    if (!args.Chatter.empty()) {
      pending.Add(part.Bytes);  // in line with the chatter, on the non-blocking line
      continue;
    }
    WriteAll(fd, part.Bytes);
    log.Line("TX", speed, part.Bytes);
  }
}

int Serve(TLine& line, const TArguments& args, int signals) {
  TModemSimulator modem(args.Modem);
  TLog log(args.Log);
  TPending pending;
  TTimePoint nextChatter = TClock::now();
  char buffer[512];
  for (;;) {
    uint32_t speed = 0;
    GetLineSpeed(line.Slave.Get(), speed);
    if (!args.Chatter.empty() && !pending.Full() && TClock::now() >= nextChatter) {
      pending.Add(args.Chatter);
      nextChatter = TClock::now() + std::chrono::milliseconds(args.EveryMs);
    }
    short events = pending.Empty() ? POLLIN : POLLIN | POLLOUT;
    pollfd fds[2] = {{line.Master.Get(), events, 0}, {signals, POLLIN, 0}};
    if (RetryOnEintr([&] { return ::poll(fds, 2, ChatterWait(args, nextChatter, pending)); }) == -1) return 1;
    if (fds[1].revents) return 0;
    if (fds[0].revents & POLLOUT) pending.Flush(line.Master.Get(), log, speed);
    if (!(fds[0].revents & POLLIN)) continue;
    ssize_t n = RetryOnEintr([&] { return ::read(line.Master.Get(), buffer, sizeof buffer); });
    if (n <= 0) continue;                   // EIO while no client has the line open
    GetLineSpeed(line.Slave.Get(), speed);  // the speed at which these bytes came
    std::string_view received(buffer, static_cast<size_t>(n));
    log.Line("RX", speed, received);
    TModemOutput out = modem.Receive(received, speed);
    Answer(args, out, line.Master.Get(), pending, log, speed);
  }
}

}  // namespace

int main(int argc, char** argv) {
  TArguments args = ParseArguments(argc, argv);
  sigset_t mask;
  sigemptyset(&mask);
  sigaddset(&mask, SIGTERM);
  sigaddset(&mask, SIGINT);
  sigprocmask(SIG_BLOCK, &mask, nullptr);
  TUniqueFd signals(::signalfd(-1, &mask, SFD_CLOEXEC));
  TLine line;
  if (!signals.Valid() || !OpenLine(line)) {
    std::fprintf(stderr, "modemsim: cannot make a pseudo-terminal: %s\n", std::strerror(errno));
    return 1;
  }
  if (!args.Link.empty()) {
    ::unlink(args.Link.c_str());
    if (::symlink(line.Path.c_str(), args.Link.c_str()) != 0) {
      std::fprintf(stderr, "modemsim: cannot link %s: %s\n", args.Link.c_str(), std::strerror(errno));
      return 1;
    }
  }
  // A chattering line never blocks the simulator: what does not fit waits for room.
  if (!args.Chatter.empty())
    ::fcntl(line.Master.Get(), F_SETFL, ::fcntl(line.Master.Get(), F_GETFL) | O_NONBLOCK);
  std::printf("%s\n", line.Path.c_str());
  std::fflush(stdout);
  int rc = Serve(line, args, signals.Get());
  if (!args.Link.empty()) ::unlink(args.Link.c_str());
  return rc;
}
