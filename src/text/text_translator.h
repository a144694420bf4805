// The program's own texts in the interface's language. Every caption and message of Kelvo is written
// in the sources as a Russian UTF-8 literal and reaches the user through Ansi(), which turns it into
// the program's 8-bit text, translated first when a translator is set (the English interface sets one
// at start-up). Scripts, the library and what the modem says never pass through here.
// Threads: SetTextTranslator is called once at start-up, before any run's or port's thread starts;
// Ansi and Translate may then be called from any thread.
#pragma once

#include <string>
#include <string_view>

namespace kelvo {

// A translation of one of the program's texts: UTF-8 in, UTF-8 out; a text it does not know comes
// back unchanged.
using TTextTranslator = std::string (*)(std::string_view utf8);

// Sets the translator; null (the default) keeps every text Russian.
void SetTextTranslator(TTextTranslator translator);

// The text in the interface's language, as UTF-8.
std::string Translate(std::string_view utf8);

// The text in the interface's language, as the program's Windows-1251 text.
std::string Ansi(std::string_view utf8);

}  // namespace kelvo
