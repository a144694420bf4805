#include "app/program_version.h"

#include <cstdio>
#include <string>

namespace kelvo {

TProgramVersion ParseProgramVersion(std::string_view text) {
  TProgramVersion v;
  std::string copy(text);
  std::sscanf(copy.c_str(), "%d.%d.%d.%d", &v.Major, &v.Minor, &v.Release, &v.Build);
  return v;
}

TProgramVersion ProgramVersion() {
#ifdef KELVO_VERSION
  return ParseProgramVersion(KELVO_VERSION);
#else
  return {};
#endif
}

std::string VersionText(const TProgramVersion& v) {
  return std::to_string(v.Major) + "." + std::to_string(v.Minor) + "." + std::to_string(v.Release) + "." +
         std::to_string(v.Build);
}

}  // namespace kelvo
