// The system library's functions, called as a script's call reaches them: through the method
// items that the global program registers, with argument values in the parameters.
#include <cmath>

#include <gtest/gtest.h>

#include "script/format/datetime.h"
#include "script/lib/modules.h"
#include "script/lib/system_library.h"
#include "script/program/script.h"
#include "script/value/convert_error.h"

using namespace kelvo;

namespace {

class SysFunctions : public ::testing::Test {
 protected:
  // The expectations below are written for the Russian conventions, whatever the machine's locale.
  static void SetUpTestSuite() { SetDefaultFormatSettings(RussianFormatSettings()); }
  static TfsMethodHelper& Method(const std::string& name) {
    auto* m = dynamic_cast<TfsMethodHelper*>(fsGlobalUnit()->Find(name));
    if (m == nullptr) throw std::runtime_error("no library function " + name);
    return *m;
  }
  // Fills the parameters as a call does (omitted optional ones get their default) and calls.
  static Variant Call(const std::string& name, std::vector<Variant> args = {}) {
    TfsMethodHelper& m = Method(name);
    for (int i = 0; i < m.ParamCount(); ++i)
      m.GetParam(i)->Value = i < static_cast<int>(args.size()) ? args[i] : m.GetParam(i)->DefaultValue;
    return m.GetValue();
  }
  static Variant Param(const std::string& name, int i) { return Method(name).GetParam(i)->Value; }
  static std::string ErrorOf(const std::string& name, std::vector<Variant> args) {
    try {
      Call(name, std::move(args));
    } catch (const Exception& e) {
      return std::string(e.ClassName()) + ": " + e.Message();
    }
    return "<no error>";
  }
  static Variant Array(std::vector<Variant> items, int low = 0) {
    Variant a = Variant::CreateArray(low, low + static_cast<int>(items.size()) - 1);
    for (std::size_t i = 0; i < items.size(); ++i) {
      std::int64_t index = low + static_cast<std::int64_t>(i);
      a.PutElement(std::span(&index, 1), items[i]);
    }
    return a;
  }
};

const char* const kNames[] = {"IntToStr",
                              "FloatToStr",
                              "DateToStr",
                              "TimeToStr",
                              "DateTimeToStr",
                              "VarToStr",
                              "StrToInt",
                              "StrToInt64",
                              "StrToFloat",
                              "StrToDate",
                              "StrToTime",
                              "StrToDateTime",
                              "Format",
                              "FormatFloat",
                              "FormatDateTime",
                              "FormatMaskText",
                              "EncodeDate",
                              "DecodeDate",
                              "EncodeTime",
                              "DecodeTime",
                              "Date",
                              "Time",
                              "Now",
                              "DayOfWeek",
                              "IsLeapYear",
                              "DaysInMonth",
                              "Length",
                              "Copy",
                              "Pos",
                              "Delete",
                              "DeleteStr",
                              "Insert",
                              "Uppercase",
                              "Lowercase",
                              "Trim",
                              "NameCase",
                              "CompareText",
                              "Chr",
                              "Ord",
                              "SetLength",
                              "Round",
                              "Trunc",
                              "Int",
                              "Frac",
                              "Sqrt",
                              "Abs",
                              "Sin",
                              "Cos",
                              "ArcTan",
                              "Tan",
                              "Exp",
                              "Ln",
                              "Pi",
                              "Inc",
                              "Dec",
                              "RaiseException",
                              "ShowMessage",
                              "Randomize",
                              "Random",
                              "ValidInt",
                              "ValidFloat",
                              "ValidDate",
                              "CreateOleObject",
                              "VarArrayCreate",
                              "VarType"};

}  // namespace

TEST_F(SysFunctions, AllSixtyFiveAreRegisteredWithTheirCategoriesAndDeclarations) {
  ASSERT_EQ(std::size(kNames), 65u);
  int perCategory[6] = {};
  const char* categories[] = {"ctConv", "ctFormat", "ctDate", "ctString", "ctMath", "ctOther"};
  for (const char* name : kNames) {
    TfsMethodHelper& m = Method(name);
    EXPECT_EQ(m.Name, name);
    EXPECT_NE(m.Syntax.find(name), std::string::npos);
    for (int c = 0; c < 6; ++c) perCategory[c] += m.Category == categories[c];
  }
  EXPECT_EQ(perCategory[0], 12);
  EXPECT_EQ(perCategory[1], 4);
  EXPECT_EQ(perCategory[2], 10);
  EXPECT_EQ(perCategory[3], 14);
  EXPECT_EQ(perCategory[4], 13);
  EXPECT_EQ(perCategory[5], 12);
  EXPECT_EQ(Method("DecodeDate").ParamCount(), 4);
  EXPECT_TRUE(Method("DecodeDate").GetParam(1)->ByRef);
  EXPECT_TRUE(Method("Inc").GetParam(1)->Optional);
  EXPECT_EQ(Method("VarToStr").Category, "ctConv");
}

