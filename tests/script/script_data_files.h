// The script test files under tests/script/data (KELVO_TEST_DATA): the scripts of data/js and
// data/syslib, which the script-file runner runs and the golden-tree test parses.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace kelvo::testing {

inline constexpr const char* kScriptFolders[] = {"js", "syslib"};

inline std::filesystem::path ScriptDataDir() {
  return std::filesystem::path(KELVO_TEST_DATA);
}

// Paths relative to the data folder ("js/loops.js"), sorted.
inline std::vector<std::string> ListScriptFiles() {
  std::vector<std::string> files;
  for (const char* folder : kScriptFolders) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(ScriptDataDir() / folder, ec))
      if (entry.path().extension() == ".js")
        files.push_back(std::string(folder) + "/" + entry.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace kelvo::testing
