// The simulator as a program: started on its own pty, talked to through the serial port.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <vector>

#include "serial/com_port.h"

using namespace kelvo;
namespace fs = std::filesystem;

extern char** environ;

namespace {

// One running simulator; the first line of its output is the device path.
class TSimulator {
 public:
  explicit TSimulator(std::vector<std::string> args) {
    int out[2];
    if (::pipe(out) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    args.insert(args.begin(), MODEMSIM_PATH);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&FPid, MODEMSIM_PATH, &actions, nullptr, argv.data(), environ) != 0)
      throw std::runtime_error("spawn");
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    FOut = out[0];
    Path = ReadLine();
  }
  ~TSimulator() {
    if (FPid > 0) Stop();
    ::close(FOut);
  }
  // Sends SIGTERM; the exit status.
  int Stop() {
    ::kill(FPid, SIGTERM);
    int status = 0;
    ::waitpid(FPid, &status, 0);
    FPid = -1;
    return status;
  }
  std::string ReadLine() {
    std::string line;
    char c;
    pollfd p{FOut, POLLIN, 0};
    while (::poll(&p, 1, 5000) == 1 && ::read(FOut, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }
  // Everything after the first line, up to the end of the output.
  std::string ReadRest() {
    std::string all;
    char buffer[512];
    pollfd p{FOut, POLLIN, 0};
    ssize_t n;
    while (::poll(&p, 1, 5000) == 1 && (n = ::read(FOut, buffer, sizeof buffer)) > 0) all.append(buffer, n);
    return all;
  }
  std::string Path;

 private:
  pid_t FPid = -1;
  int FOut = -1;
};

// Reads until `want` has arrived or the read time-outs end the reads.
std::string ReadAnswer(TComPort& port, size_t want) {
  std::string all, part;
  while (all.size() < want && port.ReadStr(part, static_cast<int>(want - all.size())) > 0) all += part;
  return all;
}

void ConfigurePort(TComPort& port, const std::string& path) {
  port.SetPortName(path);
  port.SetEvents({});
  port.Timeouts().SetReadInterval(300);
  port.Timeouts().SetReadTotalC(1500);
  port.Open();
}

}  // namespace

TEST(ModemSim, AnswersThroughTheSerialPort) {
  TSimulator sim({"--ident", "SIM"});
  ASSERT_EQ(sim.Path.rfind("/dev/pts/", 0), 0u) << sim.Path;
  TComPort port;
  ConfigurePort(port, sim.Path);
  port.WriteStr("AT\r");
  EXPECT_EQ(ReadAnswer(port, 9), "AT\r\r\nOK\r\n");
  port.WriteStr("ATE0I\r");
  EXPECT_EQ(ReadAnswer(port, 6 + 15), "ATE0I\r\r\nSIM\r\n\r\nOK\r\n");
  port.WriteStr("ATV0\r");
  EXPECT_EQ(ReadAnswer(port, 2), "0\r");
  port.Close();
  EXPECT_EQ(sim.Stop(), 0);  // SIGTERM ends it cleanly
}

TEST(ModemSim, AnswersOnlyAtTheSpeedTheClientSet) {
  TSimulator sim({"--speed", "19200"});
  TComPort port;
  port.SetBaudRate(br9600);
  ConfigurePort(port, sim.Path);
  port.WriteStr("AT\r");
  EXPECT_EQ(ReadAnswer(port, 9), "");
  port.SetBaudRate(br19200);
  port.WriteStr("AT\r");
  EXPECT_EQ(ReadAnswer(port, 9), "AT\r\r\nOK\r\n");
}

TEST(ModemSim, DelaysAnswersAndLinksAndLogs) {
  auto dir = fs::temp_directory_path() / ("kelvo-sim-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  auto link = dir / "modem";
  auto log = dir / "log.txt";
  {
    TSimulator sim({"--delay", "400", "--link", link.string(), "--log", log.string()});
    EXPECT_TRUE(fs::is_symlink(link));
    TComPort port;
    ConfigurePort(port, link.string());
    port.Timeouts().SetReadInterval(0);
    port.WriteStr("AT\r");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadAnswer(port, 9), "AT\r\r\nOK\r\n");
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_GE(ms.count(), 350);
    port.Close();
    EXPECT_EQ(sim.Stop(), 0);
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));  // the link goes with the simulator
  std::ifstream in(log);
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "RX 9600 \"AT\\r\"");
  fs::remove_all(dir);
}

TEST(ModemSim, HelpDescribesTheOptions) {
  TSimulator sim({"--help"});
  EXPECT_EQ(sim.Path, "Usage: modemsim [options]");
  std::string all = sim.ReadRest();
  for (const char* option : {"--link", "--speed", "--silent", "--delay", "--no-cr", "--blank-lines", "--log"})
    EXPECT_NE(all.find(option), std::string::npos) << option;
  EXPECT_EQ(sim.Stop(), 0);
}
