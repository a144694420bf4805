// The installed Kelvo: `cmake --install` into a temporary root (as DESTDIR does for a package), then
// the installed programs run with HOME and XDG_DATA_HOME in a temporary folder, as a user's first,
// second and later starts.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "xml/temp_dir.h"

using kelvo::testing::ReadBytes;
using kelvo::testing::TempDir;
using kelvo::testing::WriteBytes;
namespace fs = std::filesystem;

namespace {

struct TResult {
  int Exit;
  std::string Out, Err;
};

const std::string kUserLibrary =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Modems>\r\n  <Modem Name=\"Мой модем\">\r\n"
    "    <Script Name=\"Мой сценарий\"/>\r\n  </Modem>\r\n</Modems>";

class InstalledKelvo : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string command = "DESTDIR=" + Root.File("root") + " " + CMAKE_COMMAND + " --install " +
                          KELVO_BINARY_DIR + " --prefix /usr >" + Root.File("install.log") + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadBytes(Root.File("install.log"));
  }
  std::string Installed(const std::string& path) const { return Root.File("root/usr/" + path); }
  std::string UserLibrary() const { return Root.File("data/kelvo/kelvo.xml"); }

  // The installed kelvo-run with env (NAME=VALUE ...) in an environment without XDG_DATA_HOME.
  TResult RunInstalled(const std::string& env, const std::string& args) {
    std::string command = "env -u XDG_DATA_HOME " + env + " " + Installed("bin/kelvo-run") + " " + args +
                          " >" + Root.File("out") + " 2>" + Root.File("err") + " </dev/null";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(Root.File("out")),
            ReadBytes(Root.File("err"))};
  }
  std::string UserEnv() const { return "HOME=" + Root.File("home") + " XDG_DATA_HOME=" + Root.File("data"); }

  TempDir Root;
};

}  // namespace

TEST_F(InstalledKelvo, ProgramsGoToBinAndTheShippedDataToShareKelvo) {
  for (const char* program : {"kelvo", "kelvo-run", "kelvo-script", "modemsim"}) {
    EXPECT_EQ(::access(Installed(std::string("bin/") + program).c_str(), X_OK), 0) << program;
  }
  EXPECT_EQ(ReadBytes(Installed("share/kelvo/kelvo.xml")), ReadBytes(KELVO_DATA_DIR "/kelvo.xml"));
  EXPECT_EQ(ReadBytes(Installed("share/kelvo/kelvo.html")), ReadBytes(KELVO_DATA_DIR "/kelvo.html"));
  EXPECT_FALSE(fs::exists(Installed("bin/kelvo.xml")));
}

TEST_F(InstalledKelvo, TheFirstRunMakesTheUsersLibraryFromTheShippedOneAndLaterRunsKeepItsEdits) {
  TResult first = RunInstalled(UserEnv(), "--list");
  ASSERT_EQ(first.Exit, 0) << first.Err;
  EXPECT_EQ(first.Out.rfind("library: " + UserLibrary() + "\n", 0), 0u) << first.Out;
  EXPECT_EQ(ReadBytes(UserLibrary()), ReadBytes(Installed("share/kelvo/kelvo.xml")));

  WriteBytes(UserLibrary(), kUserLibrary);
  TResult second = RunInstalled(UserEnv(), "--list");
  ASSERT_EQ(second.Exit, 0) << second.Err;
  EXPECT_EQ(second.Out, "library: " + UserLibrary() + "\nМой модем\n  Мой сценарий\n");
  EXPECT_EQ(ReadBytes(UserLibrary()), kUserLibrary);

  // Without XDG_DATA_HOME the library lies in ~/.local/share.
  TResult home = RunInstalled("HOME=" + Root.File("home"), "--list");
  ASSERT_EQ(home.Exit, 0) << home.Err;
  EXPECT_EQ(home.Out.rfind("library: " + Root.File("home/.local/share/kelvo/kelvo.xml") + "\n", 0), 0u);
}

TEST_F(InstalledKelvo, ALibraryBesideTheProgramStillWins) {
  WriteBytes(Installed("bin/kelvo.xml"), kUserLibrary);
  TResult r = RunInstalled(UserEnv(), "--list");
  ASSERT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.Out, "library: " + Installed("bin/kelvo.xml") + "\nМой модем\n  Мой сценарий\n");
  EXPECT_FALSE(fs::exists(Root.File("data")));
}

TEST_F(InstalledKelvo, WithoutTheShippedLibraryTheErrorNamesThePathsTried) {
  fs::remove(Installed("share/kelvo/kelvo.xml"));
  TResult r = RunInstalled(UserEnv(), "--list");
  EXPECT_EQ(r.Exit, 1);
  EXPECT_NE(r.Err.find("kelvo-run: Файл с настройками модемов 'kelvo.xml' поврежден или отсутствует\n"
                       "не найден ни один из файлов:\n" +
                       Installed("bin/kelvo.xml") + "\n" + UserLibrary() + "\n" +
                       Installed("share/kelvo/kelvo.xml") + "\n"),
            std::string::npos)
      << r.Err;
  EXPECT_FALSE(fs::exists(UserLibrary()));
}

// The window: its first start makes the user's library too, and the stamping mode writes that copy.
TEST_F(InstalledKelvo, TheWindowsFirstStartMakesAndStampsTheUsersLibrary) {
  fs::create_directories(Root.Path() / "tty");  // a machine without serial ports
  std::vector<std::string> env{"HOME=" + Root.File("home"), "XDG_DATA_HOME=" + Root.File("data"),
                               "QT_QPA_PLATFORM=offscreen", "KELVO_SYSFS_TTY=" + Root.File("tty")};
  for (const char* keep : {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
    if (const char* value = std::getenv(keep)) env.push_back(std::string(keep) + "=" + value);
  }
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string program = Installed("bin/kelvo");
  std::string stamp = "SetXmlVersion=9.9";
  char* argv[] = {program.data(), stamp.data(), nullptr};
  pid_t pid = -1;
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);
  bool stamped = false;
  for (int i = 0; i < 600 && !stamped; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    stamped = ReadBytes(UserLibrary()).find("Version=\"9.9\"") != std::string::npos;
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      pid = -1;
      break;
    }
  }
  if (pid > 0) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
  EXPECT_TRUE(stamped) << ReadBytes(UserLibrary());
  EXPECT_NE(ReadBytes(UserLibrary()).find("Protected=\"yes\""), std::string::npos);
}
