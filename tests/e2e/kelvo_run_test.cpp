// kelvo-run, the headless runner, as a user starts it: exit codes, output and questions on the
// terminal, against the modem simulator.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "serial/com_port.h"

#include "app/hex_text.h"
#include "e2e/kelvo_run_process.h"
#include "serial/simulator_process.h"
#include "text/cp1251.h"
#include "xml/temp_dir.h"

using kelvo::AnsiToUtf8;
using kelvo::TextToHex;
using kelvo::Utf8ToAnsi;
using kelvo::testing::ReadBytes;
using kelvo::testing::TBackgroundRun;
using kelvo::testing::TempDir;
using kelvo::testing::TSimulator;
using kelvo::testing::WriteBytes;

namespace {

struct TResult {
  int Exit;
  std::string Out, Err;
};

class KelvoRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string scripts;
    const std::pair<const char*, const char*> kScripts[] = {
        {"ok", "Send(\"ATI\"); Expect(\"OK\");"},
        {"stop", "Stop(\"линия занята\");"},
        {"syntax", "Send(\"AT\");\nx = ;"},
        {"ask", "var n = AskUserString(\"Номер\", \"Введите номер\"); Send(\"ATDT\" + n);"},
    };
    for (const auto& [name, body] : kScripts)
      scripts +=
          std::string("    <Script Name=\"") + name + "\" Body=\"" + TextToHex(Utf8ToAnsi(body)) + "\"/>\r\n";
    WriteBytes(Library,
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Modems>\r\n  <Modem Name=\"Модем\">\r\n" +
                   scripts + "  </Modem>\r\n</Modems>");
  }

  // env: assignments before the program ("LANG=en_US.UTF-8 ").
  TResult Run(const std::string& args, const std::string& input = "", const std::string& env = "") {
    WriteBytes(Dir.File("in"), input);
    std::string command = env + std::string(KELVO_RUN_PATH) + " --library " + Library + " " + args + " <" +
                          Dir.File("in") + " >" + Dir.File("out") + " 2>" + Dir.File("err");
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(Dir.File("out")),
            ReadBytes(Dir.File("err"))};
  }

  TempDir Dir;
  std::string Library = Dir.File("kelvo.xml");
  TSimulator Sim{{"--ident", "SIM"}};
  std::string Port = "--port " + Sim.Path;
};

}  // namespace

TEST_F(KelvoRunTest, ASuccessfulRunPrintsTheLogAndExitsWithZero) {
  TResult r = Run(Port + " Модем ok");
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_NE(r.Out.find("модем обнаружен\n> ATI\n< ATI\n< SIM\n< OK\n"), std::string::npos) << r.Out;
}

TEST_F(KelvoRunTest, AStoppedScriptExitsWithOneAndTheReason) {
  TResult r = Run(Port + " Модем stop");
  EXPECT_EQ(r.Exit, 1);
  EXPECT_NE(r.Err.find("ошибка выполнения сценария: линия занята"), std::string::npos) << r.Err;
}

TEST_F(KelvoRunTest, ACompileErrorExitsWithTwoAndItsPosition) {
  TResult r = Run(Port + " Модем syntax");
  EXPECT_EQ(r.Exit, 2);
  EXPECT_NE(r.Err.find("2:5: "), std::string::npos) << r.Err;
  EXPECT_EQ(r.Out, "");  // the port was never opened
}

TEST_F(KelvoRunTest, QuestionsAreAnsweredOnStandardInput) {
  TResult r = Run(Port + " Модем ask", "5551234\n");
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_NE(r.Out.find("> ATDT5551234"), std::string::npos) << r.Out;
  TResult cancelled = Run(Port + " Модем ask", "");
  EXPECT_EQ(cancelled.Exit, 1);
  EXPECT_NE(cancelled.Err.find("отменено пользователем"), std::string::npos);
}

TEST_F(KelvoRunTest, ControlCharactersFromTheModemArePrintedByName) {
  TSimulator hostile{{"--ident", "\\e]0;owned\\a\\e[31mRED\\0tail"}};
  TResult r = Run("--port " + hostile.Path + " Модем ok");
  EXPECT_EQ(r.Exit, 0) << r.Err;
  // The leading ESC is trimmed with the line's other edge characters; the rest is named.
  EXPECT_NE(r.Out.find("\n< ]0;owned<BEL><ESC>[31mRED<NUL>tail\n< OK\n"), std::string::npos) << r.Out;
  EXPECT_EQ(r.Out.find('\x1B'), std::string::npos);
  EXPECT_EQ(r.Out.find('\0'), std::string::npos);
  EXPECT_EQ(r.Out.find('\a'), std::string::npos);
}

