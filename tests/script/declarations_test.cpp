#include "script/program/declarations.h"

#include <gtest/gtest.h>

#include "script/lib/modules.h"
#include "script/program/script.h"

namespace kelvo {
namespace {

struct TParam {
  std::string Name, TypeName;
  bool Optional, ByRef;
};

void ExpectParams(const TfsCustomVariable& m, const std::vector<TParam>& expected) {
  ASSERT_EQ(m.ParamCount(), static_cast<int>(expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const TfsParamItem* p = m.GetParam(static_cast<int>(i));
    EXPECT_EQ(p->Name, expected[i].Name);
    EXPECT_EQ(p->TypeName, expected[i].TypeName);
    EXPECT_EQ(p->Optional, expected[i].Optional) << p->Name;
    EXPECT_EQ(p->ByRef, expected[i].ByRef) << p->Name;
  }
}

class Declarations : public ::testing::Test {
 protected:
  void SetUp() override { prog.Parent = fsGlobalUnit(); }
  TfsScript prog;
};

TEST_F(Declarations, HostFunctionsOfTheApplication) {
  auto m = ParseMethodSyntax("function AskUserString(Caption:String, Message:String):String", &prog);
  EXPECT_EQ(m->Name, "AskUserString");
  EXPECT_EQ(m->VarType, fvtString);
  EXPECT_EQ(m->TypeName, "String");
  ExpectParams(*m, {{"Caption", "String", false, false}, {"Message", "String", false, false}});

  m = ParseMethodSyntax("procedure WaitBox(s:String)", &prog);
  EXPECT_EQ(m->Name, "WaitBox");
  EXPECT_EQ(m->TypeName, "");
  ExpectParams(*m, {{"s", "String", false, false}});

  m = ParseMethodSyntax("procedure Expect(s:String, errmsg:String='')", &prog);
  ExpectParams(*m, {{"s", "String", false, false}, {"errmsg", "String", true, false}});
  EXPECT_EQ(m->GetParam(1)->DefaultValue.AsString(), "");
  EXPECT_TRUE(m->GetParam(1)->DefaultValue.IsString());

  m = ParseMethodSyntax("procedure SetReadTimeout(to:Integer)", &prog);
  ExpectParams(*m, {{"to", "Integer", false, false}});
  EXPECT_EQ(m->GetParam(0)->VarType, fvtInt);

  m = ParseMethodSyntax("function RecvLn():String", &prog);
  EXPECT_EQ(m->Name, "RecvLn");
  EXPECT_EQ(m->VarType, fvtString);
  ExpectParams(*m, {});
}

TEST_F(Declarations, GroupsVarAndDefaults) {
  auto m = ParseMethodSyntax("procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", &prog);
  ExpectParams(*m, {{"Date", "TDateTime", false, false},
                    {"Year", "Word", false, true},
                    {"Month", "Word", false, true},
                    {"Day", "Word", false, true}});
  m = ParseMethodSyntax("function Copy(s: String; from, count: Integer): String", &prog);
  ExpectParams(
      *m,
      {{"s", "String", false, false}, {"from", "Integer", false, false}, {"count", "Integer", false, false}});

  m = ParseMethodSyntax("function F(a, b: Integer = 5): Integer", &prog);
  ExpectParams(*m, {{"a", "Integer", false, false}, {"b", "Integer", true, false}});
  EXPECT_EQ(m->GetParam(1)->DefaultValue.AsInteger(), 5);
  EXPECT_TRUE(m->GetParam(0)->DefaultValue.IsNull());

  m = ParseMethodSyntax("procedure P(var a, b: String)", &prog);
  ExpectParams(*m, {{"a", "String", false, true}, {"b", "String", false, true}});
}

TEST_F(Declarations, NegativeDefaultNeedsTheMinusRightAfterEquals) {
  auto m = ParseMethodSyntax("function F(x: Integer =-3): Integer", &prog);
  EXPECT_EQ(m->GetParam(0)->DefaultValue.AsInteger(), -3);
  EXPECT_TRUE(m->GetParam(0)->Optional);
  m = ParseMethodSyntax("function F(x: Integer = -3): Integer", &prog);
  EXPECT_FALSE(m->GetParam(0)->Optional);
}

TEST_F(Declarations, IdentifierDefaultsAreLookedUp) {
  auto m = ParseMethodSyntax("procedure P(a: Boolean = True; b: Integer = Unknown)", &prog);
  EXPECT_TRUE(m->GetParam(0)->Optional);
  EXPECT_TRUE(m->GetParam(0)->DefaultValue.AsBoolean());
  EXPECT_FALSE(m->GetParam(1)->Optional);
  // A function named as default is not run (it would fail on its own missing argument).
  m = ParseMethodSyntax("procedure P(x: Extended = Exp)", &prog);
  EXPECT_FALSE(m->GetParam(0)->Optional);
}

TEST_F(Declarations, ResultTypeIsAfterTheLastColonAndMacroPrefix) {
  auto m = ParseMethodSyntax("function F(a: Integer = 5)", &prog);
  EXPECT_EQ(m->TypeName, "Integer");
  EXPECT_EQ(m->VarType, fvtInt);
  m = ParseMethodSyntax("macrofunction Quote(s: String): String", &prog);
  EXPECT_TRUE(m->MacroArgs);
  EXPECT_EQ(m->Name, "Quote");
  EXPECT_EQ(m->VarType, fvtString);
}

TEST_F(Declarations, MalformedTextsNeverFail) {
  for (const char* text : {"", "(", "function", "function F(", "procedure P(a:", "procedure P(a: Integer =",
                           "procedure P(a b c d", "function F(x: String = 'unterminated", "procedure P(;;;:)",
                           "function F(a:Integer=$):", "t(s:Streng=4e11111111111111pro*rngcEdu"}) {
    EXPECT_NO_THROW(ParseMethodSyntax(text, &prog)) << text;
  }
}

TEST_F(Declarations, TypeNamesAndCompatibility) {
  EXPECT_EQ(StrToVarType("Integer", &prog), fvtInt);
  EXPECT_EQ(StrToVarType("TDateTime", &prog), fvtFloat);
  EXPECT_EQ(StrToVarType("NoSuchType", &prog), fvtClass);
  EXPECT_EQ(StrToVarType("", &prog), fvtClass);
  EXPECT_TRUE(TypesCompatible({fvtInt, ""}, {fvtFloat, ""}, &prog));
  EXPECT_TRUE(TypesCompatible({fvtString, ""}, {fvtChar, ""}, &prog));
  EXPECT_FALSE(TypesCompatible({fvtBool, ""}, {fvtInt, ""}, &prog));
  EXPECT_TRUE(TypesCompatible({fvtEnum, "TColorKind"}, {fvtEnum, "tcolorkind"}, &prog));
  EXPECT_FALSE(TypesCompatible({fvtEnum, "A"}, {fvtEnum, "B"}, &prog));
  EXPECT_FALSE(TypesCompatible({fvtConstructor, ""}, {fvtVariant, ""}, &prog));
  for (int k = fvtInt; k <= fvtConstructor; ++k)
    EXPECT_TRUE(TypesCompatible({fvtVariant, ""}, {static_cast<TfsVarType>(k), ""}, &prog));
  TfsVariable i("i", fvtInt, "Integer"), f("f", fvtFloat, "Extended");
  EXPECT_FALSE(AssignCompatible(i, f, &prog));
  EXPECT_TRUE(AssignCompatible(f, i, &prog));
}

}  // namespace
}  // namespace kelvo
