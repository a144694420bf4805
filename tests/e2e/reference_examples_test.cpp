// The examples of Kelvo's own functions in the reference, run as the window runs a script against
// the modem simulator: the log after the modem was found is what the reference shows.
#include <gtest/gtest.h>

#include "app/app_texts.h"
#include "app/function_reference.h"
#include "app/recording_screen.h"
#include "app/script_run.h"
#include "serial/simulator_process.h"
#include "text/cp1251.h"

using namespace kelvo;
using kelvo::testing::TRecordingScreen;
using kelvo::testing::TSimulator;

namespace {

// The log lines (UTF-8) of a run of example, from the line after "модем обнаружен" to the end,
// without the closing "сценарий выполнен за ..." line. The simulator's pty, whose name changes
// from run to run, is shown as the reference shows a port: /dev/ttyUSB0.
std::string RunHostExample(const std::string& example) {
  TSimulator sim({});
  TRecordingScreen screen;
  screen.PortText = sim.Path;
  screen.UserAnswers = {"1234"};  // what the user types into AskUserString
  TComPort port;
  TfsScript script;
  TRunStop stop;
  TScriptRunner runner(screen, port, script, stop);
  screen.Script = Utf8ToAnsi(example);
  if (!runner.Compile(screen.Script)) return "compile error: " + AnsiToUtf8(script.ErrorText);
  runner.Execute(sim.Path);
  std::vector<std::string> log = screen.LogTexts();
  auto found = std::find(log.begin(), log.end(), Ansi("модем обнаружен"));
  if (found == log.end()) return "the modem was not found";
  std::vector<std::string> lines(found + 1, log.end());
  if (!lines.empty() && lines.back().starts_with(Ansi("сценарий выполнен за "))) lines.pop_back();
  std::string out;
  for (std::string line : lines) {
    for (size_t p; (p = line.find(sim.Path)) != std::string::npos;)
      line.replace(p, sim.Path.size(), "/dev/ttyUSB0");
    out += (out.empty() ? "" : "\n") + AnsiToUtf8(line);
  }
  return out;
}

class HostExample : public ::testing::TestWithParam<std::string> {};

TEST_P(HostExample, LogsWhatTheReferenceShows) {
  const TFunctionReference* f = FindFunctionReference(GetParam());
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(RunHostExample(f->Doc->Example), f->Doc->Output) << f->Doc->Example;
}

std::vector<std::string> HostFunctionNames() {
  std::vector<std::string> names;
  for (const TFunctionReference& f : FunctionReferences())
    if (f.Host) names.push_back(f.Name);
  return names;
}

INSTANTIATE_TEST_SUITE_P(FunctionReference, HostExample, ::testing::ValuesIn(HostFunctionNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
