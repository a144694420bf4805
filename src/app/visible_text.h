// How text that came from a modem is shown: every control character becomes its name in angle
// brackets (<NUL>, <ESC>, <BEL>, <DEL>, and <SOS> for the byte 0x98 that Windows-1251 leaves
// unassigned), so that a device can neither cut a log line short nor drive the user's terminal.
// Every log view, log file and printed output shows modem text through these two functions.
#pragma once

#include <string>
#include <string_view>

namespace kelvo {

// One line: every control character escaped, line breaks included.
std::string VisibleText(std::string_view text);
// A message that may span lines: CR LF, CR and LF stay line breaks (as CR LF); every other
// control character is escaped.
std::string VisibleMessage(std::string_view text);
// VisibleMessage as UTF-8 with LF line breaks, for a terminal or a text file.
std::string VisibleUtf8(std::string_view text);

}  // namespace kelvo
