// kelvo-run on several simulated modems at once, as a workshop runs it: lines of each port whole and
// prefixed, the summary, the exit code, unattended answers, the JSON report against its schema, and
// Ctrl+C that stops every port.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/hex_text.h"
#include "e2e/kelvo_run_process.h"
#include "serial/com_port.h"
#include "serial/simulator_process.h"
#include "text/cp1251.h"
#include "xml/temp_dir.h"

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

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class KelvoRunManyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string scripts;
    const std::pair<const char*, const char*> kScripts[] = {
        {"ok", "Send(\"ATI\"); Expect(\"OK\");"},
        {"ask",
         "var a = AskUserString(\"Номер\", \"Введите номер\"); var b = AskUserString(\"Код\", \"Введите "
         "код\");\n"
         "WaitBox(\"Настройка\"); ShowMessage(\"Готово \" + a); Send(\"ATDT\" + a + b); WaitBox(\"\");"},
        {"syntax", "Send(\"AT\");\nx = ;"},
        {"reset", "Send(\"ATZ\");"},
    };
    for (const auto& [name, body] : kScripts)
      scripts +=
          std::string("    <Script Name=\"") + name + "\" Body=\"" + TextToHex(Utf8ToAnsi(body)) + "\"/>\r\n";
    WriteBytes(Library, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Modems>\r\n  <Modem Name=\"m\">\r\n" +
                            scripts + "  </Modem>\r\n</Modems>");
  }

  TResult Run(const std::string& args, const std::string& input = "", const std::string& env = "") {
    WriteBytes(Dir.File("in"), input);
    std::string command = env + " " + KELVO_RUN_PATH + " --library " + Library + " " + args + " <" +
                          Dir.File("in") + " >" + Dir.File("out") + " 2>" + Dir.File("err");
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(Dir.File("out")),
            ReadBytes(Dir.File("err"))};
  }

  // The exit status of checking the report at path against the schema kept in the repository.
  static int ValidateReport(const std::string& path) {
    std::string command = std::string("python3 -c 'import json, sys, jsonschema; ") +
                          "schema = json.load(open(sys.argv[2])); "
                          "jsonschema.Draft202012Validator.check_schema(schema); "
                          "jsonschema.validate(json.load(open(sys.argv[1])), schema, "
                          "cls=jsonschema.Draft202012Validator)' " +
                          path + " " + KELVO_REPORT_SCHEMA + " 2>/dev/null";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // A value of the report at path read by Python, e.g. Query(path, "[p['result'] for p in r['ports']]").
  static std::string Query(const std::string& path, const std::string& expression) {
    TempDir dir;
    WriteBytes(dir.File("q.py"),
               "import json, sys\nr = json.load(open(sys.argv[1]))\nprint(" + expression + ")\n");
    std::string command = "python3 " + dir.File("q.py") + " " + path + " >" + dir.File("q");
    if (std::system(command.c_str()) != 0) return "<error>";
    std::string out = ReadBytes(dir.File("q"));
    return out.empty() ? out : out.substr(0, out.size() - 1);
  }

  TempDir Dir;
  std::string Library = Dir.File("kelvo.xml");
};

// The lines of one port, in order, with their prefix: ports run side by side, so their lines
// interleave in the output, but each port's own lines keep their order.
std::string LinesOf(const std::string& out, const std::string& prefix) {
  std::string own;
  size_t start = 0;
  while (start < out.size()) {
    size_t end = out.find('\n', start);
    end = end == std::string::npos ? out.size() : end + 1;
    if (out.compare(start, prefix.size(), prefix) == 0) own.append(out, start, end - start);
    start = end;
  }
  return own;
}

std::string Prefix(const std::string& port, size_t width) {
  return port + std::string(width - port.size(), ' ') + " | ";
}

}  // namespace

