#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "pty_pair.h"
#include "serial/com_port.h"
#include "text/cp1251.h"
#include "virtual_time.h"

using namespace kelvo;
using kelvo::testing::TPtyPair;
using kelvo::testing::TVirtualTime;
using namespace std::chrono;

namespace {

class PortIo : public ::testing::Test {
 protected:
  void SetUp() override {
    port.SetPortName(pty.SlavePath());
    port.SetEvents({});
    port.Open();
    pty.CloseSlave();
  }
  // The application's detection time-outs: a one-byte read waits at most 1505 ms.
  void DetectionTimeouts() {
    port.Timeouts().SetReadInterval(100);
    port.Timeouts().SetReadTotalC(1500);
    port.Timeouts().SetReadTotalM(5);
  }
  // Waits until the port's receive queue holds n bytes (the pty hands bytes on asynchronously).
  void WaitForInput(int n) {
    auto end = steady_clock::now() + seconds(5);
    while (port.InputCount() < n && steady_clock::now() < end) std::this_thread::yield();
    ASSERT_GE(port.InputCount(), n);
  }
  template <typename F>
  static EComPort ErrorOf(F f) {
    try {
      f();
    } catch (const EComPort& e) {
      return e;
    }
    ADD_FAILURE() << "no error";
    return EComPort(0);
  }
  TPtyPair pty;
  TComPort port;
};

}  // namespace

TEST_F(PortIo, SilentLineEndsADetectionReadAfterTheTotalTimeout) {
  DetectionTimeouts();
  TVirtualTime time(port);
  char c = 0;
  EXPECT_EQ(port.Read(&c, 1), 0);
  EXPECT_EQ(time.Elapsed(), milliseconds(1505));  // 5 ms for the byte asked for, plus 1500
}

TEST_F(PortIo, WaitingByteIsReadAtOnce) {
  DetectionTimeouts();
  pty.Send("K");
  WaitForInput(1);
  TVirtualTime time(port);
  char c = 0;
  EXPECT_EQ(port.Read(&c, 1), 1);
  EXPECT_EQ(c, 'K');
  EXPECT_EQ(time.Elapsed(), milliseconds(0));
}

TEST_F(PortIo, DefaultTimeoutsReturnAtOnceWithWhatHasArrived) {
  TVirtualTime time(port);
  std::string s;
  EXPECT_EQ(port.ReadStr(s, 5), 0);
  EXPECT_EQ(s, "");
  EXPECT_EQ(time.Elapsed(), milliseconds(0));
  pty.Send("abc");
  WaitForInput(3);
  EXPECT_EQ(port.ReadStr(s, 5), 3);
  EXPECT_EQ(s, "abc");
}

TEST_F(PortIo, ReadStrEndsWithTheBytesReceived) {
  port.Timeouts().SetReadInterval(100);
  port.Timeouts().SetReadTotalC(800);
  TVirtualTime time(port);
  pty.Send("OK\r\n");
  WaitForInput(4);
  std::string s = "previous";
  EXPECT_EQ(port.ReadStr(s, 10), 4);
  EXPECT_EQ(s, "OK\r\n");
  // The interval ends a read when more than 100 ms pass after the last byte: at 101 ms.
  EXPECT_EQ(time.Elapsed(), milliseconds(101));
  EXPECT_EQ(port.ReadStr(s, 0), 0);
  EXPECT_EQ(s, "");
  EXPECT_EQ(time.Elapsed(), milliseconds(101));
}

TEST_F(PortIo, IntervalTimeoutEndsAReadAfterTheLastByte) {
  port.Timeouts().SetReadInterval(150);
  TVirtualTime time(port);
  // The peer sends late: with a total limit, the read would have ended on the port's clock first.
  std::thread peer([&] {
    std::this_thread::sleep_for(milliseconds(300));
    pty.Send("ab");
  });
  std::string s;
  port.ReadStr(s, 10);
  peer.join();
  EXPECT_EQ(s, "ab");                            // no total limit: the read waited for the first byte
  EXPECT_EQ(time.Elapsed(), milliseconds(151));  // more than the interval after the last byte
}

TEST_F(PortIo, WritesReachTheOtherSide) {
  EXPECT_EQ(port.WriteStr("AT\r\n"), 4);
  EXPECT_EQ(pty.Receive(4), "AT\r\n");
  EXPECT_EQ(port.Write("\x00\xFF", 2), 2);
  EXPECT_EQ(pty.Receive(2), std::string("\x00\xFF", 2));
  EXPECT_EQ(port.WriteStr(""), 0);
  EXPECT_EQ(port.OutputCount(), 0);
}

TEST_F(PortIo, WriteEndsWithTheBytesSentWhenTheTotalTimeoutExpires) {
  // Nobody reads the master: the pty's buffer fills and the write stops at its time-out.
  port.Timeouts().SetWriteTotalM(0);
  port.Timeouts().SetWriteTotalC(300);
  std::string big(1 << 20, 'x');
  TVirtualTime time(port);
  int n = port.WriteStr(big);
  EXPECT_GT(n, 0);
  EXPECT_LT(n, static_cast<int>(big.size()));
  EXPECT_EQ(time.Elapsed(), milliseconds(300));
}

