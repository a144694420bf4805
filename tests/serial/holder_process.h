// A second, real process that holds a device the way another serial program would (open, with
// the exclusive mark, or with an exclusive flock) and then becomes `program` (by default sleep),
// so that /proc shows it under that program's name. It is killed when the object goes.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

namespace kelvo::testing {

class THolderProcess {
 public:
  enum class THold { Nothing, Open, Exclusive, Flock };

  THolderProcess(const std::string& device, THold how, const std::string& program = "/bin/sleep") {
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    const std::string name = program.substr(program.rfind('/') + 1);
    FPid = ::fork();
    if (FPid == 0) Child(device, how, program, name, ready[1]);
    ::close(ready[1]);
    // The write end closes at the exec: end of file means the device is held and the program runs;
    // a byte means the child failed first.
    char failed = 0;
    ssize_t n = ::read(ready[0], &failed, 1);
    ::close(ready[0]);
    if (FPid < 0 || n != 0) throw std::runtime_error("the holder process could not take " + device);
  }
  ~THolderProcess() {
    ::kill(FPid, SIGKILL);
    ::waitpid(FPid, nullptr, 0);
  }
  pid_t Pid() const { return FPid; }

 private:
  // Only async-signal-safe calls between fork and exec.
  [[noreturn]] static void Child(const std::string& device, THold how, const std::string& program,
                                 const std::string& name, int ready) {
    if (how != THold::Nothing) {
      int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
      bool held = fd >= 0;
      if (held && how == THold::Exclusive) held = ::ioctl(fd, TIOCEXCL) == 0;
      if (held && how == THold::Flock) held = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
      if (!held) {
        (void)!::write(ready, "x", 1);
        ::_exit(1);
      }
    }
    ::execl(program.c_str(), name.c_str(), "120", static_cast<char*>(nullptr));
    (void)!::write(ready, "x", 1);
    ::_exit(2);
  }

  pid_t FPid = -1;
};

}  // namespace kelvo::testing
