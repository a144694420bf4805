// Whole runs of set-up scripts, as the window starts them, against the modem simulator on a pty.
// The runs execute on the test's thread, as kelvo-run executes them.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "app/app_texts.h"
#include "app/recording_screen.h"
#include "app/script_run.h"
#include "serial/simulator_process.h"
#include "serial/uucp_lock.h"
#include "xml/temp_dir.h"

using namespace kelvo;
using kelvo::testing::ReadBytes;
using kelvo::testing::TempDir;
using kelvo::testing::TRecordingScreen;
using kelvo::testing::TSimulator;

namespace {

// One run of script against a simulator started with simArgs.
struct TRun {
  explicit TRun(std::vector<std::string> simArgs) : Sim(std::move(simArgs)) { Screen.PortText = Sim.Path; }

  // "<abort>" after a compilation error, the message of an error that ended the run, or the empty
  // text when the run ended otherwise.
  std::string Run(const std::string& script, const std::string& port = {}) {
    Screen.Script = Ansi(script);
    if (!Runner.Compile(Screen.Script)) {
      Screen.ReportCompileError(Script.ErrorPlace, Script.ErrorText);
      return "<abort>";
    }
    Screen.ClearLog();
    Result = Runner.Execute(port.empty() ? Sim.Path : port);
    return Result.End == TRunEnd::reError ? Result.Message : std::string();
  }
  std::vector<std::string> Errors() const {
    std::vector<std::string> errors;
    for (const auto& [kind, line] : Screen.Log)
      if (kind == lkError) errors.push_back(line);
    return errors;
  }

  TSimulator Sim;
  TRecordingScreen Screen;
  TComPort Port;
  TfsScript Script;
  TRunStop Stop;
  TScriptRunner Runner{Screen, Port, Script, Stop};
  TRunResult Result;
};

std::string Search(const std::string& port, int bps) {
  return Ansi("поиск модема: ") + port + ", " + std::to_string(bps) + " bps";
}

}  // namespace

TEST(ScriptRun, AModemAnsweringOnlyAt19200IsFoundOnTheThirdTry) {
  TRun run({"--speed", "19200", "--ident", "SIM"});
  EXPECT_EQ(run.Run("Send(\"ATI\"); Expect(\"OK\");"), "");
  std::vector<std::string> log = run.Screen.LogTexts();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[0], Search(run.Sim.Path, 2400));
  EXPECT_EQ(log[1], Search(run.Sim.Path, 9600));
  EXPECT_EQ(log[2], Search(run.Sim.Path, 19200));
  EXPECT_EQ(log[3], Ansi("модем обнаружен"));
  EXPECT_EQ(std::vector<std::string>(log.begin() + 4, log.end() - 1),
            (std::vector<std::string>{"> ATI", "< ATI", "< SIM", "< OK"}));
  EXPECT_EQ(run.Result.End, TRunEnd::reCompleted);
  EXPECT_FALSE(run.Runner.RunFailed());
  EXPECT_FALSE(run.Port.Connected());
  // The last line says that the run succeeded and how long it took; the status bar keeps it.
  EXPECT_EQ(log.back(), Ansi("сценарий выполнен за ") + FormatRunSeconds(run.Result.Duration) + Ansi(" с"));
  EXPECT_EQ(run.Screen.Log.back().first, lkInfo);
  EXPECT_EQ(run.Screen.Status, log.back());
  EXPECT_TRUE(run.Screen.EditorShows.empty());
  // The search showed its progress at the three speeds it tried.
  EXPECT_EQ(run.Screen.SearchSteps,
            (std::vector<std::pair<int, std::string>>{{1, Ansi("поиск модема: 1 из 10, 2400 bps")},
                                                      {2, Ansi("поиск модема: 2 из 10, 9600 bps")},
                                                      {3, Ansi("поиск модема: 3 из 10, 19200 bps")}}));
}

