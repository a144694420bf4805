// The engine's value type: a tagged value that is empty, null, an integer of one of the integer
// kinds, a float (single, double, currency, date), a boolean, an 8-bit string or an array of
// variants with one or more dimensions and their bounds; and every operation scripts apply to it.
//
// Design: numbers live inline; strings and arrays are shared, reference-counted payloads with
// copy-on-write, so copying a variant is cheap, an assignment still behaves as a copy, and writing
// into a value whose payload has a single owner (an element store, a string append) happens in
// place without copying the payload.
#pragma once

#include <climits>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/exception.h"

namespace kelvo {

// Kind codes as the script function VarType reports them.
using TVarType = std::uint16_t;
inline constexpr TVarType varEmpty = 0;
inline constexpr TVarType varNull = 1;
inline constexpr TVarType varSmallint = 2;
inline constexpr TVarType varInteger = 3;
inline constexpr TVarType varSingle = 4;
inline constexpr TVarType varDouble = 5;
inline constexpr TVarType varCurrency = 6;
inline constexpr TVarType varDate = 7;
inline constexpr TVarType varOleStr = 8;
inline constexpr TVarType varDispatch = 9;
inline constexpr TVarType varError = 10;
inline constexpr TVarType varBoolean = 11;
inline constexpr TVarType varVariant = 12;
inline constexpr TVarType varUnknown = 13;
inline constexpr TVarType varShortInt = 16;
inline constexpr TVarType varByte = 17;
inline constexpr TVarType varWord = 18;
inline constexpr TVarType varLongWord = 19;
inline constexpr TVarType varInt64 = 20;
inline constexpr TVarType varStrArg = 72;
inline constexpr TVarType varString = 256;
inline constexpr TVarType varAny = 257;
inline constexpr TVarType varTypeMask = 0x0FFF;
inline constexpr TVarType varArray = 0x2000;
inline constexpr TVarType varByRef = 0x4000;

// Errors of the variant layer; all belong to the engine's general error family.
class EVariantError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "EVariantError"; }
};
class EVariantInvalidOpError : public EVariantError {
 public:
  EVariantInvalidOpError() : EVariantError("Invalid variant operation") {}
  const char* ClassName() const noexcept override { return "EVariantInvalidOpError"; }
};
class EVariantTypeCastError : public EVariantError {
 public:
  EVariantTypeCastError(TVarType from, TVarType to);
  const char* ClassName() const noexcept override { return "EVariantTypeCastError"; }
};
class EVariantBadIndexError : public EVariantError {
 public:
  EVariantBadIndexError() : EVariantError("Variant or safe array index out of bounds") {}
  const char* ClassName() const noexcept override { return "EVariantBadIndexError"; }
};
class EDivByZero : public Exception {
 public:
  EDivByZero() : Exception("Division by zero") {}
  const char* ClassName() const noexcept override { return "EDivByZero"; }
};
class EZeroDivide : public Exception {
 public:
  EZeroDivide() : Exception("Floating point division by zero") {}
  const char* ClassName() const noexcept override { return "EZeroDivide"; }
};

// Name of a kind code as conversion errors show it ("Integer", "String", "Array Variant").
std::string VarTypeAsText(TVarType type);

class Variant;
class TfsHostObject;

// Bounds of one dimension of a variant array.
struct TVarArrayBound {
  int LowBound = 0;
  int HighBound = -1;
};

// The shared payload of an array value: bounds and elements in row-major order.
struct TVarArrayData {
  std::vector<TVarArrayBound> Bounds;
  std::vector<Variant> Items;
};

class Variant {
 public:
  Variant() noexcept : FType(varEmpty) { FData.Int = 0; }
  Variant(int value) noexcept : FType(varInteger) { FData.Int = value; }
  Variant(std::int64_t value) noexcept : FType(varInt64) { FData.Int = value; }
  Variant(double value) noexcept : FType(varDouble) { FData.Float = value; }
  Variant(bool value) noexcept : FType(varBoolean) { FData.Int = value ? 1 : 0; }
  Variant(std::string value);
  Variant(std::string_view value) : Variant(std::string(value)) {}
  Variant(const char* value) : Variant(std::string(value)) {}

