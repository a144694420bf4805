// kelvo-run, the headless runner, as a user starts it: exit codes, output and questions on the
// terminal, against the modem simulator.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/hex_text.h"
#include "serial/simulator_process.h"
#include "text/cp1251.h"
#include "xml/temp_dir.h"

using kelvo::AnsiToUtf8;
using kelvo::TextToHex;
using kelvo::Utf8ToAnsi;
using kelvo::testing::ReadBytes;
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

  TResult Run(const std::string& args, const std::string& input = "") {
    WriteBytes(Dir.File("in"), input);
    std::string command = std::string(KELVO_RUN_PATH) + " --library " + Library + " " + args + " <" +
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
  EXPECT_EQ(Run("Модем ok").Exit, 2);       // no port
  EXPECT_EQ(Run(Port + " Модем").Exit, 2);  // no script name
  EXPECT_EQ(Run(Port + " Модем nosuch").Exit, 2);
  TResult missing = Run("--port /nonexistent/tty Модем ok");
  EXPECT_EQ(missing.Exit, 1);
  EXPECT_EQ(
      missing.Err,
      "kelvo-run: Невозможно открыть COM порт /nonexistent/tty: порт не найден. Возможно, модем отключён: "
      "проверьте кабель и питание модема, затем выберите порт в списке заново (F5 обновляет список).\n");
  TResult list = Run("--list");
  EXPECT_EQ(list.Exit, 0);
  EXPECT_EQ(list.Out, "Модем\n  ok\n  stop\n  syntax\n  ask\n");
}
