#include <cmath>
#include <cstdio>

#include <gtest/gtest.h>

#include "script/convert_message.h"
#include "script/format/format.h"
#include "script/format/varrec.h"
#include "script/value/convert_error.h"

using namespace kelvo;
using kelvo::testing::ConvertMessage;

namespace {

const TFormatSettings kRu = RussianFormatSettings();

std::string F(std::string_view fmt, std::initializer_list<TVarRec> args) {
  std::vector<TVarRec> list(args);
  return Format(fmt, list, kRu);
}

template <typename... T>
std::string Printf(const char* fmt, T... v) {
  char buf[512];
  std::snprintf(buf, sizeof buf, fmt, v...);
  return buf;
}

std::string WithComma(std::string s) {
  for (char& c : s)
    if (c == '.') c = ',';
  return s;
}

// C writes "1.5E+07"; the runtime's scientific form has a signed exponent of three digits.
std::string CToExponentForm(const std::string& c) {
  size_t e = c.find('E');
  int exponent = std::stoi(c.substr(e + 1));
  return WithComma(c.substr(0, e)) + Printf("E%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
}

// C writes "1.5E+20"; the general form writes "1,5E20".
std::string CToGeneralForm(const std::string& c) {
  size_t e = c.find('E');
  if (e == std::string::npos) return WithComma(c);
  return WithComma(c.substr(0, e)) + "E" + std::to_string(std::stoi(c.substr(e + 1)));
}

const double kValues[] = {0.0,         1.0,
                          -1.0,        0.5,
                          1.5,         2.5,
                          -2.5,        123.456,
                          -9876.54321, 1e-5,
                          1.5e-4,      0.0001,
                          1e15,        123456789012345678.0,
                          1e20,        3.14159265358979,
                          1.0 / 3,     2.0 / 3,
                          1e-300,      1.7976931348623157e308,
                          5e-324,      0.1,
                          0.7,         99.995,
                          1e100,       -4.35e-7,
                          65536.0};

}  // namespace

TEST(FormatCrossCheck, IntegersAgreeWithPrintf) {
  const int32_t values[] = {0, 1, -1, 42, -42, 255, 65535, INT32_MAX, INT32_MIN, 1000000, -7};
  const char* shapes[] = {"", "5", "-5", ".3", "8.3", "-8.3", "1", "12"};
  for (int32_t v : values) {
    for (const char* shape : shapes) {
      std::string fmt = std::string("[%") + shape;
      EXPECT_EQ(F(fmt + "d]", {TVarRec::Integer(v)}), Printf((fmt + "d]").c_str(), v)) << fmt << " " << v;
      EXPECT_EQ(F(fmt + "x]", {TVarRec::Integer(v)}), Printf((fmt + "X]").c_str(), static_cast<uint32_t>(v)))
          << fmt << " " << v;
      EXPECT_EQ(F(fmt + "u]", {TVarRec::Integer(v)}), Printf((fmt + "u]").c_str(), static_cast<uint32_t>(v)))
          << fmt << " " << v;
    }
  }
  const int64_t wide[] = {INT64_MAX, INT64_MIN, 3000000000LL, -3000000000LL};
  for (int64_t v : wide) {
    EXPECT_EQ(F("%d", {TVarRec::Int64(v)}), Printf("%lld", static_cast<long long>(v)));
    EXPECT_EQ(F("%x", {TVarRec::Int64(v)}), Printf("%llX", static_cast<unsigned long long>(v)));
  }
}

TEST(FormatCrossCheck, FloatsAgreeWithPrintf) {
  for (double v : kValues) {
    for (int p = 1; p <= 17; ++p) {
      std::string ours = F("%." + std::to_string(p) + "e", {TVarRec::Extended(v)});
      EXPECT_EQ(ours, CToExponentForm(Printf("%.*E", p - 1, v))) << "e p=" << p << " v=" << v;
      ours = F("%." + std::to_string(p) + "g", {TVarRec::Extended(v)});
      EXPECT_EQ(ours, CToGeneralForm(Printf("%.*G", p, v))) << "g p=" << p << " v=" << v;
    }
    if (std::fabs(v) > 1e30) continue;
    for (int p = 0; p <= 15; ++p) {
      std::string c = Printf("%.*f", p, v);
      if (c.find_first_not_of("-0.") == std::string::npos) continue;  // C keeps a sign on zero; we do not
      EXPECT_EQ(F("%." + std::to_string(p) + "f", {TVarRec::Extended(v)}), WithComma(c))
          << "f p=" << p << " v=" << v;
    }
  }
}

TEST(FormatCrossCheck, FloatDefaultsAndWidths) {
  EXPECT_EQ(F("%e", {TVarRec::Extended(1.5)}), "1,50000000000000E+000");
  EXPECT_EQ(F("%f", {TVarRec::Extended(1.5)}), "1,50");
  EXPECT_EQ(F("%g", {TVarRec::Extended(1.5)}), "1,5");
  EXPECT_EQ(F("%n", {TVarRec::Extended(1234567.891)}), "1 234 567,89");
  EXPECT_EQ(F("%.0n", {TVarRec::Extended(-1234.5)}), "-1 234");
  EXPECT_EQ(F("%10.2f|", {TVarRec::Extended(3.14159)}), "      3,14|");
  EXPECT_EQ(F("%-10.2f|", {TVarRec::Extended(3.14159)}), "3,14      |");
  EXPECT_EQ(F("%m", {TVarRec::Extended(1234.5)}), "1 234,50 \xF0.");  // "р." in the code page
  EXPECT_EQ(F("%f", {TVarRec::Extended(NAN)}), "NAN");
}

TEST(FormatPlaceholders, IndexesStarsAndPercent) {
  EXPECT_EQ(F("%1:s %0:s %s", {TVarRec::String("a"), TVarRec::String("b")}), "b a b");
  EXPECT_EQ(F("%*d|", {TVarRec::Integer(5), TVarRec::Integer(42)}), "   42|");
  EXPECT_EQ(F("%-*d|", {TVarRec::Integer(5), TVarRec::Integer(42)}), "42   |");
  EXPECT_EQ(F("%*d|", {TVarRec::Integer(-5), TVarRec::Integer(42)}), "42   |");
  EXPECT_EQ(F("%.*f", {TVarRec::Integer(3), TVarRec::Extended(2.0)}), "2,000");
  EXPECT_EQ(F("%*.*f", {TVarRec::Integer(8), TVarRec::Integer(1), TVarRec::Extended(2.25)}), "     2,2");
  EXPECT_EQ(F("100%%", {}), "100%");
  EXPECT_EQ(F("%D %X %S", {TVarRec::Integer(10), TVarRec::Integer(255), TVarRec::String("z")}), "10 FF z");
  EXPECT_EQ(F("%.2s|%5s|%-5s|", {TVarRec::String("abcdef"), TVarRec::String("ab"), TVarRec::String("ab")}),
            "ab|   ab|ab   |");
  EXPECT_EQ(F("%s", {TVarRec::Char('q')}), "q");
  EXPECT_EQ(F("no placeholders", {TVarRec::Integer(1)}), "no placeholders");
}

TEST(FormatPlaceholders, LongStringsAreNeverCut) {
  std::string longText(1000, 'x');
  EXPECT_EQ(F("<%s>", {TVarRec::String(longText)}), "<" + longText + ">");
}

TEST(FormatPlaceholders, WrongKindsAndMalformedTextAreErrorsNamingTheFormat) {
  auto invalid = [](std::string_view fmt) {
    return "Format '" + std::string(fmt) + "' invalid or incompatible with argument";
  };
  EXPECT_EQ(ConvertMessage([] { F("%d", {TVarRec::String("x")}); }), invalid("%d"));
  EXPECT_EQ(ConvertMessage([] { F("%d", {TVarRec::Extended(1.5)}); }), invalid("%d"));
  EXPECT_EQ(ConvertMessage([] { F("%f", {TVarRec::Integer(1)}); }), invalid("%f"));
  EXPECT_EQ(ConvertMessage([] { F("%s", {TVarRec::Integer(1)}); }), invalid("%s"));
  EXPECT_EQ(ConvertMessage([] { F("%s", {TVarRec::Boolean(true)}); }), invalid("%s"));
  EXPECT_EQ(ConvertMessage([] { F("%p", {TVarRec::Integer(1)}); }), invalid("%p"));
  EXPECT_EQ(ConvertMessage([] { F("%q", {TVarRec::Integer(1)}); }), invalid("%q"));
  EXPECT_EQ(ConvertMessage([] { F("abc%", {TVarRec::Integer(1)}); }), invalid("abc%"));
  EXPECT_EQ(ConvertMessage([] { F("%5", {TVarRec::Integer(1)}); }), invalid("%5"));
  EXPECT_EQ(ConvertMessage([] { F("%*d", {TVarRec::String("x"), TVarRec::Integer(1)}); }), invalid("%*d"));
  EXPECT_EQ(ConvertMessage([] { F("%99999999999999999999d", {TVarRec::Integer(1)}); }),
            invalid("%99999999999999999999d"));
  EXPECT_EQ(ConvertMessage([] {
              F("%*d", {TVarRec::Integer(1 << 30), TVarRec::Integer(1)});
            }),
            invalid("%*d"));
}

TEST(FormatPlaceholders, TooFewArgumentsIsAnError) {
  EXPECT_EQ(ConvertMessage([] { F("%d %d", {TVarRec::Integer(1)}); }), "No argument for format '%d %d'");
  EXPECT_EQ(ConvertMessage([] { F("%3:d", {TVarRec::Integer(1)}); }), "No argument for format '%3:d'");
  EXPECT_EQ(ConvertMessage([] { F("%*d", {TVarRec::Integer(1)}); }), "No argument for format '%*d'");
}

TEST(FormatPlaceholders, VariantEntriesConvertToTheLetter) {
  EXPECT_EQ(F("%d %s %f", {TVarRec::OfVariant(Variant(7)), TVarRec::OfVariant(Variant("t")),
                           TVarRec::OfVariant(Variant(0.5))}),
            "7 t 0,50");
  EXPECT_THROW(F("%d", {TVarRec::OfVariant(Variant("t"))}), EConvertError);
}

TEST(TypedArgumentList, ScriptArraysBecomeTypedEntries) {
  Variant a = Variant::CreateArray(0, 7);
  auto set = [&](std::int64_t i, const Variant& v) { a.PutElement(std::span(&i, 1), v); };
  set(0, Variant(5));
  set(1, Variant::OfInteger(varByte, 200));
  set(2, Variant(2.5));
  set(3, Variant::OfFloat(varDate, 45000.5));
  set(4, Variant(std::string(300, 's')));
  set(5, Variant(true));
  set(6, Variant(std::int64_t{1} << 40));
  set(7, Variant::Null());
  TVarRecArray args;
  VariantToVarRec(a, args);
  ASSERT_EQ(args.size(), 8u);
  EXPECT_EQ(args[0].VType, TVarRecType::vtInteger);
  EXPECT_EQ(args[1].VInteger, 200);
  EXPECT_EQ(args[2].VType, TVarRecType::vtExtended);
  EXPECT_EQ(args[3].VExtended, 45000.5);
  EXPECT_EQ(args[4].VString.size(), 300u);
  EXPECT_EQ(args[5].VType, TVarRecType::vtBoolean);
  EXPECT_EQ(args[6].VInt64, std::int64_t{1} << 40);
  EXPECT_EQ(args[7].VType, TVarRecType::vtInteger);
  EXPECT_EQ(args[7].VInteger, 0);
  EXPECT_EQ(Format("%d %d %.1f %.0f %.3s %6:d %d", args, kRu), "5 200 2,5 45000 sss 1099511627776 0");
  ClearVarRec(args);
  EXPECT_TRUE(args.empty());
}

TEST(TypedArgumentList, ArraysNotStartingAtZeroAndNonArrays) {
  Variant a = Variant::CreateArray(1, 2);
  std::int64_t i = 1;
  a.PutElement(std::span(&i, 1), Variant(10));
  i = 2;
  a.PutElement(std::span(&i, 1), Variant(20));
  TVarRecArray args;
  VariantToVarRec(a, args);
  ASSERT_EQ(args.size(), 2u);
  EXPECT_EQ(args[1].VInteger, 20);
  VariantToVarRec(Variant(5), args);
  EXPECT_TRUE(args.empty());
}

TEST(TypedArgumentList, EntriesBackToValues) {
  EXPECT_EQ(VarRecToVariant(TVarRec::Integer(3)).AsInteger(), 3);
  EXPECT_EQ(VarRecToVariant(TVarRec::Char('c')).AsString(), "c");
  EXPECT_EQ(VarRecToVariant(TVarRec::Boolean(true)).VarType(), varBoolean);
  EXPECT_EQ(VarRecToVariant(TVarRec::Extended(1.25)).AsFloat(), 1.25);
  EXPECT_EQ(VarRecToVariant(TVarRec::String("s")).AsString(), "s");
  EXPECT_EQ(VarRecToVariant(TVarRec::Int64(1LL << 40)).AsInt64(), 1LL << 40);
  EXPECT_EQ(VarRecToVariant(TVarRec::OfVariant(Variant("v"))).AsString(), "v");
  TVarRec p;
  p.VType = TVarRecType::vtPointer;
  EXPECT_TRUE(VarRecToVariant(p).IsNull());
}
