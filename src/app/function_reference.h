// The reference of the functions a script can call — Kelvo's own (the modem, the user) and the
// system library's — read from the very tables the functions are registered from, so that it
// cannot drift from the engine. It is rendered as the help page of functions (at build time), as
// text for kelvo-script --functions, and serves the script editor's completion and tooltips.
// Texts here are UTF-8, as the tables hold them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/program/function_table.h"

namespace kelvo {

struct TFunctionReference {
  std::string Name;      // as declared: "Format"
  std::string Syntax;    // the declaration as registered
  std::string Category;  // "ctConv", ... for the system library; empty for Kelvo's own
  bool Host = false;     // one of Kelvo's own functions, registered for every run
  const TfsFunctionDoc* Doc = nullptr;
};

// The help page that lists the functions, beside the other help pages.
inline constexpr const char* kFunctionsPage = "kelvo-functions.html";

// Every function: Kelvo's own in registration order, then the system library's.
const std::vector<TFunctionReference>& FunctionReferences();
// The function of that name, regardless of case (as the engine finds names); none otherwise.
const TFunctionReference* FindFunctionReference(std::string_view name);

// The name a declaration text declares: the word after "function" or "procedure".
std::string DeclaredName(std::string_view syntax);
// The heading of a category in the reference ("Преобразования", ...).
std::string CategoryTitle(std::string_view category);
// The anchor of a function's entry on the functions page ("fn-format").
std::string FunctionAnchor(std::string_view name);
// The first sentence of a description, for one-line lists and tooltips (marks removed).
std::string FirstSentence(std::string_view text);

// The functions page: contents, then every function with its declaration, what it does, its
// errors, its example and what the example shows.
std::string FunctionsPageHtml();
// For a terminal: every function on one line (declaration and first sentence), by category.
std::string FunctionListText();
// For a terminal: one function whole.
std::string FunctionEntryText(const TFunctionReference& function);

}  // namespace kelvo