TEST_F(KelvoRunManyTest, ThreePortsOneSilentOneOnlyAt19200AreToldApartByTableExitCodeAndReport) {
  TSimulator ok({"--ident", "SIM"}), silent({"--silent"}), slow({"--speed", "19200"});
  size_t width = std::max({ok.Path.size(), silent.Path.size(), slow.Path.size()});
  std::string report = Dir.File("report.json");
  TResult r =
      Run("--port " + ok.Path + "," + silent.Path + " --port " + slow.Path + " --report " + report + " m ok");
  EXPECT_EQ(r.Exit, 1) << r.Err;
  // Every line belongs to one port, whole, until the table.
  std::vector<std::string> lines = Lines(r.Out);
  size_t table = 0;
  while (table < lines.size() && lines[table].rfind("порт ", 0) != 0) ++table;
  ASSERT_EQ(lines.size(), table + 5) << r.Out;
  for (size_t i = 0; i < table; ++i) {
    bool known = false;
    for (const std::string& port : {ok.Path, silent.Path, slow.Path})
      known = known || lines[i].rfind(Prefix(port, width), 0) == 0;
    EXPECT_TRUE(known) << lines[i];
  }
  EXPECT_TRUE(Contains(r.Out, Prefix(ok.Path, width) + "< SIM\n")) << r.Out;
  EXPECT_TRUE(Contains(r.Out, Prefix(silent.Path, width) + "модем не обнаружен\n"));
  EXPECT_TRUE(Contains(r.Out, Prefix(slow.Path, width) + "поиск модема: " + slow.Path + ", 19200 bps\n"));
  // The table: the port, the result, the speed, the time and the reason of a failure.
  auto cell = [width](const std::string& port) { return port + std::string(width - port.size() + 2, ' '); };
  EXPECT_EQ(lines[table + 1].rfind(cell(ok.Path) + "выполнен   2400      ", 0), 0u) << lines[table + 1];
  EXPECT_EQ(lines[table + 2].rfind(cell(silent.Path) + "ошибка     -         ", 0), 0u) << lines[table + 2];
  EXPECT_TRUE(Contains(lines[table + 2], " с  модем не обнаружен")) << lines[table + 2];
  EXPECT_EQ(lines[table + 3].rfind(cell(slow.Path) + "выполнен   19200     ", 0), 0u) << lines[table + 3];
  EXPECT_EQ(lines[table + 4], "выполнено: 2 из 3");
  // The report.
  EXPECT_EQ(ValidateReport(report), 0) << ReadBytes(report);
  EXPECT_EQ(Query(report, "[p['result'] for p in r['ports']]"), "['completed', 'error', 'completed']");
  EXPECT_EQ(Query(report, "[p['speed'] for p in r['ports']]"), "[2400, None, 19200]");
  EXPECT_EQ(Query(report, "r['ports'][1]['reason']"), "модем не обнаружен");
  EXPECT_EQ(Query(report, "[p['port'] for p in r['ports']]"),
            "['" + ok.Path + "', '" + silent.Path + "', '" + slow.Path + "']");
  EXPECT_EQ(Query(report, "(r['exit_code'], r['modem'], r['script'], r['error'])"), "(1, 'm', 'ok', None)");
  EXPECT_EQ(
      Query(report, "[(l['kind'], l['text']) for l in r['ports'][0]['log'] if l['kind'] != 'info'][:4]"),
      "[('sent', 'ATI'), ('received', 'ATI'), ('received', 'SIM'), ('received', 'OK')]");
  // The schema holds the report to its shape: without its ports it is refused.
  WriteBytes(Dir.File("broken.json"),
             ReadBytes(report).replace(ReadBytes(report).find("\"ports\""), 7, "\"porte\""));
  EXPECT_NE(ValidateReport(Dir.File("broken.json")), 0);
}

