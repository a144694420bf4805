// The line primitives against a pty whose other end the test plays: what a modem sends, byte for
// byte, and what reaches the log.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/app_texts.h"
#include "app/modem_line.h"
#include "app/recording_screen.h"
#include "serial/pty_pair.h"
#include "text/cp1251.h"

using namespace kelvo;
using kelvo::testing::TPtyPair;
using kelvo::testing::TRecordingScreen;

namespace {

class ModemLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Port.SetPortName(Pty.SlavePath());
    Port.SetEvents({});
    Port.Open();
    Pty.CloseSlave();
    Line.ApplyReadTimeout(300);
  }
  void TearDown() override { Port.Close(); }

  TPtyPair Pty;
  TComPort Port;
  TRecordingScreen Screen;
  TModemLine Line{Screen, Port};
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST_F(ModemLineTest, SendLineAddsCrLfOnlyWhenTheTextDoesNotEndWithItsOnlyOne) {
  Line.SendLine("ATZ", false);
  EXPECT_EQ(Pty.Receive(5), "ATZ\r\n");
  Line.SendLine("AT\r\n", true);
  EXPECT_EQ(Pty.Receive(4), "AT\r\n");
  Line.SendLine("A\r\nB\r\n", true);
  EXPECT_EQ(Pty.Receive(8), "A\r\nB\r\n\r\n");
  Line.SendLine("", true);
  EXPECT_EQ(Pty.Receive(2), "\r\n");
  // Only the first, not quiet, line was logged, its line break trimmed away.
  ASSERT_EQ(Screen.Log.size(), 1u);
  EXPECT_EQ(Screen.Log[0], (std::pair<TLogKind, std::string>{lkSent, "> ATZ"}));
  EXPECT_EQ(Screen.Status, "> ATZ");
}

TEST_F(ModemLineTest, SendLineDiscardsWhatWasNotReadYet) {
  Pty.Send("stale answer\r\n");
  Line.SendLine("AT", true);
  Pty.Send("OK\r\n");
  EXPECT_EQ(Line.RecvLine(true, true), "OK");
}

TEST_F(ModemLineTest, RecvLineSkipsBlankLinesAndKeepsTheRawTextWhenAsked) {
  Pty.Send("\r\n\r\nOK\r\nNEXT\r\n");
  EXPECT_EQ(Line.RecvLine(false, false), "\r\n\r\nOK\r");
  EXPECT_EQ(Line.RecvLine(true, false), "NEXT");
  EXPECT_EQ(Screen.LogTexts(), (std::vector<std::string>{"< OK", "< NEXT"}));
}

TEST_F(ModemLineTest, ALineWithoutCrIsDroppedAtTheTimeOut) {
  Pty.Send("OK");
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Line.RecvLine(true, false), "");
  EXPECT_GE(SecondsSince(start), 0.25);
  EXPECT_TRUE(Screen.Log.empty());
}

TEST_F(ModemLineTest, ALineWithoutCrIsCutAt64KiBAndCollectingStartsAgain) {
  const std::string endless(kMaxLineBytes + 10, 'x');
  std::thread modem([&] { Pty.SendAll("\n" + endless + "\r\n"); });
  std::string first = Line.RecvLine(false, false);
  std::string rest = Line.RecvLine(true, false);
  modem.join();
  EXPECT_EQ(first.size(), kMaxLineBytes);  // the LF of a previous line counts as collected text
  EXPECT_EQ(first, "\n" + std::string(kMaxLineBytes - 1, 'x'));
  EXPECT_EQ(rest, std::string(11, 'x'));
  ASSERT_EQ(Screen.Log.size(), 2u);
  EXPECT_EQ(Screen.Log[0].second, "< " + std::string(kMaxLineBytes - 1, 'x'));
}

TEST_F(ModemLineTest, ControlCharactersFromTheModemAreLoggedByNameAndReachTheScriptAsTheyAre) {
  const char kHostile[] = "RED\x1B[0m\0tail\x1B]0;title\a!\r\n";
  const std::string hostile(kHostile, sizeof kHostile - 1);
  Pty.Send(hostile);
  EXPECT_EQ(Line.RecvLine(true, false), hostile.substr(0, hostile.size() - 2));
  ASSERT_EQ(Screen.Log.size(), 1u);
  EXPECT_EQ(Screen.Log[0].second, "< RED<ESC>[0m<NUL>tail<ESC>]0;title<BEL>!");
  EXPECT_EQ(Screen.Status, Screen.Log[0].second);
}

