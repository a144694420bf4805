// Case mapping, case-insensitive comparison and trimming of 8-bit Windows-1251 text, as the
// system's locale does them: Cyrillic letters (with Ё/ё and the other Slavic letters of the code
// page) have case, and comparison orders letters alphabetically, Ё right after Е.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kelvo {

char AnsiUpperChar(char c);
char AnsiLowerChar(char c);
// The upper case of every byte, indexed by the byte as unsigned: for loops that fold the case of
// many characters without a call each.
const std::array<char, 256>& AnsiUpperTable();
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);

// Only the ASCII letters change (the runtime's UpperCase/LowerCase).
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);

// Negative, zero or positive, comparing letter by letter without regard to case.
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

// Trimming removes characters up to and including the space (control characters too).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

}  // namespace kelvo