TEST(ScriptRun, ExpectFailsOnErrorAndTheFailureIsTheLastLine) {
  TRun run({});
  EXPECT_EQ(run.Run("Send(\"ATX9Y\"); Expect(\"OK\"); Send(\"ATZ\");"), "");
  std::string message = Ansi("ошибка выполнения сценария: нет ожидаемого ответа модема 'OK'");
  EXPECT_EQ(run.Errors(), std::vector<std::string>{message});
  EXPECT_EQ(run.Screen.LogTexts().back(), message);
  EXPECT_EQ(run.Screen.Messages.back().Text, message);
  EXPECT_EQ(run.Screen.Messages.back().Icon, TMsgIcon::miExclamation);
  EXPECT_TRUE(run.Runner.RunFailed());
  EXPECT_EQ(run.Result.End, TRunEnd::reFailed);
  EXPECT_EQ(run.Result.Message, message);
  // The script stopped after the failing statement: ATZ was never sent.
  std::vector<std::string> log = run.Screen.LogTexts();
  EXPECT_EQ(std::count(log.begin(), log.end(), "> ATZ"), 0);
  EXPECT_NE(std::find(log.begin(), log.end(), "< ERROR"), log.end());
  EXPECT_TRUE(run.Screen.EditorShows.empty());
}

TEST(ScriptRun, AFailureFollowedByMoreLinesIsRepeatedAtTheEnd) {
  TRun run({});
  // Both calls belong to one statement: the second runs, and logs the echo it reads, before the
  // engine stops the script.
  EXPECT_EQ(run.Run("Send(\"ATI\"); var s = AskUserString(\"a\", \"b\") + RecvLn();"), "");
  std::string message = Ansi("ошибка выполнения сценария: отменено пользователем");
  std::vector<std::string> log = run.Screen.LogTexts();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
            (std::vector<std::string>{message, "< ATI", message}));
  EXPECT_EQ(run.Errors(), (std::vector<std::string>{message, message}));
}

TEST(ScriptRun, ExpectWithItsOwnMessageReportsThatMessage) {
  TRun run({});
  EXPECT_EQ(run.Run("Send(\"ATX9Y\"); Expect(\"OK\", \"модем отверг команду\");"), "");
  EXPECT_EQ(run.Errors(), std::vector<std::string>{Ansi("ошибка выполнения сценария: модем отверг команду")});
}

TEST(ScriptRun, StopWithAndWithoutAReason) {
  TRun run({});
  EXPECT_EQ(run.Run("Stop(\"\");"), "");
  EXPECT_EQ(run.Errors(), std::vector<std::string>{Ansi("ошибка выполнения сценария")});
  EXPECT_EQ(run.Run("Stop(\"нет линии\");"), "");
  EXPECT_EQ(run.Errors(), std::vector<std::string>{Ansi("ошибка выполнения сценария: нет линии")});
}

TEST(ScriptRun, SetBaudRateRefusesUnsupportedSpeedsAndText) {
  TRun run({});
  EXPECT_EQ(run.Run("SetBaudRate(14400);"), "");
  EXPECT_EQ(run.Errors(),
            std::vector<std::string>{
                Ansi("ошибка выполнения сценария: неподдерживаемая скорость в функции SetBaudRate")});
  // A text literal is refused by the compiler; text held in a variable fails when converted.
  EXPECT_EQ(run.Run("SetBaudRate(\"abc\");"), "<abort>");
  EXPECT_EQ(run.Run("var b = \"abc\"; SetBaudRate(b);"), "");
  ASSERT_EQ(run.Errors().size(), 1u);
  EXPECT_EQ(run.Errors()[0].rfind(Ansi("ошибка выполнения сценария: "), 0), 0u);
  EXPECT_NE(run.Errors()[0].find("String"), std::string::npos) << run.Errors()[0];
}

TEST(ScriptRun, RecvLnOnSilenceReturnsEmptyAndTheScriptGoesOn) {
  TRun run({});
  EXPECT_EQ(run.Run("SetReadTimeout(200); var s = RecvLn(); if (s == \"\") Send(\"ATZ\"); Expect(\"OK\");"),
            "");
  EXPECT_TRUE(run.Errors().empty());
  std::vector<std::string> log = run.Screen.LogTexts();
  EXPECT_NE(std::find(log.begin(), log.end(), "> ATZ"), log.end());
}

TEST(ScriptRun, ReadTimeoutZeroMeansTheDefaultAndTheConstantReads1500) {
  TRun run({});
  EXPECT_EQ(run.Run("SetReadTimeout(0); if (DefaultReadTimeout != 1500) Stop(\"bad\");"), "");
  EXPECT_TRUE(run.Errors().empty());
  EXPECT_EQ(run.Port.Timeouts().ReadTotalConstant(), 1500);
  EXPECT_EQ(run.Port.Timeouts().ReadInterval(), 1500);
}

