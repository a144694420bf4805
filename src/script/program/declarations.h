// Type names to kinds, type compatibility, and the parser of declaration texts such as
// "function AskUserString(Caption:String, Message:String):String".
#pragma once

#include <memory>
#include <string>

#include "script/program/items.h"
#include "script/value/types.h"
#include "script/value/variant.h"

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
}  // namespace kelvo