  Variant(const Variant&) = default;
  // Numbers carry no payload: their copy is two plain stores, with no reference count touched.
  // Assigning a variant to itself stores its own fields again, which is harmless.
  Variant& operator=(const Variant& other) {  // NOLINT(bugprone-unhandled-self-assignment)
    FType = other.FType;
    FData = other.FData;
    if (FRef || other.FRef) FRef = other.FRef;
    return *this;
  }
  // A moved-from variant is empty, never a string or array without its payload.
  Variant(Variant&& other) noexcept : FType(other.FType), FData(other.FData), FRef(std::move(other.FRef)) {
    other.FType = varEmpty;
  }
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      FType = other.FType;
      FData = other.FData;
      if (FRef || other.FRef) FRef = std::move(other.FRef);
      other.FType = varEmpty;
    }
    return *this;
  }

  void Swap(Variant& other) noexcept {
    std::swap(FType, other.FType);
    std::swap(FData, other.FData);
    FRef.swap(other.FRef);
  }

  static Variant Null() noexcept {
    Variant v;
    v.FType = varNull;
    return v;
  }
  // An integer of a given integer kind (varByte, varWord, ...); the value is cut to that kind.
  static Variant OfInteger(TVarType kind, std::int64_t value);
  // A float of a given float kind (varSingle, varDouble, varCurrency, varDate).
  static Variant OfFloat(TVarType kind, double value);
  // An array of variants with the given bounds per dimension; every element starts empty.
  static Variant CreateArray(std::span<const TVarArrayBound> bounds);
  static Variant CreateArray(int lowBound, int highBound);

  TVarType VarType() const noexcept { return FType; }
  bool IsEmpty() const noexcept { return FType == varEmpty; }
  bool IsNull() const noexcept { return FType == varNull; }
  bool IsArray() const noexcept { return (FType & varArray) != 0; }
  bool IsString() const noexcept { return FType == varString; }
  bool IsOrdinal() const noexcept;  // any integer kind
  bool IsFloat() const noexcept;    // single, double, currency, date
  bool IsNumeric() const noexcept { return IsOrdinal() || IsFloat(); }

  // Conversions; each raises EVariantTypeCastError when the value does not convert.
  std::int32_t AsInteger() const;
  std::int64_t AsInt64() const;
  double AsFloat() const;
  bool AsBoolean() const;
  std::string AsString() const;  // null gives the empty text

  // Direct access for the fast paths; only valid for the matching kind.
  std::int64_t RawInt() const noexcept { return FData.Int; }
  double RawFloat() const noexcept { return FData.Float; }
  const std::string& RawString() const noexcept;

  // a := a + delta where a is a 32-bit integer and the sum stays one: done in place, true. False,
  // and the value unchanged, for any other value or sum (the caller takes the general path).
  bool TryAddInteger(std::int64_t delta) noexcept {
    if (FType != varInteger) return false;
    std::int64_t r = FData.Int + delta;
    if (r < INT32_MIN || r > INT32_MAX) return false;
    FData.Int = r;
    return true;
  }

  // Strings: appending or changing a character copies the text only when it is shared.
  void AppendString(std::string_view text);
  // Character i (1-based); an index outside 1..length raises EVariantBadIndexError.
  char GetChar(std::int64_t index) const;
  void SetChar(std::int64_t index, char c);

  // Arrays. Dimensions count from 1 as in the script functions VarArrayLowBound/HighBound.
  int ArrayDimCount() const noexcept;
  int ArrayLowBound(int dim) const;
  int ArrayHighBound(int dim) const;
  // An element by one index per dimension; out-of-range indexes raise EVariantBadIndexError.
  const Variant& GetElement(std::span<const std::int64_t> indexes) const;
  void PutElement(std::span<const std::int64_t> indexes, const Variant& value);
  // A writable element (the array is unshared first).
  Variant& ElementRef(std::span<const std::int64_t> indexes);
  // Changes the high bound of dimension 1, keeping every element that stays inside the bounds.
  void ArrayRedim(int highBound);
  // Elements in storage order, for walking one-dimensional arrays.
  const std::vector<Variant>& ArrayItems() const;

 private:
  TVarType FType;
  union {
    std::int64_t Int;
    double Float;
  } FData;
  std::shared_ptr<void> FRef;  // std::string for varString, TVarArrayData for arrays

  const TVarArrayData& ArrayData() const;
  TVarArrayData& MutableArray();
  std::string& MutableString();
  std::size_t ElementOffset(std::span<const std::int64_t> indexes) const;
};

// Arithmetic and logic on two variants, by the pairing rules of the engine. The general rules
// live in variant_ops.cpp (the *Any forms); the forms below serve two 32-bit integers, by far the
// most common pair in scripts, inline and fall back to them for any other pair.
Variant VarAddAny(const Variant& a, const Variant& b);
Variant VarSubAny(const Variant& a, const Variant& b);
Variant VarMulAny(const Variant& a, const Variant& b);
Variant VarIntDivAny(const Variant& a, const Variant& b);
Variant VarModAny(const Variant& a, const Variant& b);
Variant VarDiv(const Variant& a, const Variant& b);  // always floating
Variant VarShl(const Variant& a, const Variant& b);
Variant VarShr(const Variant& a, const Variant& b);
Variant VarAnd(const Variant& a, const Variant& b);
Variant VarOr(const Variant& a, const Variant& b);
Variant VarXor(const Variant& a, const Variant& b);

