// The Ansible example (examples/ansible/kelvo-run.yml) against this machine as its one station,
// with simulated modems on ptys: the report of every station is fetched, and a station whose run
// failed fails the play. Skipped when Ansible is not installed.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/hex_text.h"
#include "serial/simulator_process.h"
#include "text/cp1251.h"
#include "xml/temp_dir.h"

using kelvo::TextToHex;
using kelvo::Utf8ToAnsi;
using kelvo::testing::ReadBytes;
using kelvo::testing::TempDir;
using kelvo::testing::TSimulator;
using kelvo::testing::WriteBytes;

namespace {

bool HaveAnsible() {
  return std::system("command -v ansible-playbook >/dev/null 2>&1") == 0;
}

class AnsiblePlaybookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveAnsible())
      GTEST_SKIP() << "ansible-playbook is not installed (tools/install-deps.sh installs it)";
    std::string body = "var n = AskUserString(\"Номер\", \"Введите номер\"); Send(\"ATI\"); Expect(\"OK\");";
    WriteBytes(Dir.File("kelvo.xml"),
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Modems>\r\n  <Modem Name=\"Модем\">\r\n"
               "    <Script Name=\"Настройка\" Body=\"" +
                   TextToHex(Utf8ToAnsi(body)) + "\"/>\r\n  </Modem>\r\n</Modems>");
    WriteBytes(Dir.File("answers.txt"), "5551234\n");
    std::filesystem::create_directory(Dir.File("tty"));
    std::filesystem::create_directory(Dir.File("ansible"));
  }

  // Runs the playbook on localhost with the ports; its exit status, its output in Output.
  int Play(const std::string& ports, bool withAnswers) {
    WriteBytes(Dir.File("vars.json"),
               "{\"kelvo_hosts\": \"localhost\", \"kelvo_run\": \"" KELVO_RUN_PATH
               "\", \"kelvo_library\": \"" +
                   Dir.File("kelvo.xml") + "\", \"kelvo_answers\": \"" +
                   (withAnswers ? Dir.File("answers.txt") : "") +
                   "\", \"kelvo_modem\": \"Модем\", \"kelvo_script\": \"Настройка\", \"kelvo_reports\": \"" +
                   Dir.File("reports") + "\", \"kelvo_workdir\": \"" + Dir.File("station") +
                   "\", \"kelvo_environment\": {\"KELVO_PORTS\": \"" + ports + "\", \"KELVO_SYSFS_TTY\": \"" +
                   Dir.File("tty") + "\"}, \"ansible_python_interpreter\": \"/usr/bin/python3\"}");
    std::string ansibleDir = Dir.File("ansible");
    std::string command =
        "ANSIBLE_LOCAL_TEMP=" + ansibleDir + " ANSIBLE_REMOTE_TEMP=" + ansibleDir +
        " ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 ansible-playbook -i localhost, -c local "
        "-e @" +
        Dir.File("vars.json") + " " KELVO_EXAMPLES_DIR "/ansible/kelvo-run.yml >" + Dir.File("play.out") +
        " 2>&1";
    int status = std::system(command.c_str());
    Output = ReadBytes(Dir.File("play.out"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  TempDir Dir;
  std::string Output;
};

}  // namespace

TEST_F(AnsiblePlaybookTest, EveryStationsReportIsFetchedAndAFailedRunFailsItsStation) {
  TSimulator a({}), b({});
  std::string report = Dir.File("reports") + "/localhost.json";
  EXPECT_EQ(Play(a.Path + ":" + b.Path, true), 0) << Output;
  std::string fetched = ReadBytes(report);
  EXPECT_NE(fetched.find("\"exit_code\": 0"), std::string::npos) << fetched;
  EXPECT_NE(fetched.find("\"port\": \"" + a.Path + "\""), std::string::npos);
  EXPECT_NE(fetched.find("\"port\": \"" + b.Path + "\""), std::string::npos);
  EXPECT_NE(fetched.find("\"text\": \"5551234\""), std::string::npos);  // the answer from the file
  // Without answers nobody is there to answer: every port fails, the station fails, and its report
  // still comes back.
  std::filesystem::remove(report);
  EXPECT_NE(Play(a.Path + ":" + b.Path, false), 0) << Output;
  EXPECT_NE(Output.find("kelvo-run ended with 1"), std::string::npos) << Output;
  fetched = ReadBytes(report);
  EXPECT_NE(fetched.find("\"exit_code\": 1"), std::string::npos) << fetched;
  EXPECT_NE(fetched.find("отменено пользователем"), std::string::npos);
}