TEST_F(KelvoRunManyTest, AnswersComeFromTheCommandLineAFileOrAFilePerPort) {
  TSimulator a({}), b({});
  size_t width = std::max(a.Path.size(), b.Path.size());
  std::string ports = "--port " + a.Path + "," + b.Path + " ";
  TResult given = Run(ports + "--answer 12 --answer 34 m ask");
  EXPECT_EQ(given.Exit, 0) << given.Out << given.Err;
  for (const std::string& port : {a.Path, b.Path}) {
    EXPECT_TRUE(
        Contains(LinesOf(given.Out, Prefix(port, width)),
                 Prefix(port, width) + "Номер: Введите номер\n" + Prefix(port, width) + "ответ: 12\n"))
        << given.Out;
    EXPECT_TRUE(Contains(given.Out, Prefix(port, width) + "> ATDT1234\n"));
    // Wait-box and ShowMessage texts are lines of their port.
    EXPECT_TRUE(Contains(given.Out, Prefix(port, width) + "... Настройка\n"));
    EXPECT_TRUE(Contains(given.Out, Prefix(port, width) + "Готово 12\n"));
  }
  WriteBytes(Dir.File("answers.txt"), "56\r\n78\n");
  TResult file = Run(ports + "--answers " + Dir.File("answers.txt") + " m ask");
  EXPECT_EQ(file.Exit, 0) << file.Out << file.Err;
  EXPECT_TRUE(Contains(file.Out, Prefix(a.Path, width) + "> ATDT5678\n")) << file.Out;
  EXPECT_TRUE(Contains(file.Out, Prefix(b.Path, width) + "> ATDT5678\n"));
  std::filesystem::create_directory(Dir.File("per-port"));
  WriteBytes(Dir.File("per-port") + "/" + std::filesystem::path(b.Path).filename().string(), "90\n12");
  TResult own = Run(ports + "--answer 11 --answer 22 --answers-dir " + Dir.File("per-port") + " m ask");
  EXPECT_EQ(own.Exit, 0) << own.Out << own.Err;
  EXPECT_TRUE(Contains(own.Out, Prefix(a.Path, width) + "> ATDT1122\n")) << own.Out;
  EXPECT_TRUE(Contains(own.Out, Prefix(b.Path, width) + "> ATDT9012\n")) << own.Out;
  TResult missing = Run(ports + "--answers " + Dir.File("nosuch.txt") + " m ask");
  EXPECT_EQ(missing.Exit, 2);
  EXPECT_TRUE(Contains(missing.Err, "cannot read the answers file " + Dir.File("nosuch.txt"))) << missing.Err;
}

TEST_F(KelvoRunManyTest, WithNoInputAnUnansweredQuestionFailsTheRunInsteadOfReadingTheTerminal) {
  TSimulator sim({});
  std::string report = Dir.File("report.json");
  TResult unattended =
      Run("--port " + sim.Path + " --answer 12 --no-input --report " + report + " m ask", "99\n");
  EXPECT_EQ(unattended.Exit, 1);
  EXPECT_TRUE(
      Contains(unattended.Out, "Код: Введите код\nошибка выполнения сценария: отменено пользователем\n"))
      << unattended.Out;
  EXPECT_FALSE(Contains(unattended.Out, "ATDT"));
  EXPECT_EQ(Query(report, "(r['ports'][0]['result'], r['ports'][0]['reason'])"),
            "('failed', 'ошибка выполнения сценария: отменено пользователем')");
  EXPECT_EQ(Query(report, "[l['kind'] for l in r['ports'][0]['log'] if l['kind'] in ('question', 'answer')]"),
            "['question', 'answer', 'question']");
  // Without it the terminal answers what is left.
  TResult attended = Run("--port " + sim.Path + " --answer 12 m ask", "99\n");
  EXPECT_EQ(attended.Exit, 0) << attended.Out << attended.Err;
  EXPECT_TRUE(Contains(attended.Out, "> ATDT1299\n")) << attended.Out;
}

TEST_F(KelvoRunManyTest, ACompileErrorOpensNoPortAndTheReportSaysWhy) {
  TSimulator a({"--log", Dir.File("a.log")}), b({"--log", Dir.File("b.log")});
  std::string report = Dir.File("report.json");
  TResult r = Run("--port " + a.Path + " --port " + b.Path + " --report " + report + " m syntax");
  EXPECT_EQ(r.Exit, 2);
  EXPECT_EQ(r.Out, "");
  ASSERT_EQ(Lines(r.Err).size(), 1u) << r.Err;  // once, not once per port
  EXPECT_EQ(r.Err.rfind("kelvo-run: 2:5: ", 0), 0u) << r.Err;
  EXPECT_EQ(ReadBytes(Dir.File("a.log")), "");
  EXPECT_EQ(ReadBytes(Dir.File("b.log")), "");
  EXPECT_EQ(ValidateReport(report), 0) << ReadBytes(report);
  EXPECT_EQ(Query(report, "(r['exit_code'], r['error'][:4], r['ports'])"), "(2, '2:5:', [])");
}

