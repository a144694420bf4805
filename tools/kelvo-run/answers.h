// The answers that an unattended run gives to the script's questions: given on the command line,
// read from a file one per line, or from a file per port in a folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kelvo {

// The lines of a UTF-8 text file as 8-bit answers, without their line breaks (LF or CR LF); a last
// line without its line break counts, the empty text after a last line break does not. Raises
// Exception with the file and the system's reason when it cannot be read.
std::vector<std::string> ReadAnswersFile(const std::string& path);

// The file in dir that holds the answers of port (named after the port: "ttyUSB3" for ttyUSB3 and
// for /dev/ttyUSB3), when there is one.
std::optional<std::string> PortAnswersFile(const std::string& dir, const std::string& port);

}  // namespace kelvo
