#include "serial/uucp_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "serial/unix_fd.h"

namespace kelvo {

namespace fs = std::filesystem;

namespace {

std::string ReadSmallFile(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str().substr(0, 64);
}

bool ProcessAlive(pid_t pid) {
  // EPERM: the process exists but belongs to someone else.
  return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

// Writes this process's lock content to a new file beside the lock and links it in place, so that
// the lock appears whole or not at all. 0, EEXIST when a lock is there, or another error number.
int CreateLock(const std::string& lockPath) {
  std::string temporary = lockPath + ".tmp" + std::to_string(::getpid());
  TUniqueFd fd(
      RetryOnEintr([&] { return ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644); }));
  if (!fd.Valid()) return errno;
  char content[16];
  std::snprintf(content, sizeof content, "%10d\n", static_cast<int>(::getpid()));
  bool written = ::write(fd.Get(), content, 11) == 11;
  fd.Reset();
  int error = !written ? EIO : ::link(temporary.c_str(), lockPath.c_str()) == 0 ? 0 : errno;
  ::unlink(temporary.c_str());
  return error;
}

}  // namespace

std::string LockDirectory() {
  const char* dir = std::getenv("KELVO_LOCK_DIR");
  return dir != nullptr && *dir != '\0' ? dir : "/var/lock";
}

std::string LockFileName(const std::string& devicePath) {
  std::error_code error;
  fs::path resolved = fs::canonical(devicePath, error);
  std::string path = error ? devicePath : resolved.string();
  if (path.rfind("/dev/", 0) == 0) path.erase(0, 5);
  while (!path.empty() && path.front() == '/') path.erase(0, 1);
  for (char& c : path)
    if (c == '/') c = '_';
  return "LCK.." + path;
}

pid_t ParseLockPid(const std::string& content) {
  char* end = nullptr;
  long pid = std::strtol(content.c_str(), &end, 10);
  if (end == content.c_str() || pid <= 0 || pid > 0x3FFFFFFF) return -1;
  return static_cast<pid_t>(pid);
}

TUucpLock::TUucpLock(TUucpLock&& other) noexcept : FPath(std::move(other.FPath)) {
  other.FPath.clear();
}

TUucpLock& TUucpLock::operator=(TUucpLock&& other) noexcept {
  if (this != &other) {
    Release();
    FPath = std::move(other.FPath);
    other.FPath.clear();
  }
  return *this;
}

int TUucpLock::Acquire(const std::string& devicePath, pid_t& holder) {
  Release();
  holder = -1;
  const std::string lockPath = LockDirectory() + "/" + LockFileName(devicePath);
  // Twice at most: a stale lock is removed once, and a lock that comes back is a live one.
  for (int attempt = 0; attempt < 2; ++attempt) {
    int error = CreateLock(lockPath);
    if (error == 0) {
      FPath = lockPath;
      return 0;
    }
    if (error != EEXIST) return 0;  // the folder cannot be written: go on without a lock
    pid_t owner = ParseLockPid(ReadSmallFile(lockPath));
    if (owner == ::getpid()) return 0;  // this process holds the port already; the open decides
    if (ProcessAlive(owner)) {
      holder = owner;
      return EBUSY;
    }
    ::unlink(lockPath.c_str());  // its process is gone
  }
  return EBUSY;
}

void TUucpLock::Release() noexcept {
  if (FPath.empty()) return;
  if (ParseLockPid(ReadSmallFile(FPath)) == ::getpid()) ::unlink(FPath.c_str());
  FPath.clear();
}

}  // namespace kelvo
