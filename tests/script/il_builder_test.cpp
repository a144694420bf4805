// The builder and the statements through real JScript compiled in-process: build errors and
// their positions, statement classes chosen, run flags, host calls from scripts.
#include <gtest/gtest.h>

#include <sstream>

#include "script/printing_script.h"
#include "script/program/statements.h"

namespace kelvo {
namespace {

class Builder : public testing::PrintingScript {
 protected:
  bool Compile(const std::string& text) {
    prog.Lines.clear();
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) prog.Lines.push_back(line);
    return prog.Compile();
  }
  std::string Error() const { return prog.ErrorPlace + ": " + prog.ErrorText; }
};

TEST_F(Builder, ArgumentOfTheWrongTypeNamesBothTypes) {
  prog.AddMethod("procedure Need(i: Integer)",
                 [](TfsHostObject*, TfsClassRef, const std::string&, Variant&) { return Variant(); });
  EXPECT_FALSE(Compile("Need(\"text\");"));
  EXPECT_EQ(prog.ErrorText, "Incompatible types: 'Integer', 'String'");
  EXPECT_EQ(prog.ErrorPlace, "1:12");  // the argument's last leaf
}

TEST_F(Builder, TooManyArgumentsAndReadOnlyTargets) {
  EXPECT_FALSE(Compile("Print(1, 2);"));
  EXPECT_EQ(prog.ErrorText, "Too many actual parameters");
  prog.Clear();
  SetUp();
  EXPECT_FALSE(Compile("True = 1;"));
  EXPECT_EQ(prog.ErrorText, "Left side cannot be assigned to");
}

TEST_F(Builder, AssignmentOfXPlusSomethingBecomesAnAddAssignment) {
  ASSERT_TRUE(Compile("var x = 1;\nx = x + 1;\nx += 2;\nx = 1 + x;\nx = x * 3;")) << Error();
  TfsStatement& root = prog.RootStatement();
  ASSERT_EQ(root.Count(), 5);
  EXPECT_NE(dynamic_cast<TfsAssignPlusStmt*>(root.Child(1)), nullptr);
  EXPECT_NE(dynamic_cast<TfsAssignPlusStmt*>(root.Child(2)), nullptr);
  // x is untyped: 1 + x keeps its order (a string x would concatenate the other way round).
  EXPECT_EQ(typeid(*root.Child(3)), typeid(TfsAssignmentStmt));
  EXPECT_NE(dynamic_cast<TfsAssignMulStmt*>(root.Child(4)), nullptr);
  prog.Execute();
  EXPECT_EQ(prog.GetVariables("x").AsInteger(), 15);
}

// Compiling must never run a script's function: its body may talk to the modem.
TEST_F(Builder, AnIndexedCallRunsNothingWhileCompiling) {
  ASSERT_TRUE(
      Compile("function f() { Print(\"ran\"); return \"xyz\"; }\n"
              "var a = f()[2];\nvar b = f[1];\nif (f()[3] == \"z\") Print(a + b);"))
      << Error();
  EXPECT_TRUE(printed.empty());
  prog.Execute();
  EXPECT_EQ(printed, (std::vector<std::string>{"ran", "ran", "ran", "yx"}));
}

TEST_F(Builder, AnElementOfACallsResultCannotBeAssigned) {
  EXPECT_FALSE(Compile("function f() { return \"xyz\"; }\nf()[1] = \"a\";"));
  EXPECT_EQ(Error(), "2:1: Left side cannot be assigned to");
}

TEST_F(Builder, RedeclaredAfterAFunctionCreatedTheGlobal) {
  EXPECT_FALSE(Compile("function f() { x = 5; }\nvar x;"));
  EXPECT_EQ(Error(), "2:6: Identifier redeclared: 'x'");
}

TEST_F(Builder, ExecutableLinesAreTheStatementLines) {
  ASSERT_TRUE(Compile("var a = 1;\n\nPrint(a);\n")) << Error();
  EXPECT_TRUE(prog.IsExecutableLine(1));
  EXPECT_FALSE(prog.IsExecutableLine(2));
  EXPECT_TRUE(prog.IsExecutableLine(3));
}

TEST_F(Builder, HostVarParametersAndOmittedOptionalArguments) {
  Variant seen;
  prog.AddMethod("procedure Fill(var s: String; n: Integer = 3)",
                 [&](TfsHostObject*, TfsClassRef, const std::string&, Variant& params) {
                   seen = params;
                   std::int64_t i = 0;
                   params.PutElement(std::span(&i, 1), Variant("filled"));
                   return Variant();
                 });
  ASSERT_TRUE(Compile("var s = \"\";\nFill(s);\nPrint(s);\nFill(\"const\");")) << Error();
  prog.Execute();
  std::int64_t one = 1;
  EXPECT_EQ(seen.GetElement(std::span(&one, 1)).AsInteger(), 3);
  EXPECT_EQ(printed, std::vector<std::string>{"filled"});
}

TEST_F(Builder, TerminateFromRunLineStopsEverything) {
  ASSERT_TRUE(Compile("Print(1);\nPrint(2);\nfunction f() { Print(3); }\nf();")) << Error();
  prog.OnRunLine = [](TfsScript& sender, const std::string&, const std::string&) { sender.Terminate(); };
  prog.Execute();
  EXPECT_TRUE(printed.empty());
  EXPECT_FALSE(prog.ExitFlag);
  EXPECT_FALSE(prog.StopRequested);
  prog.OnRunLine = [this](TfsScript&, const std::string&, const std::string& pos) {
    if (pos.rfind("3:", 0) == 0) prog.Terminate();
  };
  prog.Execute();
  EXPECT_EQ(printed, (std::vector<std::string>{"1", "2"}));
}

TEST_F(Builder, BreakOutsideALoopDoesNotStopTheNextRun) {
  ASSERT_TRUE(Compile("Print(1);\nbreak;\nPrint(2);")) << Error();
  prog.Execute();
  prog.Execute();
  EXPECT_EQ(printed, (std::vector<std::string>{"1", "1"}));
}

TEST_F(Builder, DeepRecursionEndsWithAnErrorNotACrash) {
  ASSERT_TRUE(Compile("function r(n) { return r(n + 1); }\nr(0);")) << Error();
  try {
    prog.Execute();
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.ClassName()), "EStackOverflow");
  }
  EXPECT_FALSE(prog.Running);
}