TEST_F(KelvoRunTest, ADamagedLibraryIsNamedWithTheReasonLineAndColumn) {
  WriteBytes(Library, "<Modems>\n  <Modem Name=\"a\">\n</Modems>\n");
  TResult r = Run("--list");
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err, "kelvo-run: Файл с настройками модемов 'kelvo.xml' поврежден или отсутствует\n" + Library +
                       ": End tag does not match its start tag at line 3, column 10\n");
}

TEST_F(KelvoRunTest, ATimeLimitEndsARunThatTheModemKeepsTalkingThrough) {
  // Expect waits as long as lines keep coming: a modem repeating RING holds it for ever.
  const std::string waits = Dir.File("waits.xml");
  WriteBytes(waits, "<Modems><Modem Name=\"M\"><Script Name=\"waits\" Body=\"" +
                        TextToHex("Send(\"ATD5551234\"); Expect(\"CONNECT\");") + "\"/></Modem></Modems>");
  TSimulator ringing{{"--chatter", "RING\\r\\n", "--every", "10"}};
  auto start = std::chrono::steady_clock::now();
  TResult r = Run("--library " + waits + " --timeout 4 --port " + ringing.Path + " M waits");
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(r.Exit, 1);
  EXPECT_GE(seconds, 4.0);
  EXPECT_LT(seconds, 12.0);
  EXPECT_NE(r.Out.find("< RING\n"), std::string::npos);
  EXPECT_EQ(r.Out.substr(r.Out.rfind('\n', r.Out.size() - 2) + 1), "превышено время выполнения сценария\n");
  EXPECT_EQ(r.Err, "kelvo-run: превышено время выполнения сценария\n");
  // A run that ends in time is not held back by its limit.
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(Run("--timeout 600 " + Port + " Модем ok").Exit, 0);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 30.0);
  EXPECT_EQ(Run("--timeout soon " + Port + " Модем ok").Exit, 2);
}

TEST_F(KelvoRunTest, AKnownSpeedSkipsTheSearch) {
  TSimulator at9600{{"--speed", "9600"}};
  TResult r = Run("--speed 9600 --port " + at9600.Path + " Модем ok");
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.Out.rfind("скорость задана, модем не ищется: " + at9600.Path + ", 9600 bps\n> ATI\n", 0), 0u)
      << r.Out;
  EXPECT_EQ(r.Out.find("поиск модема"), std::string::npos);
  TResult wrong = Run("--speed 19200 --port " + at9600.Path + " Модем ok");  // the modem stays silent
  EXPECT_EQ(wrong.Exit, 1);
  EXPECT_EQ(Run("--speed fast --port " + at9600.Path + " Модем ok").Exit, 2);
  EXPECT_EQ(Run("--speed 0 --port " + at9600.Path + " Модем ok").Exit, 2);
}

TEST_F(KelvoRunTest, PortsAreListedWithWhatEachIs) {
  TempDir sys, dev, usb;
  std::filesystem::create_directories(usb.Path() / "1-4");
  WriteBytes(usb.File("1-4/idVendor"), "0403\n");
  WriteBytes(usb.File("1-4/idProduct"), "6001\n");
  WriteBytes(usb.File("1-4/manufacturer"), "FTDI\n");
  WriteBytes(usb.File("1-4/product"), "FT232R USB UART\n");
  std::filesystem::create_directories(usb.Path() / "1-4" / "1-4:1.0" / "ttyUSB0");
  std::filesystem::create_directories(sys.Path() / "ttyUSB0");
  std::filesystem::create_directory_symlink(usb.Path() / "1-4" / "1-4:1.0" / "ttyUSB0",
                                            sys.Path() / "ttyUSB0" / "device");
  std::filesystem::create_directories(sys.Path() / "tty1");  // a console: not a serial port
  ::setenv("KELVO_SYSFS_TTY", sys.Path().c_str(), 1);
  ::setenv("KELVO_DEV_DIR", dev.Path().c_str(), 1);
  TResult r = Run("--ports");
  ::unsetenv("KELVO_SYSFS_TTY");
  ::unsetenv("KELVO_DEV_DIR");
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.Out, "ttyUSB0 — FTDI FT232R USB UART (1-4)\n");
}

