#include "script/lib/system_library.h"

#include "script/program/script.h"

namespace kelvo {

namespace {

void AddTypes(TfsScript& s) {
  for (const char* name : {"Byte", "Word", "Integer", "Longint", "Cardinal", "TColor"})
    s.AddType(name, fvtInt);
  s.AddType("Boolean", fvtBool);
  for (const char* name : {"Real", "Single", "Double", "Extended", "Currency", "TDate", "TTime", "TDateTime"})
    s.AddType(name, fvtFloat);
  s.AddType("Char", fvtChar);
  s.AddType("String", fvtString);
  s.AddType("Variant", fvtVariant);
  s.AddType("Pointer", fvtVariant);
  s.AddType("Array", fvtArray);
  s.AddType("Constructor", fvtConstructor);
}

void AddValueTypeConstants(TfsScript& s) {
  struct {
    const char* Name;
    int Value;
  } constexpr kCodes[] = {
      {"varEmpty", varEmpty},       {"varNull", varNull},         {"varSmallint", varSmallint},
      {"varInteger", varInteger},   {"varSingle", varSingle},     {"varDouble", varDouble},
      {"varCurrency", varCurrency}, {"varDate", varDate},         {"varOleStr", varOleStr},
      {"varDispatch", varDispatch}, {"varError", varError},       {"varBoolean", varBoolean},
      {"varVariant", varVariant},   {"varUnknown", varUnknown},   {"varShortInt", varShortInt},
      {"varByte", varByte},         {"varWord", varWord},         {"varLongWord", varLongWord},
      {"varInt64", varInt64},       {"varStrArg", varStrArg},     {"varString", varString},
      {"varAny", varAny},           {"varTypeMask", varTypeMask}, {"varArray", varArray},
      {"varByRef", varByRef},
  };
  for (const auto& c : kCodes) s.AddConst(c.Name, "Integer", Variant(c.Value));
}

}  // namespace

TfsSysFunctions::TfsSysFunctions(TfsScript* script) : TfsRTTIModule(script) {
  TfsScript& s = *script;
  AddTypes(s);
  s.AddConst("True", "Boolean", Variant(true));
  s.AddConst("False", "Boolean", Variant(false));
  s.AddConst("nil", "Variant", Variant(0));
  s.AddConst("Null", "Variant", Variant::Null());
  s.Add("__StringHelper", std::make_unique<TfsStringHelper>());
  s.Add("__ArrayHelper", std::make_unique<TfsArrayHelper>("__ArrayHelper", -1, fvtVariant, ""));
  s.Add("__IndexHelper", std::make_unique<TfsValueIndexHelper>());
  s.AddVariable("ExceptionClassName", "String", Variant(std::string()));
  s.AddVariable("ExceptionMessage", "String", Variant(std::string()));
  RegisterSystemFunctions(s);
  AddValueTypeConstants(s);
}

}  // namespace kelvo
