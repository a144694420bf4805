// Debian's software modem (iaxmodem) on a pseudo-terminal of its own, for end-to-end tests: its AT
// command interpreter answers on the pty without any network peer. It reads its configuration only
// from /etc/iaxmodem/, so the fixture writes a file there for the time of the test (root only).
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace kelvo::testing {

class TIaxModem {
 public:
  // Starts iaxmodem; Available() is false (and the test should skip) when it cannot run here.
  TIaxModem() {
    namespace fs = std::filesystem;
    if (::access("/usr/bin/iaxmodem", X_OK) != 0) {
      Unavailable("iaxmodem is not installed");
      return;
    }
    std::error_code ec;
    fs::create_directories("/etc/iaxmodem", ec);
    FName = "kelvo-test-" + std::to_string(::getpid());
    FConfig = "/etc/iaxmodem/" + FName;
    FDir = fs::temp_directory_path() / FName;
    fs::create_directories(FDir, ec);
    FDevice = (FDir / "ttyIAX").string();
    std::ofstream config(FConfig);
    if (!config) {
      Unavailable("cannot write " + FConfig);
      return;
    }
    // A UDP port of its own per process, on loopback only; nothing ever calls it.
    config << "device " << FDevice << "\nowner root:root\nmode 660\nport " << 40000 + ::getpid() % 20000
           << "\nrefresh 0\nserver 127.0.0.1\npeername kelvo\nsecret kelvo\ncidname kelvo\n"
           << "cidnumber 100\ncodec slinear\n";
    config.close();
    FPid = ::fork();
    if (FPid == 0) {
      std::string log = (FDir / "iaxmodem.log").string();
      std::freopen(log.c_str(), "w", stdout);
      std::freopen(log.c_str(), "a", stderr);
      ::execl("/usr/bin/iaxmodem", "iaxmodem", FName.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    // The device link appears once the modem has set up its pty.
    for (int i = 0; i < 100 && !fs::exists(FDevice); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!fs::exists(FDevice)) {
      Unavailable("iaxmodem did not create its device");
      return;
    }
    FAvailable = true;
  }

  ~TIaxModem() {
    if (FPid > 0) {
      ::kill(FPid, SIGTERM);
      int status = 0;
      ::waitpid(FPid, &status, 0);
    }
    std::error_code ec;
    if (!FConfig.empty()) std::filesystem::remove(FConfig, ec);
    if (!FDir.empty()) std::filesystem::remove_all(FDir, ec);
  }

  TIaxModem(const TIaxModem&) = delete;
  TIaxModem& operator=(const TIaxModem&) = delete;

  bool Available() const { return FAvailable; }
  const std::string& Why() const { return FWhy; }
  // The pty path to open as the port (a symbolic link to /dev/pts/N).
  const std::string& Device() const { return FDevice; }

 private:
  void Unavailable(std::string why) { FWhy = std::move(why); }

  bool FAvailable = false;
  std::string FWhy, FName, FConfig, FDevice;
  std::filesystem::path FDir;
  pid_t FPid = -1;
};

}  // namespace kelvo::testing