TEST_F(SysFunctions, StringPositionsCountFromOneAndClamp) {
  EXPECT_EQ(Call("Copy", {"Hello", 0, 2}).AsString(), "He");
  EXPECT_EQ(Call("Copy", {"Hello", 9, 2}).AsString(), "");
  EXPECT_EQ(Call("Copy", {"Hello", 2, 100}).AsString(), "ello");
  EXPECT_EQ(Call("Copy", {"Hello", 2, -1}).AsString(), "");
  EXPECT_EQ(Call("Copy", {"Hello", -2147483647 - 1, 2147483647}).AsString(), "Hello");
  EXPECT_EQ(Call("Pos", {"lo", "Hello"}).AsInteger(), 4);
  EXPECT_EQ(Call("Pos", {"", "Hello"}).AsInteger(), 0);
  EXPECT_EQ(Call("Pos", {"z", "Hello"}).AsInteger(), 0);
  Call("Delete", {"Hello", 2, 10});
  EXPECT_EQ(Param("Delete", 0).AsString(), "H");
  Call("Delete", {"Hello", 0, 2});
  EXPECT_EQ(Param("Delete", 0).AsString(), "Hello");
  Call("DeleteStr", {"Hello", 5, 1});
  EXPECT_EQ(Param("DeleteStr", 0).AsString(), "Hell");
  Call("Insert", {"X", "abc", 99});
  EXPECT_EQ(Param("Insert", 1).AsString(), "abcX");
  Call("Insert", {"X", "abc", -5});
  EXPECT_EQ(Param("Insert", 1).AsString(), "Xabc");
  Call("Insert", {"X", "abc", 2});
  EXPECT_EQ(Param("Insert", 1).AsString(), "aXbc");
}

TEST_F(SysFunctions, CaseTrimAndCharacters) {
  EXPECT_EQ(Call("NameCase", {"jOHN smith"}).AsString(), "John Smith");
  EXPECT_EQ(Call("NameCase", {"a "}).AsString(), "A ");
  EXPECT_EQ(Call("Uppercase", {"abc\xE0"}).AsString(), "ABC\xC0");  // Cyrillic а -> А
  EXPECT_EQ(Call("Lowercase", {"ABC"}).AsString(), "abc");
  EXPECT_EQ(Call("Trim", {"\t x \r\n"}).AsString(), "x");
  EXPECT_LT(Call("CompareText", {"abc", "ABD"}).AsInteger(), 0);
  EXPECT_EQ(Call("CompareText", {"abc", "ABC"}).AsInteger(), 0);
  EXPECT_EQ(Call("Chr", {321}).AsString(), "A");  // low 8 bits
  Variant ord = Call("Ord", {"\xFF"});
  EXPECT_EQ(ord.AsInteger(), 255);
  EXPECT_EQ(ord.VarType(), varByte);
  EXPECT_EQ(Call("Ord", {""}).AsInteger(), 0);
}

TEST_F(SysFunctions, LengthOfArraysAndOfAnyValuesText) {
  EXPECT_EQ(Call("Length", {Variant::CreateArray(1, 5)}).AsInteger(), 5);
  EXPECT_EQ(Call("Length", {12345}).AsInteger(), 5);
  EXPECT_EQ(Call("Length", {"Hello"}).AsInteger(), 5);
  EXPECT_EQ(Call("Length", {Variant::Null()}).AsInteger(), 0);
}

TEST_F(SysFunctions, SetLengthOnStringsAndArrays) {
  Call("SetLength", {"Hello", 2});
  EXPECT_EQ(Param("SetLength", 0).AsString(), "He");
  Call("SetLength", {"Hi", 4});
  EXPECT_EQ(Param("SetLength", 0).AsString().size(), 4u);
  Call("SetLength", {Variant::CreateArray(0, 9), 3});
  Variant a = Param("SetLength", 0);
  EXPECT_EQ(a.ArrayLowBound(1), 0);
  EXPECT_EQ(a.ArrayHighBound(1), 2);
  EXPECT_NE(ErrorOf("SetLength", {"x", 2147483647}), "<no error>");
  EXPECT_NE(ErrorOf("SetLength", {Variant::CreateArray(0, 1), 2147483647}), "<no error>");
}