TEST_F(KelvoRunTest, BadArgumentsUnknownScriptsAndPortsAndTheList) {
  TResult noPort = Run("Модем ok");
  EXPECT_EQ(noPort.Exit, 2);
  EXPECT_EQ(
      noPort.Err.rfind("kelvo-run: no port given: --port DEVICE names the modem's serial port\nUsage: ", 0),
      0u)
      << noPort.Err;
  EXPECT_EQ(Run(Port + " Модем").Exit, 2);  // no script name
  TResult noScript = Run(Port + " Модем nosuch");
  EXPECT_EQ(noScript.Exit, 2);
  EXPECT_EQ(noScript.Err, "kelvo-run: no script \"nosuch\" of the modem \"Модем\"\n");
  TResult noModem = Run(Port + " Нет ok");
  EXPECT_EQ(noModem.Exit, 2);
  EXPECT_EQ(noModem.Err, "kelvo-run: no modem \"Нет\" in the library\n");
  std::string missing = Dir.File("missing.xml");
  TResult noLibrary = Run(Port + " --library " + missing + " Модем ok");
  EXPECT_EQ(noLibrary.Exit, 1);
  EXPECT_EQ(noLibrary.Err, "kelvo-run: no library file " + missing + "\n");
  TResult badPort = Run("--port /nonexistent/tty Модем ok");
  EXPECT_EQ(badPort.Exit, 1);
  // The port's error is the log's last line, and it goes to standard error too, which is elsewhere.
  ASSERT_FALSE(badPort.Err.empty());
  EXPECT_NE(badPort.Out.find(badPort.Err.substr(11)), std::string::npos) << badPort.Out << badPort.Err;
  EXPECT_EQ(
      badPort.Err,
      "kelvo-run: Невозможно открыть COM порт /nonexistent/tty: порт не найден. Возможно, модем отключён: "
      "проверьте кабель и питание модема, затем выберите порт в списке заново (F5 обновляет список).\n");
  TResult list = Run("--list");
  EXPECT_EQ(list.Exit, 0);
  EXPECT_EQ(list.Out, "library: " + Library + "\nМодем\n  ok\n  stop\n  syntax\n  ask\n");
}

TEST_F(KelvoRunTest, TheLastLineSaysHowTheRunEndedAndTheReasonIsPrintedOnceWhereOutputAndErrorsMeet) {
  TResult ok = Run(Port + " Модем ok");
  EXPECT_NE(ok.Out.find("< OK\nсценарий выполнен за "), std::string::npos) << ok.Out;
  // Standard error goes where standard output goes: the failure is printed once.
  std::string command = std::string(KELVO_RUN_PATH) + " --library " + Library + " " + Port + " Модем stop >" +
                        Dir.File("both") + " 2>&1 </dev/null";
  int status = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 1);
  std::string both = ReadBytes(Dir.File("both"));
  std::string reason = "ошибка выполнения сценария: линия занята";
  EXPECT_EQ(both.find(reason), both.rfind(reason)) << both;
  EXPECT_NE(both.find(reason), std::string::npos);
}

TEST_F(KelvoRunTest, TimestampsStartEveryLine) {
  TResult r = Run("--timestamps " + Port + " Модем ok");
  EXPECT_EQ(r.Exit, 0) << r.Err;
  size_t lines = 0;
  for (size_t at = 0; at < r.Out.size(); at = r.Out.find('\n', at) + 1, ++lines) {
    std::string time = r.Out.substr(at, 13);
    ASSERT_EQ(time.size(), 13u);
    EXPECT_TRUE(time[2] == ':' && time[5] == ':' && time[8] == '.' && time[12] == ' ') << time;
  }
  EXPECT_GE(lines, 6u);
}

