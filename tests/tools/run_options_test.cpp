// kelvo-run's command line: what each option sets, the forms a value may take, and the reasons
// given for arguments that are wrong.
#include "run_options.h"

#include <gtest/gtest.h>

#include "text/cp1251.h"

namespace kelvo {
namespace {

struct TParsed {
  bool Ok;
  TRunOptions Options;
  std::string Problem;
};

TParsed Parse(std::vector<std::string> args) {
  TParsed p;
  p.Ok = ParseRunOptions(args, p.Options, p.Problem);
  return p;
}

TEST(RunOptions, ARunNamesLibraryPortModemAndScript) {
  TParsed p = Parse({"--library", "/tmp/k.xml", "--port", "ttyUSB0", "--timestamps", "Модем", "Сценарий"});
  ASSERT_TRUE(p.Ok) << p.Problem;
  EXPECT_EQ(p.Options.Library, "/tmp/k.xml");
  EXPECT_EQ(p.Options.Ports, std::vector<std::string>{"ttyUSB0"});
  EXPECT_TRUE(p.Options.Timestamps);
  EXPECT_EQ(p.Options.Modem, Utf8ToAnsi("Модем"));  // names are compared with the library's 8-bit ones
  EXPECT_EQ(p.Options.Script, Utf8ToAnsi("Сценарий"));
}

TEST(RunOptions, AValueMayFollowAnEqualsSign) {
  TParsed p = Parse({"--port=/dev/pts/3", "--library=a=b.xml", "m", "s"});
  ASSERT_TRUE(p.Ok) << p.Problem;
  EXPECT_EQ(p.Options.Ports, std::vector<std::string>{"/dev/pts/3"});
  EXPECT_EQ(p.Options.Library, "a=b.xml");
}

TEST(RunOptions, PortsAreRepeatedOrSeparatedByCommasAndEachIsTakenOnce) {
  TParsed p = Parse({"--port", "ttyUSB0,ttyUSB1", "--port=/dev/pts/7", "--jobs", "2", "m", "s"});
  ASSERT_TRUE(p.Ok) << p.Problem;
  EXPECT_EQ(p.Options.Ports, (std::vector<std::string>{"ttyUSB0", "ttyUSB1", "/dev/pts/7"}));
  EXPECT_EQ(p.Options.Jobs, 2);
  EXPECT_EQ(Parse({"--port", "a,b", "--port", "b", "m", "s"}).Problem, "the port b is given twice");
  EXPECT_EQ(Parse({"--port", "a,,b", "m", "s"}).Problem, "--port a,,b: an empty port name");
  EXPECT_EQ(Parse({"--port", "a,", "m", "s"}).Problem, "--port a,: an empty port name");
  EXPECT_TRUE(Parse({"--all-ports", "m", "s"}).Options.AllPorts);
  EXPECT_EQ(Parse({"--all-ports", "--port", "a", "m", "s"}).Problem,
            "--all-ports and --port exclude each other");
  for (const char* jobs : {"0", "-1", "x", "", "3x", "99999999999"})
    EXPECT_EQ(Parse({"--port", "a", "--jobs", jobs, "m", "s"}).Problem,
              std::string("--jobs ") + jobs + ": a number of ports, at least 1");
}

TEST(RunOptions, UnattendedAnswersAndTheReport) {
  TParsed p = Parse({"--port", "a", "--answer", "1", "--answer=два", "--answers-dir", "/d", "--no-input",
                     "--report", "-", "m", "s"});
  ASSERT_TRUE(p.Ok) << p.Problem;
  EXPECT_EQ(p.Options.Answers, (std::vector<std::string>{"1", "два"}));
  EXPECT_EQ(p.Options.AnswersDir, "/d");
  EXPECT_TRUE(p.Options.NoInput);
  EXPECT_EQ(p.Options.Report, "-");
  EXPECT_EQ(Parse({"--port", "a", "--answer", "1", "--answers", "f", "m", "s"}).Problem,
            "the answers come either from --answer or from --answers FILE");
  EXPECT_EQ(Parse({"--port", "a", "--answer", "", "m", "s"}).Options.Answers, std::vector<std::string>{""});
}

TEST(RunOptions, HelpWinsOverEverythingElse) {
  TParsed p = Parse({"--bogus", "x"});
  EXPECT_FALSE(p.Ok);
  p = Parse({"m", "--help", "--bogus"});
  EXPECT_TRUE(p.Ok);
  EXPECT_TRUE(p.Options.Help);
}

TEST(RunOptions, WrongArgumentsAreExplained) {
  EXPECT_EQ(Parse({"--port", "p", "m"}).Problem, "MODEM and SCRIPT are both needed");
  EXPECT_EQ(Parse({"m", "s"}).Problem, "no port given: --port DEVICE names the modem's serial port");
  EXPECT_EQ(Parse({"--port"}).Problem, "--port needs a value");
  EXPECT_EQ(Parse({"--colour", "m", "s"}).Problem, "unknown option --colour");
  EXPECT_EQ(Parse({"--list=yes"}).Problem, "unknown option --list=yes");
  EXPECT_EQ(Parse({"--list", "m"}).Problem, "--list takes no MODEM or SCRIPT");
  EXPECT_TRUE(Parse({"--list"}).Ok);
}

}  // namespace
}  // namespace kelvo