TEST_F(SysFunctions, MathRoundsHalfToEvenAndTruncatesTowardZero) {
  EXPECT_EQ(Call("Round", {2.5}).AsInteger(), 2);
  EXPECT_EQ(Call("Round", {3.5}).AsInteger(), 4);
  EXPECT_EQ(Call("Round", {-2.5}).AsInteger(), -2);
  EXPECT_EQ(Call("Round", {2.6}).VarType(), varInteger);
  EXPECT_EQ(Call("Trunc", {-2.7}).AsInteger(), -2);
  Variant i = Call("Int", {2.7});
  EXPECT_EQ(i.VarType(), varDouble);
  EXPECT_EQ(i.AsFloat(), 2.0);
  EXPECT_DOUBLE_EQ(Call("Frac", {-2.75}).AsFloat(), -0.75);
  EXPECT_DOUBLE_EQ(Call("Abs", {-3}).AsFloat(), 3.0);
  EXPECT_DOUBLE_EQ(Call("Sqrt", {16}).AsFloat(), 4.0);
  EXPECT_DOUBLE_EQ(Call("Tan", {1.0}).AsFloat(), std::tan(1.0));
  EXPECT_DOUBLE_EQ(Call("Ln", {std::exp(2.0)}).AsFloat(), 2.0);
  EXPECT_DOUBLE_EQ(Call("Pi").AsFloat(), M_PI);
  EXPECT_EQ(ErrorOf("Round", {1e20}), "EConvertError: '1E20' is not a valid integer value");
  EXPECT_NE(ErrorOf("Trunc", {NAN}), "<no error>");
}

TEST_F(SysFunctions, IncAndDecWriteTheirVariableBack) {
  Call("Inc", {41});
  EXPECT_EQ(Param("Inc", 0).AsInteger(), 42);
  Call("Inc", {1, 5});
  EXPECT_EQ(Param("Inc", 0).AsInteger(), 6);
  Call("Dec", {10});
  EXPECT_EQ(Param("Dec", 0).AsInteger(), 9);
}

TEST_F(SysFunctions, ConversionsAndTheirErrors) {
  EXPECT_EQ(Call("StrToInt", {"$FF"}).AsInteger(), 255);
  EXPECT_EQ(Call("StrToInt", {"12"}).VarType(), varInteger);
  EXPECT_EQ(Call("StrToInt64", {"3000000000"}).VarType(), varInt64);
  EXPECT_EQ(Call("IntToStr", {Variant(std::int64_t{3000000000})}).AsString(), "3000000000");
  EXPECT_EQ(Call("IntToStr", {-5}).AsString(), "-5");
  EXPECT_EQ(Call("FloatToStr", {1.5}).AsString(), "1,5");
  EXPECT_EQ(Call("StrToFloat", {"2,5"}).AsFloat(), 2.5);
  EXPECT_EQ(ErrorOf("StrToInt", {"12a"}), "EConvertError: '12a' is not a valid integer value");
  EXPECT_EQ(ErrorOf("StrToFloat", {"x"}), "EConvertError: 'x' is not a valid floating point value");
  EXPECT_EQ(ErrorOf("StrToDate", {"32.01.2020"}), "EConvertError: '32.01.2020' is not a valid date");
  EXPECT_EQ(ErrorOf("StrToTime", {"25:00"}), "EConvertError: '25:00' is not a valid time");
  EXPECT_EQ(Call("StrToDate", {"15.03.2024"}).VarType(), varDate);
  EXPECT_EQ(Call("VarToStr", {Variant::Null()}).AsString(), "");
  EXPECT_EQ(Call("VarToStr", {2.5}).AsString(), "2,5");
  EXPECT_EQ(Call("VarToStr", {Variant::OfFloat(varDate, EncodeDate(2024, 3, 15))}).AsString(), "15.03.2024");
  EXPECT_EQ(Call("DateTimeToStr", {EncodeDate(2024, 3, 15) + 0.5}).AsString(), "15.03.2024 12:00:00");
}

TEST_F(SysFunctions, ValidatorsNeverLetAnErrorThrough) {
  EXPECT_FALSE(Call("ValidInt", {"12a"}).AsBoolean());
  EXPECT_TRUE(Call("ValidInt", {"$ff"}).AsBoolean());
  EXPECT_FALSE(Call("ValidFloat", {"1.5.5"}).AsBoolean());
  EXPECT_TRUE(Call("ValidFloat", {"1,5"}).AsBoolean());
  EXPECT_FALSE(Call("ValidDate", {"31.02.2024"}).AsBoolean());
  EXPECT_TRUE(Call("ValidDate", {"29.02.2024"}).AsBoolean());
  EXPECT_FALSE(Call("ValidInt", {Variant::CreateArray(0, 1)}).AsBoolean());
}

