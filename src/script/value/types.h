// The declared kinds of script items and the (kind, type name) pair that type checks work on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvo {

// Declared kind of an item; the ordinal is stored in items and type records.
enum TfsVarType : std::uint8_t {
  fvtInt,
  fvtBool,
  fvtFloat,
  fvtChar,
  fvtString,
  fvtClass,  // host object reference; TypeName is the class name
  fvtArray,
  fvtVariant,      // untyped
  fvtEnum,         // enumeration or set; TypeName names it
  fvtConstructor,  // a constructor method of a host class
};

// A kind paired with a type name of at most 32 characters (longer names are cut).
struct TfsTypeRec {
  static constexpr std::size_t MaxTypeName = 32;

  TfsVarType VarType = fvtVariant;
  std::string TypeName;

  TfsTypeRec() = default;
  TfsTypeRec(TfsVarType varType, std::string_view typeName)
      : VarType(varType), TypeName(typeName.substr(0, MaxTypeName)) {}
};

// "Integer", "Boolean", ... for the fixed kinds; the item's own type name for classes and enums.
std::string GetFullTypeName(TfsVarType varType, const std::string& typeName);

}  // namespace kelvo
