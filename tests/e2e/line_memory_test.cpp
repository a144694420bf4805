// A device that streams bytes without ever sending CR: the memory of the process that reads it
// stays flat (read from /proc/self/status), because a line is cut at kMaxLineBytes.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/modem_line.h"
#include "app/recording_screen.h"
#include "serial/simulator_process.h"

using namespace kelvo;
using kelvo::testing::TRecordingScreen;
using kelvo::testing::TSimulator;

namespace {

// The resident set of this process, in KiB.
long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = -1;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> value;
      break;
    }
    status.ignore(1 << 16, '\n');
  }
  return value;
}

}  // namespace

TEST(LineMemory, AStreamWithoutCrKeepsTheProcessFlat) {
  TSimulator stream{{"--silent", "--chatter", std::string(1024, 'x'), "--every", "0"}};
  TComPort port;
  port.SetPortName(stream.Path);
  port.SetEvents({});
  port.Open();
  // The port's clock stands still, so that no read times out however slowly a busy machine runs
  // the simulator: the test is about memory, and every read is answered in the end.
  const TTimePoint frozen = TClock::now();
  port.SetClock([frozen] { return frozen; });
  TRecordingScreen screen;
  TModemLine line(screen, port);
  line.ApplyReadTimeout(2000);
  auto readMiB = [&](int mib) {
    for (int i = 0; i < mib * 16; ++i) ASSERT_EQ(line.RecvLine(true, true).size(), kMaxLineBytes);
  };
  readMiB(1);  // the allocator settles
  long before = ResidentKiB();
  readMiB(3);
  long after = ResidentKiB();
  ASSERT_GT(before, 0);
  // Collecting the whole stream as one line would hold all 3 MiB (and more while it grows).
  EXPECT_LT(after - before, 1024) << before << " KiB before, " << after << " KiB after";
}
