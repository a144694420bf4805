#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "pty_pair.h"
#include "serial/com_port.h"
#include "serial/line_settings.h"
#include "text/cp1251.h"
#include "virtual_time.h"

using namespace kelvo;
using kelvo::testing::TPtyPair;

namespace {

// The open error of a device, with its code, system error and message.
EComPort OpenError(TComPort& port) {
  try {
    port.Open();
  } catch (const EComPort& e) {
    return e;
  }
  ADD_FAILURE() << "Open did not fail";
  return EComPort(0);
}

class PortOnPty : public ::testing::Test {
 protected:
  void SetUp() override {
    port.SetPortName(pty.SlavePath());
    port.SetEvents({});
  }
  termios Reported() {
    termios t{};
    EXPECT_EQ(::tcgetattr(pty.Slave(), &t), 0);
    return t;
  }
  uint32_t ReportedSpeed() {
    uint32_t speed = 0;
    EXPECT_EQ(GetLineSpeed(pty.Slave(), speed), 0);
    return speed;
  }
  TPtyPair pty;
  TComPort port;
};

}  // namespace

TEST(PortOpen, MissingDeviceIsCode1WithTheDeviceAndTheReason) {
  TComPort port;
  port.SetPortName("/dev/kelvo-no-such-port");
  EComPort e = OpenError(port);
  EXPECT_EQ(e.PortErrorCode(), 1);
  EXPECT_EQ(e.SystemErrorCode(), ENOENT);
  EXPECT_EQ(e.Message(),
            Utf8ToAnsi("Невозможно открыть COM порт /dev/kelvo-no-such-port: порт не найден. Возможно, "
                       "модем отключён: проверьте кабель и питание модема, затем выберите порт в "
                       "списке заново (F5 обновляет список)."));
  EXPECT_FALSE(port.Connected());
}

TEST(PortOpen, NonTerminalsAreRefused) {
  TComPort port;
  port.SetPortName("/dev/null");
  EXPECT_EQ(OpenError(port).SystemErrorCode(), ENOTTY);
  auto file = std::filesystem::temp_directory_path() / ("kelvo-serial-" + std::to_string(::getpid()));
  std::ofstream(file) << "not a terminal";
  port.SetPortName(file.string());
  EComPort e = OpenError(port);
  EXPECT_EQ(e.PortErrorCode(), 1);
  EXPECT_EQ(e.SystemErrorCode(), ENOTTY);
  EXPECT_FALSE(port.Connected());
  std::filesystem::remove(file);
}

