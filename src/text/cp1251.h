// Conversions between the 8-bit Windows-1251 text used inside the program and Unicode
// (UTF-8 for files and terminals, UTF-16 for the library file's document model).
// A character with no Windows-1251 form becomes '?'; malformed UTF-8 bytes become '?' too.
#pragma once

#include <string>
#include <string_view>

namespace kelvo {

// The Unicode code point of one Windows-1251 byte.
char16_t AnsiCharToUnicode(unsigned char c);
// The Windows-1251 byte of a code point, or '?' when it has none.
char UnicodeToAnsiChar(char32_t cp);

std::u16string AnsiToUtf16(std::string_view s);
std::string Utf16ToAnsi(std::u16string_view s);
std::string AnsiToUtf8(std::string_view s);
std::string Utf8ToAnsi(std::string_view s);

// UTF-8 -> UTF-16 for the edges that hold Unicode (file names, the document model).
// Malformed input becomes U+FFFD; unpaired surrogates are encoded as U+FFFD.
std::u16string Utf8ToUtf16(std::string_view s);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t cp);
// Appends the UTF-16 form of one code point (a surrogate pair above U+FFFF).
void AppendUtf16(std::u16string& out, char32_t cp);

}  // namespace kelvo
