// Runs of one script on several simulated modems at once, in this process: every port with its own
// engine and port, nothing of the engine shared between the runs' threads, and a stop that leaves
// every port closed.
#include "app/multi_port_run.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "app/app_texts.h"
#include "serial/simulator_process.h"

using namespace kelvo;
using kelvo::testing::TSimulator;

namespace {

// A screen that several threads may watch: it keeps the log under a lock and wakes whoever waits
// for a line.
class TWatchedScreen : public TRunScreen {
 public:
  TModalResult MessageBox(const std::string&, TMsgIcon, TMsgButtons) override { return TModalResult::mrOk; }
  void SetStatusText(const std::string&) override {}
  void AppendLogLine(const TLogEntry& entry) override {
    std::lock_guard<std::mutex> guard(FLock);
    FLines.push_back(entry.Text);
    FChanged.notify_all();
  }
  bool AskUserString(const std::string&, const std::string&, std::string&) override { return false; }
  void ShowWaitBox(const std::string&) override {}
  void ShowSearchProgress(int, int, const std::string&) override {}

  // True once a line holds text; false after 30 s.
  bool WaitFor(const std::string& text) {
    std::unique_lock<std::mutex> lock(FLock);
    return FChanged.wait_for(lock, std::chrono::seconds(30), [&] {
      for (const std::string& line : FLines)
        if (line.find(text) != std::string::npos) return true;
      return false;
    });
  }
  std::vector<std::string> Lines() {
    std::lock_guard<std::mutex> guard(FLock);
    return FLines;
  }

 private:
  std::mutex FLock;
  std::condition_variable FChanged;
  std::vector<std::string> FLines;
};

// Simulators started with the same arguments plus --ident P<i>, and a screen for each.
struct TShelf {
  TShelf(size_t count, std::vector<std::string> simArgs) {
    for (size_t i = 0; i < count; ++i) {
      std::vector<std::string> args = simArgs;
      args.insert(args.end(), {"--ident", "P" + std::to_string(i)});
      Sims.push_back(std::make_unique<TSimulator>(args));
      Ports.push_back(Sims.back()->Path);
      Screens.push_back(std::make_unique<TWatchedScreen>());
      ScreenPointers.push_back(Screens.back().get());
    }
  }
  std::vector<std::unique_ptr<TSimulator>> Sims;
  std::vector<std::string> Ports;
  std::vector<std::unique_ptr<TWatchedScreen>> Screens;
  std::vector<TRunScreen*> ScreenPointers;
};

// Every round calls library functions, indexes a string and raises and catches an error whose text
// holds the modem's own name: a run that saw another run's argument, character or ExceptionMessage
// stops with what it saw.
const char* kBusyScript =
    "Send(\"ATE0\"); Expect(\"OK\"); Send(\"ATI\"); var id = RecvLn(); Expect(\"OK\");\n"
    "for (var i = 0; i < 300; i++) {\n"
    "  var s = IntToStr(i) + id;\n"
    "  if (Copy(s, Length(s) - Length(id) + 1, Length(id)) != id) Stop(\"Copy \" + s);\n"
    "  if (s[Length(s)] != id[Length(id)]) Stop(\"index \" + s);\n"
    "  if (UpperCase(LowerCase(id)) != id) Stop(\"case \" + id);\n"
    "  try { RaiseException(id + \"/\" + IntToStr(i)); }\n"
    "  except { if (ExceptionMessage != id + \"/\" + IntToStr(i)) Stop(\"except \" + ExceptionMessage); }\n"
    "}\n";

}  // namespace

TEST(MultiPortRun, ScriptsOnSeveralPortsAtOnceEachSeeOnlyTheirOwnValues) {
  TShelf shelf(6, {});
  TMultiPortRun run(shelf.Ports, shelf.ScreenPointers);
  ASSERT_TRUE(run.Compile(kBusyScript)) << run.ErrorPlace() << ": " << run.ErrorText();
  run.Execute(0);
  for (size_t i = 0; i < run.Count(); ++i) {
    EXPECT_EQ(run.Run(i).Result.End, TRunEnd::reCompleted) << run.Run(i).Result.Message;
    EXPECT_TRUE(run.Run(i).Started);
    EXPECT_GT(run.Run(i).Result.DetectedSpeed, 0);
  }
}

TEST(MultiPortRun, ACompilationErrorIsFoundBeforeAnyPortIsOpened) {
  TShelf shelf(2, {});
  TMultiPortRun run(shelf.Ports, shelf.ScreenPointers);
  EXPECT_FALSE(run.Compile("Send(\"AT\");\nx = ;"));
  EXPECT_EQ(run.ErrorPlace(), "2:5");
  for (auto& screen : shelf.Screens) EXPECT_TRUE(screen->Lines().empty());
}

TEST(MultiPortRun, AStopEndsEveryRunAndLeavesEveryPortClosed) {
  TShelf shelf(3, {"--silent"});
  TMultiPortRun run(shelf.Ports, shelf.ScreenPointers);
  ASSERT_TRUE(run.Compile("Send(\"ATZ\");"));
  std::thread runs([&] { run.Execute(0); });
  for (size_t i = 0; i < shelf.Screens.size(); ++i)
    ASSERT_TRUE(shelf.Screens[i]->WaitFor(" bps")) << shelf.Ports[i];
  const auto stopped = std::chrono::steady_clock::now();
  run.Stop();
  runs.join();
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(2));
  for (size_t i = 0; i < run.Count(); ++i) {
    EXPECT_EQ(run.Run(i).Result.End, TRunEnd::reStopped);
    EXPECT_EQ(shelf.Screens[i]->Lines().back(), Ansi(texts::kRunStopped));
    // Closed: this process can take the port again (an open one is held exclusively).
    TComPort again;
    again.SetEvents({});
    again.SetPortName(shelf.Ports[i]);
    EXPECT_NO_THROW(again.Open()) << shelf.Ports[i];
  }
}

TEST(MultiPortRun, WithOneJobPortsRunInTurnAndAStopOpensNoFurtherPort) {
  TShelf shelf(3, {"--silent"});
  TMultiPortRun run(shelf.Ports, shelf.ScreenPointers);
  ASSERT_TRUE(run.Compile("Send(\"ATZ\");"));
  std::thread runs([&] { run.Execute(1); });
  ASSERT_TRUE(shelf.Screens[0]->WaitFor(" bps"));
  EXPECT_TRUE(shelf.Screens[1]->Lines().empty());  // its turn comes after the first port's end
  run.Stop();
  runs.join();
  EXPECT_TRUE(run.Run(0).Started);
  EXPECT_EQ(run.Run(0).Result.End, TRunEnd::reStopped) << run.Run(0).Result.Message;
  for (size_t i = 1; i < run.Count(); ++i) {
    EXPECT_FALSE(run.Run(i).Started);
    EXPECT_EQ(run.Run(i).Result.End, TRunEnd::reStopped);
    EXPECT_EQ(shelf.Screens[i]->Lines(), std::vector<std::string>{Ansi(texts::kRunStopped)});
  }
}
