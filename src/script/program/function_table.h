// A table of the script functions a library or a host offers: one entry per function with its
// declaration as registered, its category, the handler that serves it and its reference text.
// The entry is the one place a function is named: registration binds the entry's own handler to
// the function's method item, so a call reaches its handler without looking the name up again,
// and the help and the editor read their texts from the same entries.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace kelvo {

// The reference entry of a function, in UTF-8. The engine never reads it; the help pages,
// kelvo-script --functions and the script editor show it.
struct TfsFunctionDoc {
  const char* Text = "";     // what the function does
  const char* Errors = "";   // the errors it raises itself; empty when it raises none
  const char* Example = "";  // a JScript example that shows its results with Print(...)
  const char* Output = "";   // what the example prints: one line per Print, joined by "\n"
};

// One function: Serve is the table's own handler type (the system library passes the method
// item, a host its own object as well).
template <class THandler>
struct TfsFunctionEntry {
  const char* Syntax;    // the declaration text, as AddMethod receives it
  const char* Category;  // "ctConv", "ctString", ...; empty for a host's functions
  THandler Serve;
  TfsFunctionDoc Doc;
};

// What a reader of the reference needs of an entry, whatever its handler's type.
struct TfsFunctionInfo {
  std::string_view Syntax;
  std::string_view Category;
  const TfsFunctionDoc* Doc;
};

template <class THandler>
std::vector<TfsFunctionInfo> DescribeFunctions(std::span<const TfsFunctionEntry<THandler>> table) {
  std::vector<TfsFunctionInfo> out;
  out.reserve(table.size());
  for (const TfsFunctionEntry<THandler>& e : table) out.push_back({e.Syntax, e.Category, &e.Doc});
  return out;
}

}  // namespace kelvo