TEST(ScriptRun, AskUserStringAnsweredAndCancelled) {
  TRun run({});
  run.Screen.UserAnswers.push_back("5551234");
  EXPECT_EQ(run.Run("var n = AskUserString(\"Номер\", \"Введите номер\"); Send(\"ATDT\" + n);"), "");
  EXPECT_EQ(run.Screen.Questions, std::vector<std::string>{Ansi("Номер|Введите номер")});
  std::vector<std::string> log = run.Screen.LogTexts();
  EXPECT_NE(std::find(log.begin(), log.end(), "> ATDT5551234"), log.end());
  EXPECT_EQ(run.Run("AskUserString(\"a\", \"b\"); Send(\"ATZ\");"), "");
  EXPECT_EQ(run.Errors(),
            std::vector<std::string>{Ansi("ошибка выполнения сценария: отменено пользователем")});
}

TEST(ScriptRun, WaitBoxShowsAndIsHiddenAfterTheRun) {
  TRun run({});
  EXPECT_EQ(run.Run("WaitBox(\"Подождите\"); Sleep(-5);"), "");
  EXPECT_EQ(run.Screen.WaitBoxTexts, (std::vector<std::string>{Ansi("Подождите"), ""}));
}

TEST(ScriptRun, ACompileErrorNeverOpensThePort) {
  TRun run({});
  run.Screen.Log.push_back({lkInfo, "earlier run"});
  EXPECT_EQ(run.Run("Send(\"AT\")\nx = ;"), "<abort>");
  ASSERT_EQ(run.Screen.CompileErrors.size(), 1u);
  EXPECT_EQ(run.Screen.CompileErrors[0].first, "2:5");
  EXPECT_EQ(run.Screen.EditorShows, std::vector<TEditorPage>{TEditorPage::epDescription});
  EXPECT_EQ(run.Screen.LogTexts(), std::vector<std::string>{"earlier run"});  // the old log stays
  EXPECT_FALSE(run.Port.Connected());
}

TEST(ScriptRun, APortThatCannotBeOpenedEndsTheRunWithItsErrorInTheLog) {
  TRun run({});
  std::string message = run.Run("Send(\"AT\");", "/nonexistent/tty");
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(run.Screen.LogTexts(), std::vector<std::string>{message});
  EXPECT_EQ(run.Errors(), std::vector<std::string>{message});
  EXPECT_THROW(std::rethrow_exception(run.Result.Error), EComPort);
  EXPECT_FALSE(run.Port.Connected());
}

TEST(ScriptRun, ASilentModemIsNotFoundAfterTenSearchLines) {
  TRun run({"--silent"});
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(run.Run("Send(\"ATZ\");"), Ansi("модем не обнаружен"));
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::vector<std::string> expected;
  for (int bps : {2400, 9600, 19200, 1200, 4800, 38400, 57600, 115200, 600, 300})
    expected.push_back(Search(run.Sim.Path, bps));
  expected.push_back(Ansi("модем не обнаружен"));
  EXPECT_EQ(run.Screen.LogTexts(), expected);
  EXPECT_EQ(run.Screen.Log.back().first, lkError);
  EXPECT_EQ(run.Screen.SearchSteps.size(), 10u);
  EXPECT_GT(seconds, 18.0);
  EXPECT_LT(seconds, 30.0);
  EXPECT_FALSE(run.Port.Connected());
}

TEST(ScriptRun, ControlLinesFailTheScriptWithAClearReasonOnADeviceWithoutThem) {
  TRun run({});
  for (const char* function : {"SetDTR(false)", "SetRTS(true)", "SendBreak(100)", "HangUp()"}) {
    run.Screen.Log.clear();
    EXPECT_EQ(run.Run(std::string(function) + "; Send(\"AT\");"), "");
    EXPECT_TRUE(run.Runner.RunFailed()) << function;
    const std::string name(function, std::string(function).find('('));
    EXPECT_EQ(run.Errors(), std::vector<std::string>{
                                Ansi("ошибка выполнения сценария: " + name + ": у порта " + run.Sim.Path +
                                     " нет линий управления модемом (DTR, RTS, BREAK) — это "
                                     "псевдотерминал или переходник без этих линий")});
    // The script stopped there: the command after it was never sent.
    for (const auto& [kind, line] : run.Screen.Log) EXPECT_NE(kind, lkSent) << line;
  }
}

