// The string rules of the system library's functions: positions count from 1, and every
// position or count outside the text is clamped or ignored as each function's rule says, so
// no script value can index outside a string.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvo {

// Up to count characters from position from (below 1 counts as 1); empty when from is past the
// end or count <= 0.
std::string ScriptCopy(std::string_view s, std::int64_t from, std::int64_t count);
// Position of the first occurrence, 0 when none or when substr is empty.
std::int64_t ScriptPos(std::string_view substr, std::string_view s);
// Removes up to count characters from position from; nothing when from is outside the text or
// count <= 0.
void ScriptDelete(std::string& s, std::int64_t from, std::int64_t count);
// Inserts before position pos; below 1 at the start, past the end appended.
void ScriptInsert(std::string_view s, std::string& s2, std::int64_t pos);
// Lower case, then upper case for the first character and every character after a blank.
std::string NameCase(std::string_view s);

// The longest text SetLength makes; longer requests are errors rather than allocation failures.
inline constexpr std::int64_t MaxScriptStringLength = std::int64_t{1} << 26;
// Cuts or extends (with blanks) to length characters; a negative length empties the text.
// Raises the engine's error when length is above MaxScriptStringLength.
void ScriptSetLength(std::string& s, std::int64_t length);

}  // namespace kelvo
