// The commands a script sends, for the terminal's list: the text of every Send("...") whose
// argument is one string literal, in the order of the script, each once. Comments and other
// strings are skipped; Send with any other argument (a variable, a sum) is not a command to list.
// Threads: any; it keeps no state.
#pragma once

#include <string>
#include <vector>

namespace kelvo {

// script and the commands are 8-bit text. The names are matched without regard to letter case, as
// the engine matches them; a literal's escapes (\" \\ \r \n \t) are read.
std::vector<std::string> ScriptSendCommands(const std::string& script);

}  // namespace kelvo
