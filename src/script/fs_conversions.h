// Type names to kinds, type compatibility, the parser of declaration texts such as
// "function AskUserString(Caption:String, Message:String):String", and literal texts to values.
#pragma once

#include <memory>
#include <string>

#include "script/fs_items.h"
#include "script/fs_types.h"
#include "script/fs_variant.h"

namespace kelvo {

class TfsScript;

// The kind of the item Find returns for the name; fvtClass when none (also for "").
TfsVarType StrToVarType(const std::string& typeName, const TfsScript* script);
// Whether a value of type2 fits where type1 is expected.
bool TypesCompatible(const TfsTypeRec& type1, const TfsTypeRec& type2, const TfsScript* script);
// Whether var2 may be assigned to var1 (a float does not go into an integer variable).
bool AssignCompatible(const TfsCustomVariable& var1, const TfsCustomVariable& var2, const TfsScript* script);
// The method item a declaration text describes, with its parameters. Malformed texts leave
// parts empty; they never fail.
std::unique_ptr<TfsCustomVariable> ParseMethodSyntax(const std::string& syntax, const TfsScript* script);
// Value of a literal as the tokenizer returns it: 'text', a whole number ("$" for hexadecimal),
// or a float with "." as decimal point. A text that is no number raises EConvertError.
Variant ParserStringToVariant(const std::string& text);

// The platform's conversion error ("'abc' is not a valid floating point value").
class EConvertError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "EConvertError"; }
};

}  // namespace kelvo
