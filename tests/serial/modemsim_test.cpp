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
#include "serial/simulator_process.h"

using namespace kelvo;
using kelvo::testing::TSimulator;
namespace fs = std::filesystem;

namespace {

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