TEST_F(KelvoRunManyTest, TheReportOnStandardOutputMovesTheLogToStandardError) {
  TSimulator a({}), b({});
  TResult r = Run("--port " + a.Path + "," + b.Path + " --report - m ok");
  EXPECT_EQ(r.Exit, 0) << r.Err;
  WriteBytes(Dir.File("stdout.json"), r.Out);
  EXPECT_EQ(ValidateReport(Dir.File("stdout.json")), 0) << r.Out;
  EXPECT_TRUE(Contains(r.Err, "> ATI\n")) << r.Err;
  EXPECT_TRUE(Contains(r.Err, "выполнено: 2 из 2\n")) << r.Err;
}

TEST_F(KelvoRunManyTest, AllPortsTakesThePortListAndOneJobRunsThemInTurn) {
  TSimulator a({"--ident", "A"}), b({"--ident", "B"});
  std::filesystem::create_directory(Dir.File("tty"));
  std::string env = "KELVO_SYSFS_TTY=" + Dir.File("tty") + " KELVO_PORTS=" + a.Path + ":" + b.Path;
  TResult r = Run("--all-ports --jobs 1 m ok", "", env);
  EXPECT_EQ(r.Exit, 0) << r.Out << r.Err;
  EXPECT_TRUE(Contains(r.Out, "выполнено: 2 из 2\n")) << r.Out;
  // In turn: the second port's first line comes after the first port's last one. Which port comes
  // first is the port list's order, which follows the simulators' pty numbers.
  size_t width = std::max(a.Path.size(), b.Path.size());
  bool aFirst = r.Out.find(Prefix(a.Path, width)) < r.Out.find(Prefix(b.Path, width));
  const std::string& first = aFirst ? a.Path : b.Path;
  const std::string& second = aFirst ? b.Path : a.Path;
  size_t firstEnds = r.Out.find(Prefix(first, width) + "сценарий выполнен за ");
  size_t secondStarts = r.Out.find(Prefix(second, width));
  ASSERT_NE(firstEnds, std::string::npos) << r.Out;
  EXPECT_LT(firstEnds, secondStarts) << r.Out;
  TResult none = Run("--all-ports m ok", "", "KELVO_SYSFS_TTY=" + Dir.File("tty") + " KELVO_PORTS=");
  EXPECT_EQ(none.Exit, 1);
  EXPECT_EQ(none.Err, "kelvo-run: the port list holds no serial port\n");
}

TEST(KelvoRunManySignals, CtrlCStopsEveryPortClosesAndUnlocksItAndExitsWith130) {
  TempDir dir;
  std::string library = dir.File("kelvo.xml");
  WriteBytes(library,
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Modems>\r\n  <Modem Name=\"m\">\r\n"
             "    <Script Name=\"s\" Body=\"" +
                 TextToHex("Send(\"ATZ\");") + "\"/>\r\n  </Modem>\r\n</Modems>");
  std::filesystem::create_directory(dir.File("locks"));
  ::setenv("KELVO_LOCK_DIR", dir.File("locks").c_str(), 1);
  std::vector<std::unique_ptr<TSimulator>> sims;
  std::string ports;
  for (int i = 0; i < 3; ++i) {
    sims.push_back(std::make_unique<TSimulator>(std::vector<std::string>{"--silent"}));
    ports += (i == 0 ? "" : ",") + sims.back()->Path;
  }
  TBackgroundRun run({"--library", library, "--port", ports, "m", "s"});
  for (const auto& sim : sims) ASSERT_TRUE(run.WaitFor(sim->Path + ", 2400 bps\n")) << run.Output;
  auto [exit, ms] = run.Signal(SIGINT);
  ::unsetenv("KELVO_LOCK_DIR");
  EXPECT_EQ(exit, 130);
  EXPECT_LT(ms, 2000);
  size_t width = 0;
  for (const auto& sim : sims) width = std::max(width, sim->Path.size());
  for (const auto& sim : sims) {
    EXPECT_TRUE(
        Contains(run.Output, Prefix(sim->Path, width) + "выполнение сценария прервано пользователем\n"))
        << run.Output;
    kelvo::TComPort other;
    other.SetEvents({});
    other.SetPortName(sim->Path);
    EXPECT_NO_THROW(other.Open());
  }
  EXPECT_TRUE(Contains(run.Output, "выполнено: 0 из 3\n")) << run.Output;
  EXPECT_TRUE(std::filesystem::is_empty(dir.File("locks")));  // no lock file left behind
}