TEST_F(SysFunctions, DatesEncodeDecodeAndCalendar) {
  Variant d = Call("EncodeDate", {2024, 3, 15});
  EXPECT_EQ(d.VarType(), varDate);
  Call("DecodeDate", {d});
  EXPECT_EQ(Param("DecodeDate", 1).AsInteger(), 2024);
  EXPECT_EQ(Param("DecodeDate", 2).AsInteger(), 3);
  EXPECT_EQ(Param("DecodeDate", 3).AsInteger(), 15);
  EXPECT_EQ(Param("DecodeDate", 1).VarType(), varWord);
  Call("DecodeTime", {Call("EncodeTime", {13, 14, 15, 16})});
  EXPECT_EQ(Param("DecodeTime", 1).AsInteger(), 13);
  EXPECT_EQ(Param("DecodeTime", 4).AsInteger(), 16);
  EXPECT_EQ(Call("DayOfWeek", {d}).AsInteger(), 6);  // a Friday
  EXPECT_EQ(Call("DaysInMonth", {2000, 2}).AsInteger(), 29);
  EXPECT_EQ(Call("DaysInMonth", {1900, 2}).AsInteger(), 28);
  EXPECT_TRUE(Call("IsLeapYear", {2000}).AsBoolean());
  EXPECT_EQ(ErrorOf("EncodeDate", {2023, 2, 29}), "EConvertError: Invalid argument to date encode");
  EXPECT_EQ(ErrorOf("EncodeTime", {24, 0, 0, 0}), "EConvertError: Invalid argument to time encode");
  EXPECT_EQ(Call("Now").VarType(), varDate);
  EXPECT_EQ(Call("Date").AsFloat(), std::floor(Call("Date").AsFloat()));
  EXPECT_LT(Call("Time").AsFloat(), 1.0);
}

TEST_F(SysFunctions, FormattingFunctionsTakeScriptValues) {
  EXPECT_EQ(Call("Format", {"%d-%s-%.1f", Array({7, "x", 1.25})}).AsString(), "7-x-1,2");
  EXPECT_EQ(Call("Format", {"%s", Array({std::string(400, 'a')})}).AsString().size(), 400u);
  EXPECT_EQ(ErrorOf("Format", {"%d %d", Array({1})}), "EConvertError: No argument for format '%d %d'");
  EXPECT_EQ(Call("FormatFloat", {"#,##0.00", 1234.5}).AsString(), "1 234,50");
  EXPECT_EQ(Call("FormatDateTime", {"yyyy-mm-dd hh:nn", EncodeDate(2024, 3, 5) + 0.75}).AsString(),
            "2024-03-05 18:00");
  EXPECT_EQ(Call("FormatMaskText", {"(000) 000;0;_", "123456"}).AsString(), "(123) 456");
}

TEST_F(SysFunctions, ValueTypesAndArrays) {
  EXPECT_EQ(Call("VarType", {Variant::Null()}).AsInteger(), 1);
  EXPECT_EQ(Call("VarType", {"a"}).AsInteger(), 256);
  EXPECT_EQ(Call("VarType", {1}).AsInteger(), 3);
  Variant a = Call("VarArrayCreate", {Array({1, 3, 0, 1}), varVariant});
  EXPECT_EQ(a.ArrayDimCount(), 2);
  EXPECT_EQ(a.ArrayLowBound(1), 1);
  EXPECT_EQ(a.ArrayHighBound(1), 3);
  EXPECT_EQ(a.ArrayHighBound(2), 1);
  EXPECT_TRUE(a.ArrayItems()[0].IsEmpty());
  EXPECT_NE(ErrorOf("VarArrayCreate", {Array({0, 2000000000, 0, 2000000000}), 12}), "<no error>");
  EXPECT_NE(ErrorOf("VarArrayCreate", {Array({0}), 12}), "<no error>");
  EXPECT_NE(ErrorOf("VarArrayCreate", {5, 12}), "<no error>");
}

TEST_F(SysFunctions, RandomStaysInItsRange) {
  Call("Randomize");
  for (int i = 0; i < 1000; ++i) {
    double r = Call("Random").AsFloat();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
  }
}

TEST_F(SysFunctions, RaiseExceptionAndAutomation) {
  EXPECT_EQ(ErrorOf("RaiseException", {"my message"}), "Exception: my message");
  std::string ole = ErrorOf("CreateOleObject", {"Word.Application"});
  EXPECT_NE(ole.find("not available on this platform"), std::string::npos);
  EXPECT_NE(ole.find("Word.Application"), std::string::npos);
}

TEST_F(SysFunctions, ShowMessageGoesThroughTheHook) {
  std::string shown;
  SetShowMessageHook([&](const std::string& text) { shown = text; });
  Call("ShowMessage", {42});
  EXPECT_EQ(shown, "42");
  SetShowMessageHook(nullptr);
  testing::internal::CaptureStdout();
  Call("ShowMessage", {"\xCF\xF0\xE8\xE2\xE5\xF2"});  // "Привет" in the code page
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Привет\n");
}
