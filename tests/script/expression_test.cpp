// Expression trees built through the operator API, and the statements that JScript does not
// produce (counting and stepping for loops), built from intermediate trees.
#include <gtest/gtest.h>

#include <sstream>

#include "script/lib/modules.h"
#include "script/printing_script.h"
#include "script/program/designator.h"
#include "script/program/expression.h"
#include "script/program/script.h"
#include "script/value/str_to_int.h"

namespace kelvo {
namespace {

// Builds an expression from tokens: numbers become constants, everything else an operator.
std::unique_ptr<TfsExpression> Build(TfsScript& prog, const std::vector<std::string>& tokens) {
  auto e = std::make_unique<TfsExpression>(&prog);
  int column = 1;
  for (const std::string& t : tokens) {
    e->SourcePos = "1:" + std::to_string(column++);
    std::int64_t i;
    if (TryTextToInt64(t, i)) {
      e->AddConst(Variant(static_cast<int>(i)));
    } else if (t.size() > 1 && t[0] == '\'') {
      e->AddConst(Variant(t.substr(1)));
    } else if (t == "true" || t == "false") {
      e->AddConst(Variant(t == "true"));
    } else {
      e->AddOperator(t);
    }
  }
  return e;
}

Variant Eval(const std::vector<std::string>& tokens) {
  TfsScript prog;
  prog.Parent = fsGlobalUnit();
  auto e = Build(prog, tokens);
  EXPECT_EQ(e->Finalize(), "");
  return e->GetValue();
}

TEST(ExpressionTree, PrioritiesBracketsAndLeftGrouping) {
  EXPECT_EQ(Eval({"2", "+", "3", "*", "4"}).AsInteger(), 14);
  EXPECT_EQ(Eval({"(", "2", "+", "3", ")", "*", "4"}).AsInteger(), 20);
  EXPECT_EQ(Eval({"10", "-", "4", "-", "3"}).AsInteger(), 3);
  EXPECT_EQ(Eval({"unminus", "2", "*", "3"}).AsInteger(), -6);
  EXPECT_EQ(Eval({"2", "*", "(", "3", "-", "(", "4", "-", "10", ")", ")"}).AsInteger(), 18);
  EXPECT_EQ(Eval({"100", "div", "10", "div", "5"}).AsInteger(), 2);
  EXPECT_EQ(Eval({"1", "+", "2", "=", "3"}).AsBoolean(), true);
  EXPECT_EQ(Eval({"not", "true", "and", "false"}).AsBoolean(), false);
}

TEST(ExpressionTree, FinalizeTypesTheResult) {
  TfsScript prog;
  prog.Parent = fsGlobalUnit();
  auto div = Build(prog, {"7", "/", "2"});
  EXPECT_EQ(div->Finalize(), "");
  EXPECT_EQ(div->VarType, fvtFloat);
  EXPECT_DOUBLE_EQ(div->GetValue().AsFloat(), 3.5);
  auto cmp = Build(prog, {"1", "<", "2"});
  cmp->Finalize();
  EXPECT_EQ(cmp->VarType, fvtBool);
  auto join = Build(prog, {"'a", "+", "'b"});
  join->Finalize();
  EXPECT_EQ(join->VarType, fvtString);
  EXPECT_TRUE(join->ReadOnly);
}

TEST(ExpressionTree, MisfitsReportTheFirstOperatorPosition) {
  TfsScript prog;
  prog.Parent = fsGlobalUnit();
  // 1 + 2 * 'x': the multiplication (column 4) is met before the addition.
  auto e = Build(prog, {"1", "+", "2", "*", "'x"});
  EXPECT_EQ(e->Finalize(), "1:4");
  auto b = Build(prog, {"true", "+", "true"});
  EXPECT_EQ(b->Finalize(), "1:2");
  auto s = Build(prog, {"'a", "-", "'b"});
  EXPECT_EQ(s->Finalize(), "1:2");
}

TEST(ExpressionTree, UnbalancedBracketAndUnknownOperatorAreErrors) {
  TfsScript prog;
  EXPECT_THROW(Build(prog, {"1", ")"}), Exception);
  EXPECT_THROW(Build(prog, {"1", "**", "2"}), Exception);
}

TEST(ExpressionTree, IntegerOnlyArithmeticWrapsAndFloatDoesNot) {
  EXPECT_EQ(Eval({"2147483647", "*", "2"}).AsInteger(), -2);
  EXPECT_EQ(Eval({"7", "mod", "unminus", "3"}).AsInteger(), 1);
}

TEST(ExpressionTree, SetsCheckValuesAndRanges) {
  TfsScript prog;
  auto set = std::make_unique<TfsSetExpression>();
  auto constant = [&](int v) {
    auto e = std::make_unique<TfsExpression>(&prog);
    e->AddConst(Variant(v));
    e->Finalize();
    return e;
  };
  set->Add(constant(1));
  set->Add(constant(3));
  set->AddEmpty();
  set->Add(constant(5));
  EXPECT_TRUE(set->Check(Variant(1)));
  EXPECT_TRUE(set->Check(Variant(4)));
  EXPECT_FALSE(set->Check(Variant(2)));
  EXPECT_FALSE(set->Check(Variant(6)));
  Variant a = set->GetValue();
  EXPECT_EQ(a.ArrayHighBound(1), 3);
  std::int64_t two = 2;
  EXPECT_TRUE(a.GetElement(std::span(&two, 1)).IsNull());
}

// Each printed value followed by a blank.
class ILStatements : public testing::PrintingScript {
 protected:
  std::string Run(const std::string& body) {
    std::istringstream in("<?xml version=\"1.0\"?><program>" + body + "</program>");
    EXPECT_TRUE(prog.SetILCode(in)) << prog.ErrorPlace << ": " << prog.ErrorText;
    prog.Execute();
    std::string text;
    for (const std::string& value : printed) text += value + " ";
    return text;
  }
  static std::string Num(int n) {
    return "<expr pos=\"1:1\"><number text=\"" + std::to_string(n) + "\" pos=\"1:1\"/></expr>";
  }
  static std::string PrintI() {
    return "<callstmt pos=\"2:1\"><dsgn pos=\"2:1\"><node text=\"Print\" pos=\"2:1\"/><expr pos=\"2:1\">"
           "<dsgn pos=\"2:1\"><node text=\"i\" pos=\"2:1\"/></dsgn></expr></dsgn></callstmt>";
  }
};

TEST_F(ILStatements, CountingForRunsAFixedNumberOfTimes) {
  std::string setI = "<assignstmt pos=\"3:1\"><dsgn pos=\"3:1\"><node text=\"i\" pos=\"3:1\"/></dsgn>" +
                     Num(100) + "</assignstmt>";
  EXPECT_EQ(Run("<forstmt pos=\"1:1\"><node text=\"i\"/>" + Num(1) + Num(3) + "<compoundstmt pos=\"2:1\">" +
                PrintI() + setI + "</compoundstmt></forstmt>"),
            "1 2 3 ");
}

TEST_F(ILStatements, CountingForUpFromFiveToOneRunsNothingAndDownToCounts) {
  EXPECT_EQ(Run("<forstmt pos=\"1:1\"><node text=\"i\"/>" + Num(5) + Num(1) + PrintI() + "</forstmt>"), "");
  printed.clear();
  prog.Clear();
  SetUp();
  EXPECT_EQ(Run("<forstmt pos=\"1:1\"><node text=\"i\"/>" + Num(3) + "<downto/>" + Num(1) + PrintI() +
                "</forstmt>"),
            "3 2 1 ");
}

TEST_F(ILStatements, SteppingForGoesBothWays) {
  EXPECT_EQ(
      Run("<vbforstmt pos=\"1:1\"><node text=\"i\"/>" + Num(1) + Num(6) + Num(2) + PrintI() + "</vbforstmt>"),
      "1 3 5 ");
  printed.clear();
  prog.Clear();
  SetUp();
  std::string minusTwo =
      "<expr pos=\"1:1\"><op text=\"unminus\" pos=\"1:1\"/><number text=\"2\" pos=\"1:1\"/></expr>";
  EXPECT_EQ(Run("<vbforstmt pos=\"1:1\"><node text=\"i\"/>" + Num(6) + Num(1) + minusTwo + PrintI() +
                "</vbforstmt>"),
            "6 4 2 ");
}

TEST_F(ILStatements, LoopVariableMustBeNumeric) {
  prog.AddVariable("s", "String", Variant("x"));
  std::istringstream in("<?xml version=\"1.0\"?><program><forstmt pos=\"4:2\"><node text=\"s\"/>" + Num(1) +
                        Num(2) + "</forstmt></program>");
  EXPECT_FALSE(prog.SetILCode(in));
  EXPECT_EQ(prog.ErrorText, "For loop variable must be numeric variable");
  EXPECT_EQ(prog.ErrorPlace, "4:2");
}

}  // namespace
}  // namespace kelvo