// --log writes the log beside the terminal: every line with its time, no colours, nothing else
// (questions, wait texts); a file that cannot be made is a bad argument, before any port opens.
TEST_F(KelvoRunTest, LogFileGetsEveryLogLineWithItsTime) {
  std::string log = Dir.File("run.log");
  WriteBytes(log, "old content\n");
  TResult r = Run("--log " + log + " " + Port + " Модем ok");
  EXPECT_EQ(r.Exit, 0) << r.Err;
  std::string written = ReadBytes(log);
  std::string withoutTimes;
  for (size_t at = 0; at < written.size(); at = written.find('\n', at) + 1) {
    std::string time = written.substr(at, 13);
    ASSERT_TRUE(time.size() == 13 && time[2] == ':' && time[5] == ':' && time[8] == '.' && time[12] == ' ')
        << written;
    withoutTimes += written.substr(at + 13, written.find('\n', at) + 1 - at - 13);
  }
  // The terminal got the same lines, without times.
  EXPECT_EQ(withoutTimes, r.Out);
  EXPECT_NE(withoutTimes.find("модем обнаружен\n> ATI\n< ATI\n< SIM\n< OK\nсценарий выполнен за "),
            std::string::npos)
      << withoutTimes;
  EXPECT_EQ(written.find("old content"), std::string::npos);

  TResult bad = Run("--log " + Dir.File("no/such/dir/run.log") + " " + Port + " Модем ok");
  EXPECT_EQ(bad.Exit, 2);
  EXPECT_EQ(bad.Err, "kelvo-run: cannot write the log " + Dir.File("no/such/dir/run.log") +
                         ": No such file or directory\n");
  EXPECT_EQ(bad.Out, "");
}

// --terminal driven through a pipe: the search, each line of the input sent, the answers printed,
// and at the end of the input the last answers awaited before the port closes.
TEST_F(KelvoRunTest, TerminalSendsTheLinesOfItsInputAndPrintsTheAnswers) {
  TResult r = Run("--terminal " + Port, "ATI\nAT\n");
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_NE(r.Out.find("модем обнаружен\nтерминал открыт, команды вводятся внизу: " + Sim.Path +
                       "\n> ATI\n< ATI\n< SIM\n< OK\n> AT\n< AT\n< OK\nтерминал закрыт\n"),
            std::string::npos)
      << r.Out;
  TResult fixed = Run("--terminal --speed 9600 " + Port, "ATI\n");
  EXPECT_EQ(fixed.Exit, 0) << fixed.Err;
  EXPECT_EQ(fixed.Out.find("поиск модема"), std::string::npos) << fixed.Out;
  EXPECT_NE(fixed.Out.find("< SIM\n"), std::string::npos) << fixed.Out;
  TResult twoPorts = Run("--terminal --port a,b");
  EXPECT_EQ(twoPorts.Exit, 2);
  EXPECT_EQ(twoPorts.Err.rfind("kelvo-run: --terminal needs one port: --port DEVICE\n", 0), 0u)
      << twoPorts.Err;
  EXPECT_EQ(Run("--terminal " + Port + " Модем ok").Exit, 2);
  TResult report = Run("--terminal --report - " + Port);
  EXPECT_EQ(report.Exit, 2);
  EXPECT_EQ(report.Err.rfind("kelvo-run: --terminal does not take --report\n", 0), 0u) << report.Err;
  TResult gone = Run("--terminal --port /nonexistent/tty", "ATI\n");
  EXPECT_EQ(gone.Exit, 1);
  EXPECT_NE(gone.Err.find("Невозможно открыть COM порт /nonexistent/tty"), std::string::npos) << gone.Err;
}

// A device that answers no speed of the search is still the user's to talk to: the terminal says
// the modem was not found and stays open at the last speed tried.
TEST(KelvoRunTerminal, ADeviceThatAnswersNoSpeedLeavesTheTerminalOpen) {
  TSimulator silent({"--silent"});
  TBackgroundRun run({"--terminal", "--port", silent.Path}, true);
  run.Type("ATI\n");
  ASSERT_TRUE(run.WaitFor("терминал открыт")) << run.Output;
  EXPECT_NE(run.Output.find("\nмодем не обнаружен\nтерминал открыт, команды вводятся внизу: " + silent.Path),
            std::string::npos)
      << run.Output;
  ASSERT_TRUE(run.WaitFor("> ATI\n")) << run.Output;
  auto [exit, ms] = run.Signal(SIGTERM);
  EXPECT_EQ(exit, 143);
  EXPECT_NE(run.Output.find("\nтерминал закрыт\n"), std::string::npos) << run.Output;
}

