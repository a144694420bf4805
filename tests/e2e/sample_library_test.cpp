// The sample library that Kelvo ships: every script compiles, and every script that does not need a
// telephone line sets up the simulator without an error.
#include <gtest/gtest.h>

#include "app/hex_text.h"
#include "app/modem_library.h"
#include "app/recording_screen.h"
#include "app/script_run.h"
#include "script/fs_modules.h"
#include "serial/simulator_process.h"
#include "text/cp1251.h"

using namespace kelvo;
using kelvo::testing::TRecordingScreen;
using kelvo::testing::TSimulator;

namespace {

struct TSample {
  std::string Modem, Script, Body;
};

std::vector<TSample> SampleScripts() {
  TModemLibrary library;
  library.Load(std::string(KELVO_DATA_DIR) + "/kelvo.xml", {});
  std::vector<TSample> samples;
  TXpNodeList modems = library.Modems();
  for (int m = 0; m < modems.nlGetLength(); ++m) {
    TXpNodeList scripts = TModemLibrary::Scripts(*modems.ElementItem(m));
    for (int s = 0; s < scripts.nlGetLength(); ++s)
      samples.push_back({ElementName(*modems.ElementItem(m)), ElementName(*scripts.ElementItem(s)),
                         HexToText(GetAnsiAttribute(*scripts.ElementItem(s), u"Body"))});
  }
  return samples;
}

std::string Name(const TSample& sample) {
  return AnsiToUtf8(sample.Modem + " / " + sample.Script);
}

}  // namespace

TEST(SampleLibrary, EveryScriptCompilesWithTheHostFunctions) {
  std::vector<TSample> samples = SampleScripts();
  ASSERT_GE(samples.size(), 8u);
  for (const TSample& sample : samples) {
    TRecordingScreen screen;
    TComPort port;
    TfsScript script;
    TModemLine line(screen, port);
    TScriptHost host(screen, line, script);
    script.Parent = fsGlobalUnit();
    host.Register();
    script.Lines = SplitLines(sample.Body);
    script.SyntaxType = "JScript";
    EXPECT_TRUE(script.Compile()) << Name(sample) << ": " << script.ErrorPlace << " " << script.ErrorText;
  }
}

TEST(SampleLibrary, ScriptsWithoutALineSetUpTheSimulator) {
  for (const TSample& sample : SampleScripts()) {
    if (sample.Body.find("ATD") != std::string::npos) continue;  // dialling needs a telephone line
    TSimulator sim({});
    TRecordingScreen screen;
    screen.UserAnswers = {"5551234", "5551234"};
    screen.Script = sample.Body;
    TComPort port;
    TfsScript script;
    TRunStop stop;
    TScriptRunner runner(screen, port, script, stop);
    ASSERT_TRUE(runner.Compile(screen.Script)) << Name(sample);
    TRunResult result = runner.Execute(sim.Path);
    EXPECT_EQ(result.End, TRunEnd::reCompleted)
        << Name(sample) << ": " << AnsiToUtf8(screen.LogTexts().back());
  }
}
