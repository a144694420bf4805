// Operations on two variants. The rule is picked by the pair of value classes (empty, null,
// integer, float, currency, string, boolean, date, 64-bit integer).
#include <cmath>
#include <cstring>
#include <limits>

#include "script/value/str_to_int.h"
#include "script/value/variant.h"

namespace kelvo {

namespace {

enum TVarClass { vcEmpty, vcNull, vcInt, vcFloat, vcCurr, vcStr, vcBool, vcDate, vcInt64, vcArray };

TVarClass ClassOf(const Variant& v) {
  switch (v.VarType()) {
    case varEmpty:
      return vcEmpty;
    case varNull:
      return vcNull;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
      return vcInt;
    case varLongWord:
    case varInt64:
      return vcInt64;
    case varSingle:
    case varDouble:
      return vcFloat;
    case varCurrency:
      return vcCurr;
    case varDate:
      return vcDate;
    case varBoolean:
      return vcBool;
    case varString:
    case varOleStr:
      return vcStr;
    default:
      return vcArray;  // arrays and kinds no operation accepts
  }
}

// The value zero of a class: what an empty operand stands for next to an operand of that class.
Variant ZeroOf(TVarClass c) {
  switch (c) {
    case vcFloat:
      return Variant(0.0);
    case vcCurr:
      return Variant::OfFloat(varCurrency, 0);
    case vcDate:
      return Variant::OfFloat(varDate, 0);
    case vcStr:
      return Variant(std::string());
    case vcBool:
      return Variant(false);
    case vcInt64:
      return Variant(std::int64_t{0});
    default:
      return Variant(0);
  }
}

enum class TArithOp { Add, Sub, Mul, Div, IntDiv, Mod, Shl, Shr, And, Or, Xor };

std::int32_t Wrap32(std::int64_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

// A whole number as the narrowest of the two integer kinds that holds it.
Variant IntegerResult(std::int64_t v) {
  if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max())
    return Variant(static_cast<int>(v));
  return Variant(v);
}

// Sums, differences and products never wrap: a result beyond 32 bits is a 64-bit integer (two
// 32-bit operands always fit there), one beyond 64 bits a float.
Variant WideningOp(std::int64_t a, std::int64_t b, TArithOp op) {
  std::int64_t r = 0;
  bool overflow = false;
  switch (op) {
    case TArithOp::Add:
      overflow = __builtin_add_overflow(a, b, &r);
      break;
    case TArithOp::Sub:
      overflow = __builtin_sub_overflow(a, b, &r);
      break;
    default:
      overflow = __builtin_mul_overflow(a, b, &r);
      break;
  }
  if (!overflow) return IntegerResult(r);
  const auto x = static_cast<double>(a);
  const auto y = static_cast<double>(b);
  return Variant(op == TArithOp::Add ? x + y : op == TArithOp::Sub ? x - y : x * y);
}

Variant IntegerOp32(std::int32_t a, std::int32_t b, TArithOp op) {
  const auto ua = static_cast<std::uint32_t>(a);
  const auto ub = static_cast<std::uint32_t>(b);
  switch (op) {
    case TArithOp::Add:
    case TArithOp::Sub:
    case TArithOp::Mul:
      return WideningOp(a, b, op);
    case TArithOp::IntDiv:
      if (b == 0) throw EDivByZero();
      if (a == std::numeric_limits<std::int32_t>::min() && b == -1) return Variant(a);
      return Variant(a / b);
    case TArithOp::Mod:
      if (b == 0) throw EDivByZero();
      if (b == -1) return Variant(0);
      return Variant(a % b);
    case TArithOp::Shl:
      return Variant(static_cast<int>(static_cast<std::int32_t>(ua << (ub & 31))));
    case TArithOp::Shr:
      return Variant(static_cast<int>(static_cast<std::int32_t>(ua >> (ub & 31))));
    case TArithOp::And:
      return Variant(static_cast<int>(a & b));
    case TArithOp::Or:
      return Variant(static_cast<int>(a | b));
    case TArithOp::Xor:
      return Variant(static_cast<int>(a ^ b));
    case TArithOp::Div:
      break;
  }
  return Variant();
}

Variant IntegerOp64(std::int64_t a, std::int64_t b, TArithOp op) {
  const auto ua = static_cast<std::uint64_t>(a);
  const auto ub = static_cast<std::uint64_t>(b);
  auto v = [](std::uint64_t x) { return Variant(static_cast<std::int64_t>(x)); };
  switch (op) {
    case TArithOp::Add:
    case TArithOp::Sub:
    case TArithOp::Mul: {
      // A 64-bit operand keeps its kind when the result is small again.
      Variant r = WideningOp(a, b, op);
      return r.VarType() == varInteger ? Variant(r.RawInt()) : r;
    }
    case TArithOp::IntDiv:
      if (b == 0) throw EDivByZero();
      if (a == std::numeric_limits<std::int64_t>::min() && b == -1) return Variant(a);
      return Variant(a / b);
    case TArithOp::Mod:
      if (b == 0) throw EDivByZero();
      if (b == -1) return Variant(std::int64_t{0});
      return Variant(a % b);
    case TArithOp::Shl:
      return v(ua << (ub & 63));
    case TArithOp::Shr:
      return v(ua >> (ub & 63));
    case TArithOp::And:
      return v(ua & ub);
    case TArithOp::Or:
      return v(ua | ub);
    case TArithOp::Xor:
      return v(ua ^ ub);
    case TArithOp::Div:
      break;
  }
  return Variant();
}

double FloatOp(double a, double b, TArithOp op) {
  switch (op) {
    case TArithOp::Add:
      return a + b;
    case TArithOp::Sub:
      return a - b;
    case TArithOp::Mul:
      return a * b;
    default:
      if (b == 0) throw EZeroDivide();
      return a / b;
  }
}

bool IsIntegerOnlyOp(TArithOp op) {
  return op != TArithOp::Add && op != TArithOp::Sub && op != TArithOp::Mul && op != TArithOp::Div;
}

Variant IntegerRule(const Variant& a, const Variant& b, TVarClass ca, TVarClass cb, TArithOp op) {
  if (ca == vcInt64 || cb == vcInt64) return IntegerOp64(a.AsInt64(), b.AsInt64(), op);
  // A float or string operand that holds a big number still reaches 64 bits safely first.
  return IntegerOp32(Wrap32(a.AsInt64()), Wrap32(b.AsInt64()), op);
}

Variant BinaryOp(const Variant& left, const Variant& right, TArithOp op) {
  TVarClass ca = ClassOf(left), cb = ClassOf(right);
  if (ca == vcNull || cb == vcNull || ca == vcArray || cb == vcArray) throw EVariantInvalidOpError();
  if (ca == vcEmpty && cb == vcEmpty) return Variant();
  Variant za, zb;
  const Variant* a = &left;
  const Variant* b = &right;
  if (ca == vcEmpty) {
    za = ZeroOf(cb);
    a = &za;
    ca = cb;
  } else if (cb == vcEmpty) {
    zb = ZeroOf(ca);
    b = &zb;
    cb = ca;
  }
  if (op == TArithOp::Add && ca == vcStr && cb == vcStr) return Variant(a->RawString() + b->RawString());
  if (op == TArithOp::And || op == TArithOp::Or || op == TArithOp::Xor) {
    bool logical = (ca == vcBool && (cb == vcBool || cb == vcStr)) || (cb == vcBool && ca == vcStr);
    if (logical) {
      bool x = a->AsBoolean(), y = b->AsBoolean();
      return Variant(op == TArithOp::And ? (x && y) : op == TArithOp::Or ? (x || y) : (x != y));
    }
  }
  if (IsIntegerOnlyOp(op)) return IntegerRule(*a, *b, ca, cb, op);
  if (ca == vcCurr || cb == vcCurr) {
    double r = FloatOp(a->AsFloat(), b->AsFloat(), op);
    return op == TArithOp::Div ? Variant(r) : Variant::OfFloat(varCurrency, r);
  }
  if (ca == vcDate || cb == vcDate) {
    double r = FloatOp(a->AsFloat(), b->AsFloat(), op);
    bool dateResult = (op == TArithOp::Add) || (op == TArithOp::Sub && !(ca == vcDate && cb == vcDate));
    return dateResult ? Variant::OfFloat(varDate, r) : Variant(r);
  }
  if (op == TArithOp::Div || ca == vcFloat || cb == vcFloat || ca == vcStr || cb == vcStr)
    return Variant(FloatOp(a->AsFloat(), b->AsFloat(), op));
  return IntegerRule(*a, *b, ca, cb, op);
}

// A declared integer type does not say 32 bits: a 64-bit value (StrToInt64's result, a literal
// beyond 32 bits) keeps the variant arithmetic, which computes in 64 bits and widens beyond.
bool HasInt64(const Variant& a, const Variant& b) {
  return a.VarType() == varInt64 || b.VarType() == varInt64;
}

}  // namespace

Variant VarAddAny(const Variant& a, const Variant& b) {
  if (a.VarType() == varInteger && b.VarType() == varInteger) return IntegerResult(a.RawInt() + b.RawInt());
  return BinaryOp(a, b, TArithOp::Add);
}
Variant VarSubAny(const Variant& a, const Variant& b) {
  if (a.VarType() == varInteger && b.VarType() == varInteger) return IntegerResult(a.RawInt() - b.RawInt());
  return BinaryOp(a, b, TArithOp::Sub);
}
Variant VarMulAny(const Variant& a, const Variant& b) {
  return BinaryOp(a, b, TArithOp::Mul);
}
Variant VarDiv(const Variant& a, const Variant& b) {
  return BinaryOp(a, b, TArithOp::Div);
}
Variant VarIntDivAny(const Variant& a, const Variant& b) {
  return BinaryOp(a, b, TArithOp::IntDiv);
}
Variant VarModAny(const Variant& a, const Variant& b) {
  return BinaryOp(a, b, TArithOp::Mod);
}
Variant VarShl(const Variant& a, const Variant& b) {
  return BinaryOp(a, b, TArithOp::Shl);
}
Variant VarShr(const Variant& a, const Variant& b) {
  return BinaryOp(a, b, TArithOp::Shr);
}
Variant VarAnd(const Variant& a, const Variant& b) {
  return BinaryOp(a, b, TArithOp::And);
}
Variant VarOr(const Variant& a, const Variant& b) {
  return BinaryOp(a, b, TArithOp::Or);
}
Variant VarXor(const Variant& a, const Variant& b) {
  return BinaryOp(a, b, TArithOp::Xor);
}

Variant VarAdd32Any(const Variant& a, const Variant& b) {
  if (HasInt64(a, b)) return BinaryOp(a, b, TArithOp::Add);
  return Variant(Wrap32(std::int64_t{Int32Of(a)} + Int32Of(b)));
}
Variant VarSub32Any(const Variant& a, const Variant& b) {
  if (HasInt64(a, b)) return BinaryOp(a, b, TArithOp::Sub);
  return Variant(Wrap32(std::int64_t{Int32Of(a)} - Int32Of(b)));
}
Variant VarMul32Any(const Variant& a, const Variant& b) {
  if (HasInt64(a, b)) return BinaryOp(a, b, TArithOp::Mul);
  return Variant(Wrap32(std::int64_t{Int32Of(a)} * Int32Of(b)));
}

void VarAddInPlace(Variant& a, const Variant& b) {
  if (a.VarType() == varString && b.VarType() == varString) {
    a.AppendString(b.RawString());
    return;
  }
  a = VarAdd(a, b);
}

Variant VarNeg(const Variant& a) {
  switch (ClassOf(a)) {
    case vcEmpty:
      return Variant();
    case vcInt:
      return IntegerResult(-a.RawInt());
    case vcInt64:
      if (a.RawInt() == std::numeric_limits<std::int64_t>::min())
        return Variant(-static_cast<double>(a.RawInt()));
      return Variant(-a.RawInt());
    case vcFloat:
      return Variant(-a.RawFloat());
    case vcCurr:
    case vcDate:
      return Variant::OfFloat(a.VarType(), -a.RawFloat());
    case vcBool:
      return Variant(Wrap32(-a.AsInt64()));
    case vcStr:
      return Variant(-a.AsFloat());
    default:
      throw EVariantInvalidOpError();
  }
}

Variant VarNot(const Variant& a) {
  switch (ClassOf(a)) {
    case vcEmpty:
      return Variant(-1);
    case vcBool:
      return Variant(!a.AsBoolean());
    case vcInt64:
      return Variant(~a.RawInt());
    case vcInt:
    case vcFloat:
    case vcCurr:
    case vcDate:
      return Variant(~Wrap32(a.AsInt64()));
    case vcStr: {
      // A text that reads as a boolean is negated logically, any other as a number bitwise.
      std::int64_t i;
      double d;
      if (TryTextToInt64(a.RawString(), i) || TryTextToFloat(a.RawString(), d))
        return Variant(~Wrap32(a.AsInt64()));
      return Variant(!a.AsBoolean());
    }
    default:
      throw EVariantInvalidOpError();
  }
}

namespace {

template <class T>
bool Compare3(T a, T b, TVarCompareOp op) {
  switch (op) {
    case TVarCompareOp::Eq:
      return a == b;
    case TVarCompareOp::NonEq:
      return a != b;
    case TVarCompareOp::Less:
      return a < b;
    case TVarCompareOp::LessEq:
      return a <= b;
    case TVarCompareOp::Great:
      return a > b;
    case TVarCompareOp::GreatEq:
      return a >= b;
  }
  return false;
}

bool IsNumberClass(TVarClass c) {
  return c == vcInt || c == vcInt64 || c == vcFloat || c == vcCurr || c == vcDate;
}

}  // namespace

bool VarCompareAny(const Variant& left, const Variant& right, TVarCompareOp op) {
  TVarClass ca = ClassOf(left), cb = ClassOf(right);
  if (ca == vcNull || cb == vcNull) {
    if (op == TVarCompareOp::Eq) return ca == cb;
    if (op == TVarCompareOp::NonEq) return ca != cb;
    throw EVariantInvalidOpError();
  }
  if (ca == vcArray || cb == vcArray) throw EVariantInvalidOpError();
  if (ca == vcEmpty && cb == vcEmpty) return Compare3(0, 0, op);
  Variant za, zb;
  const Variant* a = &left;
  const Variant* b = &right;
  if (ca == vcEmpty) {
    za = ZeroOf(cb);
    a = &za;
    ca = cb;
  } else if (cb == vcEmpty) {
    zb = ZeroOf(ca);
    b = &zb;
    cb = ca;
  }
  if (ca == vcStr && cb == vcStr) {
    // Byte values decide, with case: std::string compares as unsigned characters.
    return Compare3(a->RawString().compare(b->RawString()), 0, op);
  }
  if (ca == vcBool && (cb == vcBool || cb == vcStr)) return Compare3(a->AsBoolean(), b->AsBoolean(), op);
  if (cb == vcBool && ca == vcStr) return Compare3(a->AsBoolean(), b->AsBoolean(), op);
  bool integral =
      (ca == vcInt || ca == vcInt64 || ca == vcBool) && (cb == vcInt || cb == vcInt64 || cb == vcBool);
  if (integral) return Compare3(a->AsInt64(), b->AsInt64(), op);
  if (IsNumberClass(ca) || IsNumberClass(cb) || ca == vcBool || cb == vcBool)
    return Compare3(a->AsFloat(), b->AsFloat(), op);
  throw EVariantInvalidOpError();
}

}  // namespace kelvo
