// Library files for the tests: written into a temporary folder as UTF-8 with a byte-order mark.
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <string>

#include "xml/temp_dir.h"

namespace kelvo::testing {

inline const std::string kBom = "\xEF\xBB\xBF";
inline const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// A file of the library's exact shape around body, the root's children (each on its own lines).
inline std::string LibraryText(const std::string& body, const std::string& rootAttributes = "") {
  return kBom + kDecl + "<Modems" + rootAttributes + ">\r\n" + body + "</Modems>";
}

// While alive, the disk refuses to take more than a few bytes of any file: writes fail half-way, as
// on a full or read-only disk, whoever runs the test.
class TDiskRefusesWrites {
 public:
  TDiskRefusesWrites() {
    FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &FOld);
    rlimit tiny = FOld;
    tiny.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &tiny);
  }
  ~TDiskRefusesWrites() {
    ::setrlimit(RLIMIT_FSIZE, &FOld);
    std::signal(SIGXFSZ, FOldHandler);
  }

 private:
  rlimit FOld{};
  void (*FOldHandler)(int) = nullptr;
};

}  // namespace kelvo::testing
