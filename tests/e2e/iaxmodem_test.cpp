// A run against Debian's software modem: another AT command interpreter than our simulator.
#include <gtest/gtest.h>

#include "app/app_texts.h"
#include "app/recording_screen.h"
#include "app/script_run.h"
#include "e2e/iaxmodem_fixture.h"

using namespace kelvo;

TEST(IaxModem, IsDetectedAndAnswersIdentification) {
  kelvo::testing::TIaxModem modem;
  if (!modem.Available()) GTEST_SKIP() << modem.Why();
  kelvo::testing::TRecordingScreen screen;
  screen.Script = "Send(\"ATE0\"); Expect(\"OK\"); Send(\"ATI\"); var id = RecvLn(); Expect(\"OK\");";
  TComPort port;
  TfsScript script;
  TRunStop stop;
  TScriptRunner runner(screen, port, script, stop);
  ASSERT_TRUE(runner.Compile(screen.Script));
  EXPECT_EQ(runner.Execute(modem.Device()).End, TRunEnd::reCompleted);
  std::vector<std::string> log = screen.LogTexts();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0], Ansi("поиск модема: ") + modem.Device() + ", 2400 bps");
  EXPECT_EQ(log[1], Ansi("модем обнаружен"));
  EXPECT_NE(std::find(log.begin(), log.end(), "< spandsp"), log.end());
  EXPECT_EQ(log[log.size() - 2], "< OK");
  EXPECT_FALSE(runner.RunFailed());
}
