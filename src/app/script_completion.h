// Help while typing a script, without a toolkit: the word at the caret and the names that
// complete it (Kelvo's and the system library's functions, the constants and variables every
// script has, and the script's own functions and variables), the declaration of the function
// whose argument list the caret has just opened, and the help page of the word at the caret.
// Texts are Windows-1251, positions byte offsets; the script is read leniently (it is being typed).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

struct TCompletion {
  size_t Start = 0;                // where the word being completed begins
  std::string Prefix;              // the part of it before the caret
  std::vector<std::string> Names;  // the names that begin with Prefix, regardless of case, sorted
};

// The completions of the word that ends at caret (an empty prefix offers every name).
TCompletion CompleteAt(std::string_view text, size_t caret);

// The declaration to show when the caret stands just after "name(" (spaces allowed before the
// bracket): a known function's declaration as registered, or the header of a function the script
// declares itself ("function Check(a, &b)"); empty otherwise.
std::string SignatureBefore(std::string_view text, size_t caret);

// The identifier the caret stands in or just after; empty when there is none.
std::string WordAt(std::string_view text, size_t caret);

// The help page (and anchor) for a word: a function's entry on the functions page, otherwise the
// page of the JScript language.
std::string HelpTopicFor(std::string_view word);

}  // namespace kelvo