TEST_F(ModemLineTest, WaitForAnswerAcceptsEchoCaseAndSpacesAndLogsEveryLine) {
  Pty.Send("AT\r\r\n  ok  \r\n");
  EXPECT_TRUE(Line.WaitForAnswer("OK", false));
  EXPECT_EQ(Screen.LogTexts(), (std::vector<std::string>{"< AT", "< ok"}));
  Pty.Send(Ansi("готов\r\n"));
  EXPECT_TRUE(Line.WaitForAnswer(Ansi("ГОТОВ"), true));
  Pty.Send("ERROR\r\n");
  EXPECT_FALSE(Line.WaitForAnswer("OK", false));
  EXPECT_EQ(Screen.LogTexts().back(), "< ERROR");
}

TEST_F(ModemLineTest, AWaitWithALimitEndsThereWhileTheModemKeepsTalking) {
  std::atomic<bool> talking = true;
  std::thread modem([&] {
    while (talking) {
      Pty.Send("RING\r\n");
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Line.WaitForAnswer("OK", true, start + std::chrono::milliseconds(700)));
  double waited = SecondsSince(start);
  talking = false;
  modem.join();
  EXPECT_GE(waited, 0.7);
  EXPECT_LT(waited, 0.7 + 0.3 + 1.0);  // one read time-out at most after the limit, and slack
}

TEST_F(ModemLineTest, AVanishedDeviceIsExplainedAfterThePortsOwnText) {
  Pty.CloseMaster();  // the other end of the line goes away, as an unplugged adapter does
  try {
    Line.RecvLine(true, false);
    FAIL() << "no error";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.PortErrorCode(), 3);
    EXPECT_EQ(e.SystemErrorCode(), EIO);
    EXPECT_EQ(AnsiToUtf8(e.Message()),
              "Ошибка чтения (" + AnsiToUtf8(SystemErrorText(EIO)) +
                  "): связь с модемом потеряна (устройство отключено или линия разорвана)");
  }
  // An error that does not mean a lost device keeps the port's text alone.
  EXPECT_EQ(AnsiToUtf8(EComPort(5, EBADF).Message()),
            "PurgeComm function failed (" + AnsiToUtf8(SystemErrorText(EBADF)) + ")");
}

TEST_F(ModemLineTest, SpeedsAndReadTimeoutsAScriptMayChoose) {
  for (int bps : {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 56000, 57600, 115200})
    EXPECT_TRUE(Line.ApplyBaudRate(bps)) << bps;
  EXPECT_EQ(Port.BaudRate(), br115200);
  for (int bps : {110, 14400, 128000, 256000, 0, -1}) EXPECT_FALSE(Line.ApplyBaudRate(bps)) << bps;
  EXPECT_EQ(Port.BaudRate(), br115200);
  for (int ms : {0, -5}) {
    Line.ApplyReadTimeout(ms);
    EXPECT_EQ(Port.Timeouts().ReadTotalConstant(), 1500);
    EXPECT_EQ(Port.Timeouts().ReadInterval(), 1500);
  }
  Line.ApplyReadTimeout(250);
  EXPECT_EQ(Port.Timeouts().ReadTotalConstant(), 250);
}

TEST_F(ModemLineTest, LogLineIgnoresTextsOfOnlySpacesAndLineBreaks) {
  Line.LogLine(lkInfo, "first");
  Line.LogLine(lkError, "  \r\n ");
  EXPECT_EQ(Screen.LogTexts(), (std::vector<std::string>{"first"}));
  EXPECT_EQ(Screen.Status, "first");
  EXPECT_EQ(LogPrefix(lkReceived), "< ");
  EXPECT_EQ(LogColor(lkSent).Blue, 128);
  EXPECT_EQ(LogColor(lkError).Red, 255);
}
