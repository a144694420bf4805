// Compiling a program: the grammar-driven parser turns Lines into the intermediate tree and the
// builder turns that tree into items and statements.
#include "script/fs_script.h"
#include "text/exception.h"

#include <istream>
#include <ostream>

namespace kelvo {

bool TfsScript::Compile() {
  ErrorText.clear();
  throw Exception(FormatMessage("Language '%s' not found", {SyntaxType}));
}

bool TfsScript::GetILCode(std::ostream&) {
  ErrorText.clear();
  throw Exception(FormatMessage("Language '%s' not found", {SyntaxType}));
}

bool TfsScript::SetILCode(std::istream&) {
  ErrorText.clear();
  throw Exception("Invalid file format");
}

Variant TfsScript::Evaluate(const std::string&) {
  throw Exception(FormatMessage("Language '%s' not found", {std::string("PascalScript")}));
}

}  // namespace kelvo