// A whole number as the narrowest of the two integer kinds that holds it.
inline Variant VarIntegerResult(std::int64_t v) {
  if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int>(v));
  return Variant(v);
}
inline bool VarBothInteger(const Variant& a, const Variant& b) {
  return a.VarType() == varInteger && b.VarType() == varInteger;
}

// Sums, differences and products of two 32-bit integers never wrap: they widen to 64 bits.
inline Variant VarAdd(const Variant& a, const Variant& b) {
  if (VarBothInteger(a, b)) return VarIntegerResult(a.RawInt() + b.RawInt());
  return VarAddAny(a, b);
}
inline Variant VarSub(const Variant& a, const Variant& b) {
  if (VarBothInteger(a, b)) return VarIntegerResult(a.RawInt() - b.RawInt());
  return VarSubAny(a, b);
}
inline Variant VarMul(const Variant& a, const Variant& b) {
  if (VarBothInteger(a, b)) return VarIntegerResult(a.RawInt() * b.RawInt());
  return VarMulAny(a, b);
}
// Truncates toward zero; a zero divisor raises EDivByZero.
inline Variant VarIntDiv(const Variant& a, const Variant& b) {
  if (VarBothInteger(a, b) && b.RawInt() != 0 && b.RawInt() != -1)
    return Variant(static_cast<int>(a.RawInt() / b.RawInt()));
  return VarIntDivAny(a, b);
}
// The sign of the dividend; a zero divisor raises EDivByZero.
inline Variant VarMod(const Variant& a, const Variant& b) {
  if (VarBothInteger(a, b) && b.RawInt() != 0 && b.RawInt() != -1)
    return Variant(static_cast<int>(a.RawInt() % b.RawInt()));
  return VarModAny(a, b);
}
// The typed forms of +, - and *: both values taken as 32-bit integers and the result wrapping at
// 32 bits, for operands the builder knows to be integers. A 64-bit operand is computed as the forms
// above compute it (in 64 bits, a float beyond), which never wrap.
Variant VarAdd32Any(const Variant& a, const Variant& b);
Variant VarSub32Any(const Variant& a, const Variant& b);
Variant VarMul32Any(const Variant& a, const Variant& b);
// Two 32-bit integers inline, wrapping at 32 bits; any other pair as above.
inline Variant VarWrapped32(std::int64_t v) {
  return Variant(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
}
inline Variant VarAdd32(const Variant& a, const Variant& b) {
  if (VarBothInteger(a, b)) return VarWrapped32(a.RawInt() + b.RawInt());
  return VarAdd32Any(a, b);
}
inline Variant VarSub32(const Variant& a, const Variant& b) {
  if (VarBothInteger(a, b)) return VarWrapped32(a.RawInt() - b.RawInt());
  return VarSub32Any(a, b);
}
inline Variant VarMul32(const Variant& a, const Variant& b) {
  if (VarBothInteger(a, b)) return VarWrapped32(a.RawInt() * b.RawInt());
  return VarMul32Any(a, b);
}
Variant VarNeg(const Variant& a);
Variant VarNot(const Variant& a);
// a := a + b without copying a's text when a is a string held only by a.
void VarAddInPlace(Variant& a, const Variant& b);

enum class TVarCompareOp { Eq, NonEq, Less, LessEq, Great, GreatEq };
bool VarCompareAny(const Variant& a, const Variant& b, TVarCompareOp op);
inline bool VarCompare(const Variant& a, const Variant& b, TVarCompareOp op) {
  if (!VarBothInteger(a, b)) return VarCompareAny(a, b, op);
  std::int64_t x = a.RawInt(), y = b.RawInt();
  switch (op) {
    case TVarCompareOp::Eq:
      return x == y;
    case TVarCompareOp::NonEq:
      return x != y;
    case TVarCompareOp::Less:
      return x < y;
    case TVarCompareOp::LessEq:
      return x <= y;
    case TVarCompareOp::Great:
      return x > y;
    case TVarCompareOp::GreatEq:
      return x >= y;
  }
  return false;
}
inline bool VarEquals(const Variant& a, const Variant& b) {
  return VarCompare(a, b, TVarCompareOp::Eq);
}

// AsInteger without the conversion's call for a value that already is one.
inline std::int32_t Int32Of(const Variant& v) {
  return v.VarType() == varInteger ? static_cast<std::int32_t>(v.RawInt()) : v.AsInteger();
}

// A host object as scripts hold it: a 64-bit integer with the object's address (0 for none). Only
// the host layer turns such an integer back into an object, after checking that it is one.
Variant ObjectToVariant(const TfsHostObject* obj);

// A float with "." as decimal point, or an integer as TryTextToInt64 reads it
// (script/value/str_to_int.h); blanks around it are ignored.
bool TryTextToFloat(std::string_view text, double& value);
// Shortest general form with up to 15 significant digits ("3.5", "1E20", "-0.001").
std::string FloatToText(double value);

}  // namespace kelvo
