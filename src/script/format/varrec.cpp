#include "script/format/varrec.h"

#include <algorithm>

namespace kelvo {

TVarRec TVarRec::Integer(std::int32_t v) {
  TVarRec r;
  r.VInteger = v;
  return r;
}

TVarRec TVarRec::Int64(std::int64_t v) {
  TVarRec r;
  r.VType = TVarRecType::vtInt64;
  r.VInt64 = v;
  return r;
}

TVarRec TVarRec::Extended(double v) {
  TVarRec r;
  r.VType = TVarRecType::vtExtended;
  r.VExtended = v;
  return r;
}

TVarRec TVarRec::String(std::string v) {
  TVarRec r;
  r.VType = TVarRecType::vtAnsiString;
  r.VString = std::move(v);
  return r;
}

TVarRec TVarRec::Boolean(bool v) {
  TVarRec r;
  r.VType = TVarRecType::vtBoolean;
  r.VBoolean = v;
  return r;
}

TVarRec TVarRec::Char(char c) {
  TVarRec r;
  r.VType = TVarRecType::vtChar;
  r.VChar = c;
  return r;
}

TVarRec TVarRec::OfVariant(const Variant& v) {
  TVarRec r;
  r.VType = TVarRecType::vtVariant;
  r.VVariant = v;
  return r;
}

namespace {

TVarRec ElementToVarRec(const Variant& e) {
  switch (e.VarType()) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
      // A 32-bit unsigned value above the signed range keeps its bits, as the runtime's cast does.
      return TVarRec::Integer(static_cast<std::int32_t>(e.RawInt()));
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
      return TVarRec::Extended(e.RawFloat());
    case varOleStr:
    case varString:
      return TVarRec::String(e.AsString());
    case varBoolean:
      return TVarRec::Boolean(e.AsBoolean());
    case varVariant:
      return TVarRec::OfVariant(e);
    case varInt64:
      return TVarRec::Int64(e.RawInt());
    default:
      return TVarRec::Integer(0);
  }
}

}  // namespace

void VariantToVarRec(const Variant& value, TVarRecArray& args) {
  args.clear();
  if (!value.IsArray()) return;
  const std::vector<Variant>& items = value.ArrayItems();
  // Entries run over the first dimension from its low bound, so entry 0 is the first element
  // whatever the bounds; a nested dimension's elements are never read past the stored ones.
  long long span = static_cast<long long>(value.ArrayHighBound(1)) - value.ArrayLowBound(1) + 1;
  std::size_t count = std::min<std::size_t>(span > 0 ? static_cast<std::size_t>(span) : 0, items.size());
  args.reserve(count);
  for (std::size_t i = 0; i < count; ++i) args.push_back(ElementToVarRec(items[i]));
}

void ClearVarRec(TVarRecArray& args) {
  args.clear();
  args.shrink_to_fit();
}

Variant VarRecToVariant(const TVarRec& arg) {
  switch (arg.VType) {
    case TVarRecType::vtInteger:
      return Variant(static_cast<int>(arg.VInteger));
    case TVarRecType::vtObject:
      return ObjectToVariant(arg.VObject);
    case TVarRecType::vtBoolean:
      return Variant(arg.VBoolean);
    case TVarRecType::vtChar:
      return Variant(std::string(1, arg.VChar));
    case TVarRecType::vtExtended:
      return Variant(arg.VExtended);
    case TVarRecType::vtCurrency:
      return Variant::OfFloat(varCurrency, arg.VExtended);
    case TVarRecType::vtString:
    case TVarRecType::vtAnsiString:
      return Variant(arg.VString);
    case TVarRecType::vtVariant:
      return arg.VVariant;
    case TVarRecType::vtInt64:
      return Variant(arg.VInt64);
    default:
      return Variant::Null();
  }
}

}  // namespace kelvo
