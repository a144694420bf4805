#include "app/library_location.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "app/app_texts.h"
#include "text/cp1251.h"
#include "text/exception.h"
#include "xml/safe_file.h"

#ifndef KELVO_SHARED_DATA_DIR
#define KELVO_SHARED_DATA_DIR "/usr/local/share/kelvo"
#endif
#ifndef KELVO_BIN_TO_SHARED_DATA
#define KELVO_BIN_TO_SHARED_DATA "../share/kelvo"
#endif

namespace kelvo {

namespace fs = std::filesystem;

namespace {

// The shipped library is copied whole; a library beyond this is not a library.
constexpr size_t kMaxLibraryBytes = size_t{1} << 30;

// Present as a directory entry: a dangling link beside the program still claims the portable
// layout, so that the user learns about it instead of silently getting another library.
bool Present(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

bool IsFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

std::string HomeDir() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  const passwd* entry = ::getpwuid(::getuid());
  if (entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') return entry->pw_dir;
  return {};
}

// Makes every missing folder of dir with mode 0700, as the XDG rule asks for the user's data.
void MakeFolders(const fs::path& dir) {
  fs::path made;
  for (const fs::path& part : dir) {
    made /= part;
    std::error_code ec;
    if (fs::is_directory(made, ec)) continue;
    if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) {
      throw Exception(Utf8ToAnsi("Cannot create folder \"" + made.string() + "\". " + std::strerror(errno)));
    }
  }
}

std::string Failure(const std::string& detail) {
  return Ansi(texts::kLibraryDamaged) + "\r\n" + detail;
}

}  // namespace

std::string UserDataHome() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  std::string home = HomeDir();
  return home.empty() ? std::string() : (fs::path(home) / ".local" / "share").string();
}

std::vector<std::string> SharedDataDirs(const std::string& programDir) {
  std::vector<std::string> dirs;
  std::string beside = (fs::path(programDir) / KELVO_BIN_TO_SHARED_DATA).lexically_normal().string();
  if (!programDir.empty()) dirs.push_back(beside);
  std::string configured = fs::path(KELVO_SHARED_DATA_DIR).lexically_normal().string();
  if (dirs.empty() || dirs.front() != configured) dirs.push_back(configured);
  return dirs;
}

TLibraryPlaces LibraryPlacesFor(const std::string& programDir) {
  return {programDir, UserDataHome(), SharedDataDirs(programDir)};
}

TLibraryLocation LocateLibrary(const TLibraryPlaces& places) {
  const std::string name(texts::kLibraryFileName);
  fs::path portable = fs::path(places.ProgramDir) / name;
  if (Present(portable)) return {portable.string(), false};
  if (places.UserDataDir.empty()) {
    throw Exception(Failure(Ansi(texts::kLibraryPathsTried) + "\r\n" + Utf8ToAnsi(portable.string()) +
                            "\r\n" + Ansi(texts::kNoHomeFolder)));
  }
  fs::path user = fs::path(places.UserDataDir) / "kelvo" / name;
  if (Present(user)) return {user.string(), false};
  std::vector<std::string> tried{portable.string(), user.string()};
  for (const std::string& dir : places.SharedDirs) {
    fs::path shipped = fs::path(dir) / name;
    if (!IsFile(shipped)) {
      tried.push_back(shipped.string());
      continue;
    }
    try {
      std::string bytes = ReadWholeFile(shipped.string(), kMaxLibraryBytes);
      MakeFolders(user.parent_path());
      WriteFileAtomically(user.string(), bytes);
    } catch (const Exception& e) {
      throw Exception(Failure(Ansi(texts::kLibraryCopyFailed) +
                              Utf8ToAnsi(user.string() + " <- " + shipped.string()) + "\r\n" + e.Message()));
    }
    return {user.string(), true};
  }
  std::string list;
  for (const std::string& path : tried) list += "\r\n" + Utf8ToAnsi(path);
  throw Exception(Failure(Ansi(texts::kLibraryPathsTried) + list));
}

std::string LocateHelpFile(const TLibraryPlaces& places) {
  const std::string name(texts::kHelpFileName);
  fs::path beside = fs::path(places.ProgramDir) / name;
  if (IsFile(beside)) return beside.string();
  for (const std::string& dir : places.SharedDirs) {
    fs::path shipped = fs::path(dir) / name;
    if (IsFile(shipped)) return shipped.string();
  }
  return beside.string();
}

}  // namespace kelvo
