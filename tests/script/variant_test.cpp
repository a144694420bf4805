#include "script/value/variant.h"

#include <gtest/gtest.h>

#include <chrono>

#include "script/value/str_to_int.h"

namespace kelvo {
namespace {

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

TEST(VariantArithmetic, IntegersWidenInsteadOfWrapping) {
  EXPECT_EQ(VarMul(Variant(6), Variant(7)).VarType(), varInteger);
  EXPECT_EQ(VarSub(Variant(10), Variant(4)).VarType(), varInteger);
  Variant sum = VarAdd(Variant(2147483647), Variant(1));
  EXPECT_EQ(sum.VarType(), varInt64);
  EXPECT_EQ(sum.AsInt64(), 2147483648LL);
  EXPECT_EQ(VarSub(Variant(-2147483647 - 1), Variant(1)).AsInt64(), -2147483649LL);
  EXPECT_EQ(VarNeg(Variant(-2147483647 - 1)).AsInt64(), 2147483648LL);
  // A 64-bit result that fits 32 bits again keeps the 64-bit kind of its operand.
  EXPECT_EQ(VarSub(Variant(std::int64_t{5}), Variant(1)).VarType(), varInt64);
  Variant product = VarMul(Variant(std::int64_t{3037000500}), Variant(std::int64_t{3037000500}));
  EXPECT_EQ(product.VarType(), varDouble);
  EXPECT_DOUBLE_EQ(product.AsFloat(), 3037000500.0 * 3037000500.0);
  EXPECT_EQ(VarAdd(Variant(INT64_MAX), Variant(1)).VarType(), varDouble);
  EXPECT_EQ(VarNeg(Variant(INT64_MIN)).VarType(), varDouble);
}

TEST(VariantArithmetic, TypedFormsWrapAt32Bits) {
  EXPECT_EQ(VarAdd32(Variant(2147483647), Variant(1)).AsInteger(), -2147483647 - 1);
  EXPECT_EQ(VarSub32(Variant(-2147483647 - 1), Variant(1)).AsInteger(), 2147483647);
  Variant product = VarMul32(Variant(65536), Variant(65536));
  EXPECT_EQ(product.VarType(), varInteger);
  EXPECT_EQ(product.AsInteger(), 0);
}

TEST(VariantArithmetic, DivideIsAlwaysFloating) {
  Variant r = VarDiv(Variant(7), Variant(2));
  EXPECT_EQ(r.VarType(), varDouble);
  EXPECT_DOUBLE_EQ(r.AsFloat(), 3.5);
}

TEST(VariantArithmetic, IntegerDivideAndModulusTruncateTowardZero) {
  EXPECT_EQ(VarIntDiv(Variant(7), Variant(2)).AsInteger(), 3);
  EXPECT_EQ(VarIntDiv(Variant(-7), Variant(2)).AsInteger(), -3);
  EXPECT_EQ(VarMod(Variant(-7), Variant(3)).AsInteger(), -1);
  EXPECT_EQ(VarMod(Variant(-2147483647 - 1), Variant(-1)).AsInteger(), 0);
}

TEST(VariantArithmetic, DivisionByZeroRaises) {
  EXPECT_EQ(ErrorOf([] { VarIntDiv(Variant(1), Variant(0)); }), "Division by zero");
  EXPECT_EQ(ErrorOf([] { VarMod(Variant(1), Variant(0)); }), "Division by zero");
  EXPECT_FALSE(ErrorOf([] { VarDiv(Variant(1), Variant(0)); }).empty());
}

TEST(VariantArithmetic, NullOperandIsAnInvalidOperation) {
  EXPECT_EQ(ErrorOf([] { VarAdd(Variant::Null(), Variant(1)); }), "Invalid variant operation");
  EXPECT_EQ(ErrorOf([] { VarNeg(Variant::Null()); }), "Invalid variant operation");
  EXPECT_EQ(ErrorOf([] { VarCompare(Variant::Null(), Variant(1), TVarCompareOp::Less); }),
            "Invalid variant operation");
}

TEST(VariantArithmetic, EmptyStandsForZeroOfTheOtherOperand) {
  EXPECT_EQ(VarAdd(Variant(), Variant(5)).AsInteger(), 5);
  EXPECT_EQ(VarAdd(Variant(), Variant("ab")).AsString(), "ab");
  EXPECT_TRUE(VarAdd(Variant(), Variant()).IsEmpty());
}

TEST(VariantArithmetic, StringsJoinUnderAddAndConvertOtherwise) {
  EXPECT_EQ(VarAdd(Variant("AT"), Variant("Z")).AsString(), "ATZ");
  Variant r = VarSub(Variant("10"), Variant("4"));
  EXPECT_EQ(r.VarType(), varDouble);
  EXPECT_DOUBLE_EQ(r.AsFloat(), 6);
  EXPECT_EQ(VarAdd(Variant("5"), Variant(1)).VarType(), varDouble);
  EXPECT_EQ(VarIntDiv(Variant("9"), Variant(2)).VarType(), varInteger);
}

TEST(VariantArithmetic, TextThatIsNoNumberFailsToConvert) {
  EXPECT_EQ(ErrorOf([] { VarAdd(Variant("AT"), Variant(1)); }),
            "Could not convert variant of type (String) into type (Double)");
  EXPECT_EQ(ErrorOf([] { Variant("x1").AsInteger(); }),
            "Could not convert variant of type (String) into type (Integer)");
}

TEST(VariantLogic, BooleansAreLogicalIntegersBitwise) {
  EXPECT_EQ(VarAnd(Variant(true), Variant(false)).VarType(), varBoolean);
  EXPECT_TRUE(VarOr(Variant(true), Variant("false")).AsBoolean());
  EXPECT_EQ(VarAnd(Variant(12), Variant(10)).AsInteger(), 8);
  EXPECT_EQ(VarXor(Variant(12), Variant(10)).AsInteger(), 6);
  EXPECT_EQ(VarNot(Variant(0)).AsInteger(), -1);
  EXPECT_FALSE(VarNot(Variant(true)).AsBoolean());
  EXPECT_EQ(VarShl(Variant(1), Variant(4)).AsInteger(), 16);
  EXPECT_EQ(VarShr(Variant(-1), Variant(28)).AsInteger(), 15);
}

TEST(VariantCompare, PairingsCompareByTheirRule) {
  using Op = TVarCompareOp;
  EXPECT_TRUE(VarCompare(Variant("B"), Variant("a"), Op::Less));  // bytes, with case
  EXPECT_TRUE(VarCompare(Variant("10"), Variant(9), Op::Great));  // string with number: floats
  EXPECT_TRUE(VarCompare(Variant(2), Variant(2.0), Op::Eq));
  EXPECT_TRUE(VarCompare(Variant(true), Variant("True"), Op::Eq));
  EXPECT_TRUE(VarCompare(Variant::Null(), Variant::Null(), Op::Eq));
  EXPECT_FALSE(VarCompare(Variant::Null(), Variant(0), Op::Eq));
  EXPECT_TRUE(VarCompare(Variant::Null(), Variant(""), Op::NonEq));
  EXPECT_EQ(ErrorOf([] { VarCompare(Variant("abc"), Variant(1), TVarCompareOp::Eq); }),
            "Could not convert variant of type (String) into type (Double)");
}

TEST(VariantConvert, ToTextIntegerBooleanFloat) {
  EXPECT_EQ(Variant(3.5).AsString(), "3.5");
  EXPECT_EQ(Variant(1e20).AsString(), "1E20");
  EXPECT_EQ(Variant(0.1).AsString(), "0.1");
  EXPECT_EQ(Variant(true).AsString(), "True");
  EXPECT_EQ(Variant::Null().AsString(), "");
  EXPECT_EQ(Variant("$1F").AsInteger(), 31);
  EXPECT_EQ(Variant(2.5).AsInteger(), 2);  // rounds half to even
  EXPECT_TRUE(Variant("TRUE").AsBoolean());
  EXPECT_FALSE(Variant(" 0 ").AsBoolean());
  EXPECT_EQ(Variant::OfInteger(varByte, 300).AsInteger(), 44);
}

TEST(VariantArray, AssignmentCopiesButSharesUntilWritten) {
  Variant a = Variant::CreateArray(0, 2);
  std::int64_t i = 1;
  a.PutElement(std::span(&i, 1), Variant(10));
  Variant b = a;
  b.PutElement(std::span(&i, 1), Variant(20));
  EXPECT_EQ(a.GetElement(std::span(&i, 1)).AsInteger(), 10);
  EXPECT_EQ(b.GetElement(std::span(&i, 1)).AsInteger(), 20);
}

TEST(VariantArray, BoundsAreCheckedInEveryDimension) {
  TVarArrayBound bounds[] = {{1, 2}, {-1, 1}};
  Variant a = Variant::CreateArray(bounds);
  std::int64_t ok[] = {2, -1}, bad[] = {3, 0}, low[] = {1, -2};
  a.PutElement(ok, Variant("x"));
  EXPECT_EQ(a.GetElement(ok).AsString(), "x");
  EXPECT_EQ(ErrorOf([&] { a.GetElement(bad); }), "Variant or safe array index out of bounds");
  EXPECT_EQ(ErrorOf([&] { a.PutElement(low, Variant(1)); }), "Variant or safe array index out of bounds");
  EXPECT_EQ(a.ArrayHighBound(2), 1);
}

TEST(VariantArray, HugeArraysAreRefused) {
  EXPECT_FALSE(ErrorOf([] { Variant::CreateArray(0, 2000000000); }).empty());
  EXPECT_FALSE(ErrorOf([] { Variant::CreateArray(5, 3); }).empty());
}

TEST(VariantArray, RedimKeepsElements) {
  Variant a = Variant::CreateArray(0, 1);
  std::int64_t i = 1;
  a.PutElement(std::span(&i, 1), Variant(7));
  a.ArrayRedim(4);
  EXPECT_EQ(a.ArrayHighBound(1), 4);
  EXPECT_EQ(a.GetElement(std::span(&i, 1)).AsInteger(), 7);
}

TEST(VariantArray, RedimChangesDimensionOneOnly) {
  TVarArrayBound bounds[] = {{0, 2}, {1, 2}};
  Variant a = Variant::CreateArray(bounds);
  std::int64_t kept[] = {1, 2}, dropped[] = {2, 1};
  a.PutElement(kept, Variant("kept"));
  a.PutElement(dropped, Variant("dropped"));
  a.ArrayRedim(1);
  EXPECT_EQ(a.ArrayHighBound(1), 1);
  EXPECT_EQ(a.ArrayLowBound(2), 1);
  EXPECT_EQ(a.ArrayHighBound(2), 2);
  EXPECT_EQ(a.GetElement(kept).AsString(), "kept");
  EXPECT_THROW(a.GetElement(dropped), EVariantBadIndexError);
  a.ArrayRedim(3);
  EXPECT_EQ(a.GetElement(kept).AsString(), "kept");
  EXPECT_TRUE(a.GetElement(dropped).IsEmpty());
}

TEST(VariantString, CharacterAccessOutsideTheTextRaises) {
  Variant s("abc");
  EXPECT_EQ(s.GetChar(3), 'c');
  EXPECT_THROW(s.GetChar(0), EVariantBadIndexError);
  EXPECT_THROW(s.GetChar(4), EVariantBadIndexError);
  Variant t = s;
  t.SetChar(1, 'X');
  EXPECT_EQ(s.AsString(), "abc");
  EXPECT_EQ(t.AsString(), "Xbc");
}

TEST(VariantString, AppendBySingleOwnerGrowsLinearly) {
  auto timeAppends = [](int n) {
    Variant s{std::string()};
    Variant piece("x");
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) VarAddInPlace(s, piece);
    EXPECT_EQ(s.RawString().size(), static_cast<std::size_t>(n));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  double small = timeAppends(20000);
  double large = timeAppends(200000);
  // Quadratic copying would take about 100 times as long; linear growth about 10 times.
  EXPECT_LT(large, small * 40 + 0.05);
}

TEST(VariantText, NumberTextsParseStrictly) {
  std::int64_t i;
  double d;
  EXPECT_TRUE(TryTextToInt64("-9223372036854775808", i));
  EXPECT_FALSE(TryTextToInt64("9223372036854775808", i));
  EXPECT_TRUE(TryTextToInt64("0x10", i));
  EXPECT_EQ(i, 16);
  EXPECT_TRUE(TryTextToFloat("1.e3", d) == false || d == 1000);
  EXPECT_TRUE(TryTextToFloat(" 1.5e-3 ", d));
  EXPECT_DOUBLE_EQ(d, 0.0015);
  EXPECT_FALSE(TryTextToFloat("inf", d));
  EXPECT_FALSE(TryTextToFloat("1,5", d));
}

}  // namespace
}  // namespace kelvo
