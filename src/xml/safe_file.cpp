#include "xml/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "text/exception.h"

namespace kelvo {
namespace {

// An open descriptor that closes itself.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : FFd(fd) {}
  ~FileDescriptor() {
    if (FFd >= 0) ::close(FFd);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return FFd; }
  int Release() { return std::exchange(FFd, -1); }

 private:
  int FFd;
};

[[noreturn]] void RaiseCreateError(const std::string& path, int err) {
  throw Exception("Cannot create file \"" + path + "\". " + std::strerror(err));
}

// The file a path finally names: symbolic links are followed so that the rename replaces the
// target, not the link.
std::string ResolveTarget(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    char buf[PATH_MAX];
    ssize_t n = ::readlink(current.c_str(), buf, sizeof buf - 1);
    if (n < 0) return current;
    std::string link(buf, static_cast<size_t>(n));
    if (!link.empty() && link[0] == '/') {
      current = link;
    } else {
      size_t slash = current.rfind('/');
      current.resize(slash == std::string::npos ? 0 : slash + 1);
      current += link;
    }
  }
  return current;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

void SyncFolder(const std::string& target) {
  size_t slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
  FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Get() >= 0) ::fsync(dir.Get());  // best effort: the rename itself is already done
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::string target = ResolveTarget(path);
  mode_t mode = 0666 & ~[] {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
  }();
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;

  std::string temp = target + ".XXXXXX";
  FileDescriptor fd(::mkstemp(temp.data()));
  if (fd.Get() < 0) RaiseCreateError(path, errno);
  int err = 0;
  if (::fchmod(fd.Get(), mode) != 0 || !WriteAll(fd.Get(), bytes) || ::fdatasync(fd.Get()) != 0) err = errno;
  if (::close(fd.Release()) != 0 && err == 0) err = errno;
  if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temp.c_str());
    RaiseCreateError(path, err == 0 ? EIO : err);
  }
  SyncFolder(target);
}

std::string ReadWholeFile(const std::string& path, size_t maxBytes) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) throw Exception("Cannot open file \"" + path + "\". " + std::strerror(errno));
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
    throw Exception("Cannot open file \"" + path + "\". Not a regular file");
  if (static_cast<size_t>(st.st_size) > maxBytes) throw Exception("File \"" + path + "\" is too large");
  std::string bytes;
  bytes.reserve(static_cast<size_t>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd.Get(), buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw Exception("Cannot read file \"" + path + "\". " + std::strerror(errno));
    if (n == 0) break;
    if (bytes.size() + static_cast<size_t>(n) > maxBytes)
      throw Exception("File \"" + path + "\" is too large");
    bytes.append(buf, static_cast<size_t>(n));
  }
  return bytes;
}

}  // namespace kelvo