TEST(ScriptRun, ThePortsLockFileIsHeldDuringTheRunAndRemovedWhenItFails) {
  TempDir locks;
  ::setenv("KELVO_LOCK_DIR", locks.Path().c_str(), 1);
  TRun run({});
  const std::string lock = locks.File(LockFileName(run.Sim.Path));
  std::string heldDuringTheRun;
  run.Screen.OnAsk = [&] { heldDuringTheRun = ReadBytes(lock); };
  EXPECT_EQ(run.Run("AskUserString(\"Номер\", \"?\");"), "");  // no answer: the script fails
  EXPECT_TRUE(run.Runner.RunFailed());
  EXPECT_EQ(ParseLockPid(heldDuringTheRun), ::getpid());
  EXPECT_FALSE(std::filesystem::exists(lock));
  ::unsetenv("KELVO_LOCK_DIR");
}

TEST(ScriptRun, ADeviceThatNeverPausesHoldsTheSearchAtMostThreeSecondsASpeed) {
  // RING every 10 ms, and "OK" only at 9600 bps, the second speed of the search.
  TRun run({"--chatter", "RING\\r\\n", "--every", "10", "--speed", "9600"});
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(run.Run("Send(\"AT\"); Expect(\"OK\");"), "");
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::vector<std::string> texts = run.Screen.LogTexts();
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[0], Search(run.Sim.Path, 2400));
  EXPECT_EQ(texts[1], Search(run.Sim.Path, 9600));
  EXPECT_EQ(texts[2], Ansi("модем обнаружен"));
  EXPECT_GT(seconds, 3.0);   // the first speed had its full three seconds
  EXPECT_LT(seconds, 10.0);  // and not a moment for ever
}

TEST(ScriptRun, AModemUnpluggedMidScriptEndsTheRunWithThePortError) {
  TRun run({});
  EXPECT_EQ(run.Run("Send(\"AT\"); Expect(\"OK\");"), "");
  // The simulator goes away between two runs' commands: the next run cannot even find it.
  run.Sim.Stop();
  std::string result = run.Run("Send(\"AT\");");
  EXPECT_FALSE(result.empty());
  EXPECT_EQ(run.Screen.LogTexts().back(), result);
  EXPECT_FALSE(run.Port.Connected());
}

// Set-up scripts written in C++Script, chosen by their first line, run as the window runs them.
TEST(ScriptRunCppScript, AFactoryResetWithRetries) {
  TRun run({"--ident", "SIM"});
  EXPECT_EQ(run.Run("#language C++Script\n"
                    "#define RETRIES 3\n"
                    "int i;\n"
                    "bool ok = false;\n"
                    "void command(string s) { Send(s); Expect(\"OK\"); }\n"
                    "{\n"
                    "  for (i = 0; (i < RETRIES) && !ok; i++) {\n"
                    "    Send(\"AT&F\");\n"
                    "    if (RecvLn() == \"AT&F\") ok = (RecvLn() == \"OK\");\n"
                    "  }\n"
                    "  if (!ok) Stop(\"no reset\");\n"
                    "  command(\"ATE0V1\");\n"
                    "  command(\"ATS0=2\");\n"
                    "}"),
            "");
  EXPECT_TRUE(run.Errors().empty()) << run.Errors()[0];
  std::vector<std::string> log = run.Screen.LogTexts();
  ASSERT_GE(log.size(), 9u);
  // The command that turns the echo off is still echoed; the one after it is not.
  EXPECT_EQ(std::vector<std::string>(log.end() - 9, log.end() - 1),
            (std::vector<std::string>{"> AT&F", "< AT&F", "< OK", "> ATE0V1", "< ATE0V1", "< OK", "> ATS0=2",
                                      "< OK"}));
}

TEST(ScriptRunCppScript, ARegisterReadBackByReference) {
  TRun run({});
  EXPECT_EQ(run.Run("#language C++Script\n"
                    "void query(string reg, string &value) { Send(\"AT\" + reg + \"?\"); value = RecvLn(); "
                    "Expect(\"OK\"); }\n"
                    "string v;\n"
                    "{\n"
                    "  Send(\"ATE0S7=45\"); Expect(\"OK\");\n"
                    "  query(\"S7\", v);\n"
                    "  if (v != \"045\") Stop(\"S7 reads \" + v);\n"
                    "}"),
            "");
  EXPECT_TRUE(run.Errors().empty()) << run.Errors()[0];
}