// --terminal typed into while it runs: Ctrl+C closes the port and exits with 130; a device that
// vanishes ends the terminal at once with the port's reason and exit code 1, instead of a wait
// for input that would never end.
TEST(KelvoRunTerminal, CtrlCClosesThePortAndAVanishedDeviceEndsTheTerminal) {
  TSimulator sim({"--ident", "SIM"});
  {
    TBackgroundRun run({"--terminal", "--speed", "9600", "--port", sim.Path}, true);
    ASSERT_TRUE(run.WaitFor("терминал открыт")) << run.Output;
    run.Type("ATI\n");
    ASSERT_TRUE(run.WaitFor("< SIM\n< OK\n")) << run.Output;
    auto [exit, ms] = run.Signal(SIGINT);
    EXPECT_EQ(exit, 130);
    EXPECT_LT(ms, 1000);
    EXPECT_NE(run.Output.find("\nтерминал закрыт\n"), std::string::npos) << run.Output;
    kelvo::TComPort other;
    other.SetEvents({});
    other.SetPortName(sim.Path);
    EXPECT_NO_THROW(other.Open());
  }
  TBackgroundRun run({"--terminal", "--speed", "9600", "--port", sim.Path}, true);
  ASSERT_TRUE(run.WaitFor("терминал открыт")) << run.Output;
  auto start = std::chrono::steady_clock::now();
  sim.Stop();
  EXPECT_EQ(run.Wait(), 1) << run.Output;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_NE(run.Output.find("связь с модемом потеряна"), std::string::npos) << run.Output;
  EXPECT_EQ(run.Output.find("терминал закрыт"), std::string::npos) << run.Output;
}

TEST(KelvoRunSignals, SigintAndSigtermStopTheRunCloseThePortAndExitWith130And143) {
  TempDir dir;
  std::string library = dir.File("kelvo.xml");
  WriteBytes(library,
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Modems>\r\n  <Modem Name=\"m\">\r\n"
             "    <Script Name=\"s\" Body=\"" +
                 TextToHex("Send(\"ATZ\");") + "\"/>\r\n  </Modem>\r\n</Modems>");
  TSimulator silent({"--silent"});
  for (auto [signal, code] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
    TBackgroundRun run({"--library", library, "--port", silent.Path, "m", "s"});
    ASSERT_TRUE(run.WaitFor("2400 bps\n")) << run.Output;
    auto [exit, ms] = run.Signal(signal);
    EXPECT_EQ(exit, code);
    EXPECT_LT(ms, 1000);
    EXPECT_NE(run.Output.find("\nвыполнение сценария прервано пользователем\n"), std::string::npos)
        << run.Output;
    EXPECT_EQ(run.Output.find("19200 bps"), std::string::npos);  // the search went no further
    // The port was closed: another program can take it.
    kelvo::TComPort other;
    other.SetEvents({});
    other.SetPortName(silent.Path);
    EXPECT_NO_THROW(other.Open());
  }
}

TEST_F(KelvoRunTest, UnderAnEnglishLocaleItsMessagesAreEnglishAndTheScriptsAreNot) {
  const std::string english = "LANG=en_US.UTF-8 ";
  TResult badPort = Run("--port /nonexistent/tty Модем ok", "", english);
  EXPECT_EQ(badPort.Exit, 1);
  EXPECT_EQ(badPort.Err,
            "kelvo-run: Cannot open COM port /nonexistent/tty: the port was not found. The modem may be "
            "unplugged: check the modem's cable and power, then choose the port in the list again (F5 "
            "refreshes the list).\n");
  // The summary of several ports; the script's own text stays as written.
  TResult many = Run("--port /nonexistent/a --port " + Sim.Path + " Модем stop", "", english);
  EXPECT_EQ(many.Exit, 1);
  EXPECT_NE(many.Out.find("port"), std::string::npos) << many.Out;
  EXPECT_NE(many.Out.find("result"), std::string::npos) << many.Out;
  EXPECT_NE(many.Out.find("done: 0 of 2"), std::string::npos) << many.Out;
  EXPECT_NE(many.Out.find("линия занята"), std::string::npos) << many.Out;
  // Russian elsewhere, C included.
  EXPECT_EQ(Run("--port /nonexistent/tty Модем ok", "", "LANG=C ")
                .Err.rfind("kelvo-run: Невозможно открыть COM порт", 0),
            0u);
}