TEST(PortOpen, NameWithoutSlashIsLookedUpInDev) {
  EXPECT_EQ(PortNameToDevicePath("ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(PortNameToDevicePath("/dev/pts/3"), "/dev/pts/3");
  TComPort port;  // "COM1" is no Linux device
  EXPECT_EQ(OpenError(port).SystemErrorCode(), ENOENT);
}

TEST_F(PortOnPty, OpenAndCloseRunTheNotificationsInOrder) {
  std::vector<std::string> calls;
  port.OnBeforeOpen = [&](TCustomComPort&) { calls.push_back("before open"); };
  port.OnAfterOpen = [&](TCustomComPort& p) { calls.push_back(p.Connected() ? "after open" : "?"); };
  port.OnCTSChange = [&](TCustomComPort&, bool on) { calls.push_back(on ? "cts on" : "cts off"); };
  port.OnBeforeClose = [&](TCustomComPort&) { calls.push_back("before close"); };
  port.OnAfterClose = [&](TCustomComPort& p) { calls.push_back(p.Connected() ? "?" : "after close"); };
  port.SetConnected(true);
  port.Open();  // already open: nothing
  port.SetConnected(false);
  port.Close();  // already closed: nothing
  EXPECT_EQ(calls, (std::vector<std::string>{"before open", "after open", "cts off", "cts off",
                                             "before close", "after close"}));
}

TEST_F(PortOnPty, SecondOpenOfTheSameDeviceIsRefused) {
  port.Open();
  TComPort other;
  other.SetPortName(pty.SlavePath());
  EComPort e = OpenError(other);
  EXPECT_EQ(e.PortErrorCode(), 1);
  EXPECT_EQ(e.SystemErrorCode(), EBUSY);
  port.Close();
  other.Open();
  EXPECT_TRUE(other.Connected());
}

TEST_F(PortOnPty, LineSettingsReachTheTerminal) {
  port.SetBaudRate(br57600);
  port.SetStopBits(sbTwoStopBits);
  port.FlowControl().SetFlowControl(fcHardware);
  port.Open();
  termios t = Reported();
  EXPECT_EQ(cfgetospeed(&t), B57600);
  EXPECT_EQ(ReportedSpeed(), 57600u);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_TRUE(t.c_cflag & CSTOPB);
  EXPECT_TRUE(t.c_cflag & CRTSCTS);
  EXPECT_TRUE(t.c_cflag & CLOCAL);
  EXPECT_FALSE(t.c_cflag & PARENB);
  EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
  EXPECT_FALSE(t.c_oflag & OPOST);
  EXPECT_FALSE(t.c_iflag & (ICRNL | IXON | IXOFF));

  port.FlowControl().SetFlowControl(fcSoftware);
  port.FlowControl().SetXonChar('Q');
  port.SetStopBits(sbOneStopBit);
  t = Reported();
  EXPECT_TRUE(t.c_iflag & IXON);
  EXPECT_TRUE(t.c_iflag & IXOFF);
  EXPECT_EQ(t.c_cc[VSTART], 'Q');
  EXPECT_EQ(t.c_cc[VSTOP], 19);
  EXPECT_FALSE(t.c_cflag & (CRTSCTS | CSTOPB));
}

TEST_F(PortOnPty, EverySpeedOfTheTableAndCustomSpeedsReachTheTerminal) {
  port.Open();
  for (int r = br110; r <= br256000; ++r) {
    port.SetBaudRate(static_cast<TBaudRate>(r));
    EXPECT_EQ(ReportedSpeed(), BaudRateSpeed(static_cast<TBaudRate>(r)))
        << BaudRateToStr(static_cast<TBaudRate>(r));
  }
  port.SetCustomBaudRate(31250);
  port.SetBaudRate(brCustom);
  EXPECT_EQ(ReportedSpeed(), 31250u);
  port.SetBaudRate(br9600);
  termios t = Reported();
  EXPECT_EQ(cfgetospeed(&t), B9600);  // a table speed reads back the classic way
}

TEST_F(PortOnPty, WhatLinuxCannotDoIsCode7AndTheLineKeepsItsSettings) {
  port.Open();
  port.SetBaudRate(br19200);
  auto expectCode7 = [&](auto change) {
    try {
      change();
      ADD_FAILURE() << "no error";
    } catch (const EComPort& e) {
      EXPECT_EQ(e.PortErrorCode(), 7);
      EXPECT_EQ(e.Message().rfind("SetCommState function failed (", 0), 0u);
      return e.SystemErrorCode();
    }
    return 0;
  };
  EXPECT_EQ(expectCode7([&] { port.SetStopBits(sbOne5StopBits); }), ENOTSUP);
  EXPECT_EQ(port.StopBits(), sbOne5StopBits);  // the value stays stored
  port.SetStopBits(sbOneStopBit);
  expectCode7([&] { port.FlowControl().SetControlDTR(dtrHandshake); });
  port.FlowControl().SetControlDTR(dtrDisable);
  expectCode7([&] { port.FlowControl().SetOutDSRFlow(true); });
  port.FlowControl().SetOutDSRFlow(false);
  // A pseudo-terminal keeps 8 data bits and no parity whatever it is told.
  expectCode7([&] { port.Parity().SetBits(prEven); });
  port.Parity().SetBits(prNone);
  port.BeginUpdate();
  port.SetBaudRate(br1200);
  port.SetDataBits(dbSeven);
  expectCode7([&] { port.EndUpdate(); });
  termios t = Reported();
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(ReportedSpeed(), 19200u);  // the failed apply left the previous configuration
  port.SetDataBits(dbEight);           // the next successful apply sends the stored values
  EXPECT_EQ(ReportedSpeed(), 1200u);
}

TEST_F(PortOnPty, FailedApplyAtOpenClosesTheDeviceAgain) {
  port.SetStopBits(sbOne5StopBits);
  EComPort e = OpenError(port);
  EXPECT_EQ(e.PortErrorCode(), 7);
  EXPECT_FALSE(port.Connected());
  TComPort other;  // the device was released
  other.SetPortName(pty.SlavePath());
  other.SetEvents({});
  other.Open();
}

TEST_F(PortOnPty, ChangingThePortWhileOpenReopens) {
  TPtyPair second;
  std::vector<std::string> calls;
  port.OnBeforeOpen = [&](TCustomComPort&) { calls.push_back("before open"); };
  port.OnAfterOpen = [&](TCustomComPort&) { calls.push_back("after open"); };
  port.OnBeforeClose = [&](TCustomComPort&) { calls.push_back("before close"); };
  port.OnAfterClose = [&](TCustomComPort&) { calls.push_back("after close"); };
  port.SetBaudRate(br4800);
  port.Open();
  calls.clear();
  port.SetPortName(second.SlavePath());
  EXPECT_EQ(calls, (std::vector<std::string>{"before close", "after close", "before open", "after open"}));
  uint32_t speed = 0;
  ASSERT_EQ(GetLineSpeed(second.Slave(), speed), 0);
  EXPECT_EQ(speed, 4800u);
  port.WriteStr("x");
  EXPECT_EQ(second.Receive(1), "x");

  try {
    port.SetPortName("/dev/kelvo-no-such-port");
    FAIL() << "no error";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.PortErrorCode(), 1);
  }
  EXPECT_FALSE(port.Connected());
}

TEST_F(PortOnPty, TimeoutsChangedWhileOpenAreAppliedAtOnce) {
  port.Open();
  port.Timeouts().SetReadTotalC(300);
  port.Timeouts().SetReadInterval(300);
  kelvo::testing::TVirtualTime time(port);
  char c;
  EXPECT_EQ(port.Read(&c, 1), 0);
  EXPECT_EQ(time.Elapsed(), std::chrono::milliseconds(300));
}