TEST_F(PortIo, ClearBufferDiscardsWhatWasReceived) {
  pty.Send("stale");
  WaitForInput(5);
  EXPECT_EQ(port.InputCount(), 5);
  port.ClearBuffer(false, false);  // still a device call, which finds the device
  EXPECT_EQ(port.InputCount(), 5);
  port.ClearBuffer(true, true);
  EXPECT_EQ(port.InputCount(), 0);
  std::string s;
  EXPECT_EQ(port.ReadStr(s, 5), 0);
}

TEST_F(PortIo, NulBytesAreDroppedWhenAsked) {
  port.SetDiscardNull(true);
  pty.Send(std::string("a\0b\0\0c", 6));
  WaitForInput(6);
  std::string s;
  EXPECT_EQ(port.ReadStr(s, 10), 3);
  EXPECT_EQ(s, "abc");
}

TEST_F(PortIo, OtherSideGoingAwayIsAnErrorAndThePortStillCloses) {
  DetectionTimeouts();
  std::thread peer([&] {
    std::this_thread::sleep_for(milliseconds(200));
    pty.CloseMaster();
  });
  char c;
  EComPort e = ErrorOf([&] { port.Read(&c, 1); });
  peer.join();
  EXPECT_EQ(e.PortErrorCode(), 3);
  EXPECT_EQ(e.SystemErrorCode(), EIO);
  const std::string lost =
      Utf8ToAnsi(": связь с модемом потеряна (устройство отключено или линия разорвана)");
  EXPECT_EQ(e.Message(), Utf8ToAnsi("Ошибка чтения (") + SystemErrorText(EIO) + ")" + lost);
  EComPort w = ErrorOf([&] { port.WriteStr("AT\r"); });
  EXPECT_EQ(w.PortErrorCode(), 2);
  EXPECT_EQ(w.Message(), Utf8ToAnsi("Ошибка записи (") + SystemErrorText(EIO) + ")" + lost);
  EXPECT_EQ(ErrorOf([&] { port.InputCount(); }).PortErrorCode(), 10);
  port.Close();
  EXPECT_FALSE(port.Connected());
}

TEST_F(PortIo, OperationsNeedARecord) {
  PAsync none;
  char c;
  EComPort e = ErrorOf([&] { port.ReadAsync(&c, 1, none); });
  EXPECT_EQ(e.PortErrorCode(), 4);
  EXPECT_EQ(e.SystemErrorCode(), -1);
  EXPECT_EQ(ErrorOf([&] { port.WaitForAsync(none); }).PortErrorCode(), 4);
  EXPECT_EQ(ErrorOf([&] { port.IsAsyncCompleted(none); }).PortErrorCode(), 4);
  EXPECT_EQ(ErrorOf([&] { port.WriteAsync("x", 1, none); }).PortErrorCode(), 4);
}

TEST_F(PortIo, RecordWithNothingStartedIsComplete) {
  PAsync async;
  port.InitAsync(async);
  EXPECT_EQ(async->OpKind, okWrite);
  EXPECT_TRUE(port.IsAsyncCompleted(async));
  EXPECT_EQ(port.WaitForAsync(async), 0);
  port.DoneAsync(async);
  EXPECT_EQ(async, nullptr);
}

TEST_F(PortIo, PendingReadCompletesWhenTheBytesArrive) {
  port.Timeouts().SetReadTotalC(5000);
  PAsync async;
  port.InitAsync(async);
  char buffer[3] = {};
  EXPECT_EQ(port.ReadAsync(buffer, 3, async), 0);
  EXPECT_EQ(async->OpKind, okRead);
  EXPECT_FALSE(port.IsAsyncCompleted(async));
  pty.Send("xyz");
  EXPECT_EQ(port.WaitForAsync(async), 3);
  EXPECT_TRUE(port.IsAsyncCompleted(async));
  EXPECT_EQ(std::string(buffer, 3), "xyz");
  pty.Send("q");
  WaitForInput(1);
  EXPECT_EQ(port.ReadAsync(buffer, 1, async), 1);  // completed at once
  port.DoneAsync(async);
}

TEST_F(PortIo, AbortAllAsyncEndsAPendingReadFromAnotherThread) {
  port.Timeouts().SetReadTotalC(10000);
  PAsync async;
  port.InitAsync(async);
  char c;
  port.ReadAsync(&c, 1, async);
  TVirtualTime time(port);
  time.OnFirstWait([&] { std::thread([&] { port.AbortAllAsync(); }).join(); });
  EXPECT_EQ(port.WaitForAsync(async), 0);
  EXPECT_EQ(time.Elapsed(), milliseconds(0));  // ended by the abort, not at the 10 s time-out
  port.DoneAsync(async);
}

TEST_F(PortIo, CloseEndsAReadPendingOnAnotherRecord) {
  port.Timeouts().SetReadTotalC(10000);
  PAsync async;
  port.InitAsync(async);
  char c;
  port.ReadAsync(&c, 1, async);
  port.Close();
  EXPECT_TRUE(port.IsAsyncCompleted(async));
  EXPECT_EQ(port.WaitForAsync(async), 0);
}

