// The program's own version, compiled in from the build's project version, as the about box shows it.
#pragma once

#include <string>
#include <string_view>

namespace kelvo {

struct TProgramVersion {
  int Major = 0;
  int Minor = 0;
  int Release = 0;
  int Build = 0;
};

// "%d.%d.%d.%d" scanned from text; missing or unreadable parts stay 0.
TProgramVersion ParseProgramVersion(std::string_view text);
// The version this build carries, or 0.0.0.0 when it carries none.
TProgramVersion ProgramVersion();
// "1.0.0.0".
std::string VersionText(const TProgramVersion& version);

}  // namespace kelvo
