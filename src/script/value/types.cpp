#include "script/value/types.h"

namespace kelvo {

std::string GetFullTypeName(TfsVarType varType, const std::string& typeName) {
  switch (varType) {
    case fvtInt:
      return "Integer";
    case fvtBool:
      return "Boolean";
    case fvtFloat:
      return "Extended";
    case fvtChar:
      return "Char";
    case fvtString:
      return "String";
    case fvtClass:
      return typeName;
    case fvtArray:
      return "Array";
    case fvtVariant:
      return "Variant";
    case fvtEnum:
      return typeName;
    case fvtConstructor:
      return "Variant";
  }
  return "Variant";
}

}  // namespace kelvo