TEST_F(PortIo, TheInterruptSignalEndsALongReadAtOnceAndEveryReadWhileItIsSet) {
  TEventSignal interrupt;
  port.SetInterruptSignal(&interrupt);
  port.Timeouts().SetReadInterval(60000);
  port.Timeouts().SetReadTotalC(60000);
  char c = 0;
  {
    TVirtualTime time(port);
    // Another thread sets the signal while the read waits for its first byte.
    time.OnFirstWait([&] { std::thread([&] { interrupt.Set(); }).join(); });
    EXPECT_EQ(port.Read(&c, 1), 0);
    EXPECT_EQ(time.Elapsed(), milliseconds(0));  // not the 60 s time-out
    // A read that starts after the signal was set ends at once.
    EXPECT_EQ(port.Read(&c, 1), 0);
    EXPECT_EQ(time.Elapsed(), milliseconds(0));
  }
  // Bytes that have arrived are still taken; once reset, reads wait again.
  pty.Send("Q");
  WaitForInput(1);
  EXPECT_EQ(port.Read(&c, 1), 1);
  EXPECT_EQ(c, 'Q');
  interrupt.Reset();
  port.Timeouts().SetReadTotalC(150);
  port.Timeouts().SetReadInterval(150);
  TVirtualTime time(port);
  EXPECT_EQ(port.Read(&c, 1), 0);
  EXPECT_EQ(time.Elapsed(), milliseconds(150));
  port.SetInterruptSignal(nullptr);
}

namespace {
int gInterruptions = 0;
ssize_t InterruptedRead(int fd, void* buffer, size_t count) {
  if (gInterruptions > 0) {
    --gInterruptions;
    errno = EINTR;
    return -1;
  }
  return ::read(fd, buffer, count);
}
int InterruptedPoll(pollfd* fds, nfds_t n, int timeout) {
  if (gInterruptions > 0) {
    --gInterruptions;
    errno = EINTR;
    return -1;
  }
  return ::poll(fds, n, timeout);
}
ssize_t ShortWrite(int fd, const void* buffer, size_t count) {
  return ::write(fd, buffer, count > 1 ? 1 : count);
}
}  // namespace

TEST_F(PortIo, InterruptedCallsAreRepeatedAndShortWritesContinued) {
  DetectionTimeouts();
  SystemCalls().Read = &InterruptedRead;
  SystemCalls().Poll = &InterruptedPoll;
  SystemCalls().Write = &ShortWrite;
  gInterruptions = 6;
  pty.Send("Z");
  char c = 0;
  int n = port.Read(&c, 1);
  int w = port.WriteStr("ATZ\r");
  ResetSystemCalls();
  EXPECT_EQ(n, 1);
  EXPECT_EQ(c, 'Z');
  EXPECT_EQ(w, 4);
  EXPECT_EQ(pty.Receive(4), "ATZ\r");
}

TEST_F(PortIo, LineSignalsAndStateOnAPseudoTerminal) {
  EXPECT_TRUE(port.Signals().Empty());  // a pty has no modem lines
  EXPECT_TRUE(port.LastErrors().Empty());
  port.SetBreak(true);
  port.SetBreak(false);
  port.SetXonXoff(false);
  port.SetXonXoff(true);
  port.TransmitChar('!');
  EXPECT_EQ(pty.Receive(1), "!");
  EComPort e = ErrorOf([&] { port.SetDTR(true); });
  EXPECT_EQ(e.PortErrorCode(), 12);
  EXPECT_EQ(e.SystemErrorCode(), ENOTTY);
}

TEST_F(PortIo, OutputHeldByXoffStateGoesOnAfterXon) {
  port.SetXonXoff(false);
  port.Timeouts().SetWriteTotalC(200);
  port.Timeouts().SetWriteTotalM(0);
  EXPECT_EQ(port.WriteStr("held"), 0);  // the write's time-out ends it with nothing sent
  EXPECT_EQ(pty.Receive(4, 100), "");
  port.SetXonXoff(true);
  EXPECT_EQ(port.WriteStr("held"), 4);
  EXPECT_EQ(pty.Receive(4), "held");
}

TEST(PortClosed, OperationsOnAClosedPortFailWithTheirCodes) {
  TComPort port;
  char c;
  auto code = [](auto f) {
    try {
      f();
    } catch (const EComPort& e) {
      return e.PortErrorCode();
    }
    return 0;
  };
  EXPECT_EQ(code([&] { port.Read(&c, 1); }), 3);
  EXPECT_EQ(code([&] { port.WriteStr("x"); }), 2);
  EXPECT_EQ(code([&] { port.ClearBuffer(true, true); }), 5);
  EXPECT_EQ(code([&] { port.InputCount(); }), 10);
  EXPECT_EQ(code([&] { port.Signals(); }), 11);
  EXPECT_EQ(code([&] { port.SetRTS(true); }), 12);
  EXPECT_EQ(code([&] { port.TransmitChar('x'); }), 13);
}
