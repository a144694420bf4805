#include "app/script_completion.h"

#include <algorithm>

#include "app/function_reference.h"
#include "text/ansi_text.h"

namespace kelvo {

namespace {

// Identifier characters: Latin letters, digits, '_' and the Cyrillic letters of Windows-1251.
bool IsIdentChar(char c) {
  auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
         u >= 0xC0 || u == 0xA8 || u == 0xB8;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Words of the two languages that are not names.
constexpr std::string_view kKeywords[] = {
    "break", "case",     "continue", "default", "delete", "do",     "else",    "except", "finally",
    "for",   "function", "import",   "in",      "is",     "if",     "new",     "return", "switch",
    "try",   "var",      "while",    "with",    "div",    "define", "include", "exit",   "language"};

// The constants and variables every script has besides the functions: the ones a script author
// writes (the value-type codes are left to the reference).
constexpr std::string_view kConstants[] = {
    "True", "False", "Null", "nil", "ExceptionMessage", "ExceptionClassName", "DefaultReadTimeout"};

bool IsKeyword(std::string_view word) {
  for (std::string_view k : kKeywords)
    if (AnsiSameText(word, k)) return true;
  return false;
}

// Calls found(begin, end) for every identifier outside strings and comments.
template <class F>
void ForEachIdentifier(std::string_view text, F&& found) {
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '"') {
      for (++i; i < text.size() && text[i] != '"'; ++i)
        if (text[i] == '\\') ++i;
      ++i;
    } else if (text.substr(i, 2) == "//") {
      i = text.find('\n', i);
      if (i == std::string_view::npos) return;
    } else if (text.substr(i, 2) == "/*") {
      i = text.find("*/", i + 2);
      if (i == std::string_view::npos) return;
      i += 2;
    } else if (IsIdentChar(c)) {
      size_t start = i;
      while (i < text.size() && IsIdentChar(text[i])) ++i;
      if (!IsDigit(text[start])) found(start, i);
    } else {
      ++i;
    }
  }
}

bool StartsWithIgnoringCase(std::string_view name, std::string_view prefix) {
  return name.size() >= prefix.size() && AnsiSameText(name.substr(0, prefix.size()), prefix);
}

// The header "function NAME(...)" of a function the script declares, or empty.
std::string ScriptFunctionHeader(std::string_view text, std::string_view name) {
  std::string header;
  ForEachIdentifier(text, [&](size_t begin, size_t end) {
    if (!header.empty() || !AnsiSameText(text.substr(begin, end - begin), "function")) return;
    size_t p = end;
    while (p < text.size() && text[p] == ' ') ++p;
    size_t nameEnd = p;
    while (nameEnd < text.size() && IsIdentChar(text[nameEnd])) ++nameEnd;
    if (!AnsiSameText(text.substr(p, nameEnd - p), name)) return;
    size_t close = text.find(')', nameEnd);
    if (close == std::string_view::npos ||
        text.substr(nameEnd, close - nameEnd).find('\n') != std::string_view::npos)
      return;
    header = std::string(text.substr(begin, close + 1 - begin));
  });
  return header;
}

}  // namespace

TCompletion CompleteAt(std::string_view text, size_t caret) {
  caret = std::min(caret, text.size());
  TCompletion c;
  c.Start = caret;
  while (c.Start > 0 && IsIdentChar(text[c.Start - 1])) --c.Start;
  c.Prefix = std::string(text.substr(c.Start, caret - c.Start));
  std::vector<std::string> names;
  for (const TFunctionReference& f : FunctionReferences()) names.push_back(f.Name);
  for (std::string_view k : kConstants) names.emplace_back(k);
  ForEachIdentifier(text, [&](size_t begin, size_t end) {
    if (begin == c.Start) return;  // the word being typed is not a name yet
    std::string_view word = text.substr(begin, end - begin);
    if (!IsKeyword(word)) names.emplace_back(word);
  });
  for (const std::string& name : names) {
    if (!StartsWithIgnoringCase(name, c.Prefix)) continue;
    bool known = std::any_of(c.Names.begin(), c.Names.end(),
                             [&](const std::string& n) { return AnsiSameText(n, name); });
    if (!known) c.Names.push_back(name);  // the first spelling wins: the declared one
  }
  std::stable_sort(c.Names.begin(), c.Names.end(),
                   [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; });
  return c;
}

std::string SignatureBefore(std::string_view text, size_t caret) {
  caret = std::min(caret, text.size());
  if (caret == 0 || text[caret - 1] != '(') return {};
  size_t end = caret - 1;
  while (end > 0 && text[end - 1] == ' ') --end;
  size_t start = end;
  while (start > 0 && IsIdentChar(text[start - 1])) --start;
  if (start == end) return {};
  std::string_view name = text.substr(start, end - start);
  if (const TFunctionReference* f = FindFunctionReference(name)) return f->Syntax;
  return ScriptFunctionHeader(text, name);
}

std::string WordAt(std::string_view text, size_t caret) {
  caret = std::min(caret, text.size());
  size_t start = caret, end = caret;
  while (start > 0 && IsIdentChar(text[start - 1])) --start;
  while (end < text.size() && IsIdentChar(text[end])) ++end;
  return std::string(text.substr(start, end - start));
}

std::string HelpTopicFor(std::string_view word) {
  if (const TFunctionReference* f = FindFunctionReference(word))
    return std::string(kFunctionsPage) + "#" + FunctionAnchor(f->Name);
  return "kelvo-jscript.html";
}

}  // namespace kelvo