TEST_F(Builder, HugeArraysAreACompileError) {
  EXPECT_FALSE(Compile("var a[2000000000];"));
  EXPECT_EQ(prog.ErrorText, "Error creating variant or safe array");
}

TEST_F(Builder, CallFunctionRunsAScriptFunctionWithVarParameters) {
  ASSERT_TRUE(Compile("function twice(&v, k) { v = v * 2; return k + 1; }")) << Error();
  Variant params = Variant::CreateArray(0, 1);
  std::int64_t i0 = 0, i1 = 1;
  params.PutElement(std::span(&i0, 1), Variant(21));
  params.PutElement(std::span(&i1, 1), Variant(1));
  Variant result;
  prog.CallFunction1("twice", params, result);
  EXPECT_EQ(result.AsInteger(), 2);
  EXPECT_EQ(params.GetElement(std::span(&i0, 1)).AsInteger(), 42);
}

TEST_F(Builder, IntermediateTreeRoundTripsThroughSetILCode) {
  prog.Lines = {"var a = 2;", "Print(a * 21);"};
  std::ostringstream il;
  ASSERT_TRUE(prog.GetILCode(il)) << Error();
  TfsScript other;
  other.Parent = fsGlobalUnit();
  std::vector<std::string> out;
  testing::AddPrint(other, out);
  std::istringstream in(il.str());
  ASSERT_TRUE(other.SetILCode(in)) << other.ErrorText;
  other.Execute();
  EXPECT_EQ(out, std::vector<std::string>{"42"});
}

TEST_F(Builder, DanglingOperatorInTheTreeIsDropped) {
  std::istringstream in(
      "<?xml version=\"1.0\"?><program><assignstmt pos=\"1:1\"><dsgn pos=\"1:1\"><node text=\"x\" "
      "pos=\"1:2\"/>"
      "</dsgn><expr pos=\"1:5\"><number text=\"5\" pos=\"1:6\"/><op text=\"&#60;\" pos=\"1:8\"/></expr>"
      "</assignstmt></program>");
  ASSERT_TRUE(prog.SetILCode(in)) << Error();
  prog.Execute();
  EXPECT_EQ(prog.GetVariables("x").AsInteger(), 5);
}

TEST_F(Builder, MalformedTreesAreCompileErrors) {
  std::istringstream in("<?xml version=\"1.0\"?><program><assignstmt pos=\"1:1\"/></program>");
  EXPECT_FALSE(prog.SetILCode(in));
  EXPECT_EQ(prog.ErrorText, "Invalid file format");
  std::istringstream broken("<program><assignstmt");
  EXPECT_THROW(prog.SetILCode(broken), Exception);
}

// An operator whose operand is an element the builder does not know was once built with a null
// operand and crashed when the program ran.
TEST_F(Builder, AnOperatorWithoutItsOperandsIsAMalformedTree) {
  for (const char* expr : {"<number text=\"1\"/><op text=\"+\"/><numbxr text=\"1\"/>",
                           "<number text=\"1\"/><op text=\"+\"/><number text=\"1\"/><op text=\"*\"/><x/>",
                           "<op text=\"unminus\"/><x/>", "<op text=\"not\"/><x/>"}) {
    std::istringstream in(std::string("<?xml version=\"1.0\"?><program><assignstmt><dsgn><node text=\"x\"/>"
                                      "</dsgn><expr>") +
                          expr + "</expr></assignstmt></program>");
    EXPECT_FALSE(prog.SetILCode(in)) << expr;
    EXPECT_EQ(prog.ErrorText, "Invalid file format") << expr;
  }
}

TEST_F(Builder, TypedDeclarationsOfCppScriptAreChecked) {
  prog.SyntaxType = "C++Script";
  EXPECT_FALSE(Compile("int x;\n{\n  x = \"a\";\n}"));
  EXPECT_EQ(Error(), "3:3: Incompatible types: 'Integer', 'String'");
  prog.Clear();
  SetUp();
  prog.SyntaxType = "C++Script";
  EXPECT_FALSE(Compile("int x;\nfloat f = 1.5;\n{\n  x = f;\n}"));
  EXPECT_EQ(prog.ErrorText, "Incompatible types: 'Integer', 'Extended'");
  prog.Clear();
  SetUp();
  prog.SyntaxType = "C++Script";
  EXPECT_FALSE(Compile("TFoo x;\n{\n}"));
  EXPECT_EQ(Error(), "1:5: Unknown type: 'TFoo'");
  prog.Clear();
  SetUp();
  prog.SyntaxType = "C++Script";
  ASSERT_TRUE(Compile("int x = 5, i;\n{\n  for (i = 0; i < 3; i++) { x = x + i; }\n  Print(x / 2);\n}"))
      << Error();
  prog.Execute();
  EXPECT_EQ(printed, std::vector<std::string>{"4"});
}

TEST_F(Builder, UnknownLanguageRaises) {
  prog.SyntaxType = "Basic";
  prog.Lines = {"x = 1"};
  EXPECT_THROW(prog.Compile(), Exception);
}

}  // namespace
}  // namespace kelvo
