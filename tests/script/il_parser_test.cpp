#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "script/front/il_parser.h"
#include "script/front/languages.h"
#include "text/exception.h"

using namespace kelvo;

namespace {

// The IL tree as indented lines "name attributes", two spaces per level.
void Dump(const TfsXMLItem& item, int level, std::string& out) {
  out += std::string(static_cast<size_t>(level) * 2, ' ') + item.Name;
  if (!item.Text.empty()) out += " " + item.Text;
  out += "\n";
  for (int i = 0; i < item.Count(); ++i) Dump(*item.Items(i), level + 1, out);
}

struct TCompiled {
  bool Ok = false;
  std::string IL;
  std::string ErrorText, ErrorPlace, ErrorUnitName;
};

// Where a parse takes its imported units from, and whether identifiers may be Cyrillic.
struct TSource {
  TfsGetUnitText Units;
  bool WideIdentifiers = false;
};

TCompiled Compile(const TSource& source, const std::string& text, const std::string& language = "JScript") {
  TfsILParser parser(source.Units);
  parser.WideIdentifiers = source.WideIdentifiers;
  parser.SelectLanguage(language);
  TCompiled result;
  result.Ok = parser.MakeILScript(text);
  if (result.Ok) Dump(*parser.ILScript().Root(), 0, result.IL);
  result.ErrorText = parser.ErrorText();
  result.ErrorPlace = parser.ErrorPlace();
  result.ErrorUnitName = parser.ErrorUnitName();
  return result;
}

TCompiled Compile(const std::string& text, const std::string& language = "JScript") {
  return Compile(TSource(), text, language);
}

void ExpectError(const std::string& text, const std::string& message, const std::string& place,
                 const std::string& language = "JScript") {
  TCompiled c = Compile(text, language);
  EXPECT_FALSE(c.Ok) << text;
  EXPECT_EQ(c.ErrorText, message) << text;
  EXPECT_EQ(c.ErrorPlace, place) << text;
}

// The operators of the expression of `x = <expression>;` in source order.
std::string Ops(const std::string& expression) {
  TCompiled c = Compile("x = " + expression + ";");
  EXPECT_TRUE(c.Ok) << expression << ": " << c.ErrorText << " at " << c.ErrorPlace;
  std::string ops;
  for (size_t at = c.IL.find("op text=\""); at != std::string::npos; at = c.IL.find("op text=\"", at + 1)) {
    size_t from = at + 9;
    ops += (ops.empty() ? "" : " ") + XMLToStr(c.IL.substr(from, c.IL.find('"', from) - from));
  }
  return ops;
}

}  // namespace

TEST(JScriptIL, AssignmentHasTheDocumentedShape) {
  TCompiled c = Compile("x = 1;");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_EQ(c.IL,
            "program\n"
            "  compoundstmt pos=\"1:1\"\n"
            "    assignstmt pos=\"1:1\"\n"
            "      dsgn pos=\"1:1\"\n"
            "        node text=\"x\" pos=\"1:2\"\n"
            "      expr pos=\"1:5\" pos1=\"1:6\"\n"
            "        number text=\"1\" pos=\"1:6\"\n"
            "  types\n");
  EXPECT_EQ(c.ErrorText, "");
  EXPECT_EQ(c.ErrorPlace, "");
}

TEST(JScriptIL, OperatorsAreWrittenInSourceOrderWithEngineNames) {
  EXPECT_EQ(Ops("a >= b"), ">=");
  EXPECT_EQ(Ops("a >> 2"), "shr");
  EXPECT_EQ(Ops("a > b"), ">");
  EXPECT_EQ(Ops("(a + 1) * 2"), "( + ) *");
  EXPECT_EQ(Ops("a == b || !c && d != e"), "= or not and <>");
  EXPECT_EQ(Ops("-a % 3 ^ b << 1 div 2"), "unminus mod xor shl div");
  EXPECT_EQ(Ops("a in b"), "in");
  EXPECT_EQ(Ops("a <= b"), "<=");
}

TEST(JScriptIL, RelationalOperatorsNeedTheirCharactersAdjacent) {
  ExpectError("x = a > = b;", "Statement expected", "1:7");
}

TEST(JScriptIL, IncrementIsACallStatementWithModificator) {
  TCompiled c = Compile("x++; y--");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_NE(c.IL.find("callstmt pos=\"1:1\"\n      dsgn pos=\"1:1\"\n        node text=\"x\" pos=\"1:2\"\n"
                      "      modificator text=\"+\" pos=\"1:4\""),
            std::string::npos)
      << c.IL;
  EXPECT_NE(c.IL.find("modificator text=\"-\""), std::string::npos);
  ExpectError("++x;", "Statement expected", "1:1");
}

TEST(JScriptIL, DoWhileNeedsItsSemicolon) {
  TCompiled c = Compile("do x++; while (x < 5);");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_NE(c.IL.find("repeatstmt"), std::string::npos);
  EXPECT_NE(c.IL.find("inverse text=\"\""), std::string::npos);
  ExpectError("do x++; while (x < 5)", "';' expected", "1:22");
  ExpectError("do x++; (x < 5);", "'WHILE' expected", "1:9");
}

TEST(JScriptIL, SemicolonBeforeElseIsOptional) {
  for (const char* text : {"if (a) b = 1 else b = 2", "if (a) b = 1; else b = 2;"}) {
    TCompiled c = Compile(text);
    ASSERT_TRUE(c.Ok) << text << ": " << c.ErrorText;
    EXPECT_NE(c.IL.find("thenstmt"), std::string::npos);
    EXPECT_NE(c.IL.find("elsestmt"), std::string::npos);
  }
  ExpectError("if a) b = 1;", "'(' expected", "1:4");
  ExpectError("if (a b = 1;", "')' expected", "1:7");
}

TEST(JScriptIL, KeywordsIgnoreCase) {
  TCompiled c = Compile("WHILE (x) {} While (y) Break;");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_NE(c.IL.find("whilestmt pos=\"1:1\""), std::string::npos);
  EXPECT_NE(c.IL.find("break pos=\"1:24\""), std::string::npos);
}

TEST(JScriptIL, SwitchWithAValueAndARange) {
  TCompiled c = Compile("switch (n) { case 1, 3..5: s = 1; default: s = 0; }");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_NE(c.IL.find("casestmt pos=\"1:1\""), std::string::npos);
  EXPECT_NE(c.IL.find("caseselector pos=\"1:14\"\n"
                      "        set pos=\"1:19\"\n"
                      "          expr pos=\"1:19\" pos1=\"1:20\"\n"
                      "            number text=\"1\" pos=\"1:20\"\n"
                      "          expr pos=\"1:22\" pos1=\"1:23\"\n"
                      "            number text=\"3\" pos=\"1:23\"\n"
                      "          range text=\".\" pos=\"1:25\"\n"
                      "          expr pos=\"1:25\" pos1=\"1:26\"\n"),
            std::string::npos)
      << c.IL;
  // A switch without any case is no statement at all.
  ExpectError("x = 1; switch (n) { }", "Statement expected", "1:8");
}

TEST(JScriptIL, TryNeedsFinallyOrExcept) {
  ExpectError("try x = 1 y = 2", "'FINALLY' or 'EXCEPT' expected", "1:11");
  TCompiled c = Compile("try { x = 1; } except { y = 2; }");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_NE(c.IL.find("exceptstmt"), std::string::npos);
}

TEST(JScriptIL, StringLiteralsPassThroughAttributeDecoding) {
  TfsILParser parser;
  parser.SelectLanguage("JScript");
  ASSERT_TRUE(parser.MakeILScript("x = \"&#65;\" + \"&quot;\" + \"a & b\" + \"\" + \"<\\\"\\n>\";"));
  TfsXMLItem* expr = parser.ILScript().Root()->Items(0)->Items(0)->Items(1);
  std::vector<std::string> strings;
  for (int i = 0; i < expr->Count(); ++i)
    if (expr->Items(i)->Name == "string") strings.push_back(expr->Items(i)->GetProp("text"));
  EXPECT_EQ(strings, (std::vector<std::string>{"'A'", "'\"'", "'a & b'", "''", "'<\"\n>'"}));
}

TEST(JScriptIL, TailThatCannotBeMatchedIsAnError) {
  ExpectError("x = a * -b; Send(\"ATZ\");", "Statement expected", "1:7");
  TCompiled c = Compile("x = -a * b;");
  EXPECT_TRUE(c.Ok) << c.ErrorText;
}

TEST(JScriptIL, ScriptOfCommentsOnlyIsAnEmptyProgram) {
  TCompiled c = Compile("// nothing\n/* at all */\r\n");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_EQ(c.IL, "program\n  compoundstmt pos=\"3:1\"\n  types\n");
  EXPECT_TRUE(Compile("").Ok);
}

TEST(JScriptIL, SyntaxErrorsCarryLineAndColumn) {
  ExpectError("a = ;", "Expression expected", "1:5");
  ExpectError("x = 1;\n  y = (2;\n", "')' expected", "2:9");
  ExpectError("f(1, 2", "')' expected", "1:7");
  ExpectError("x = \"unclosed\n", "Expression expected", "1:5");
  EXPECT_TRUE(Compile("x = 1; /* unclosed").Ok);  // the comment runs to the end
}

TEST(JScriptIL, VarListLeavesThePositionAfterADanglingComma) {
  TCompiled c = Compile("var a, ;");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_NE(c.IL.find("var pos=\"1:5\"\n      ident text=\"a\""), std::string::npos) << c.IL;
}

TEST(JScriptIL, RawTextInAngleBracketsCallsGet) {
  TCompiled c = Compile("x = <a[1]>;");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_NE(
      c.IL.find("dsgn pos=\"1:10\"\n          node text=\"Get\" pos=\"1:10\"\n          expr pos=\"1:10\"\n"
                "            string text=\"'a[1]'\" pos=\"1:10\""),
      std::string::npos)
      << c.IL;
}

TEST(JScriptIL, FunctionsWithByReferenceParameters) {
  TCompiled c = Compile("function f(a, &b) { return a; }");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_NE(
      c.IL.find("function pos=\"1:1\"\n      name text=\"f\" pos=\"1:11\"\n      parameters pos=\"1:11\"\n"
                "        var pos=\"1:12\"\n          ident text=\"a\" pos=\"1:13\"\n"
                "        var pos=\"1:15\"\n          varparam text=\"&\" pos=\"1:16\"\n"),
      std::string::npos)
      << c.IL;
}

TEST(LanguageDirective, FirstLineSelectsTheLanguage) {
  TSource script;
  TCompiled c = Compile(script, "#language JScript\r\nWHILE (x) {}", "C++Script");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_NE(c.IL.find("whilestmt pos=\"2:1\""), std::string::npos) << c.IL;
  c = Compile(script, "#language C++Script\n{ int a; }", "JScript");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_NE(c.IL.find("ident text=\"a\""), std::string::npos);
  c = Compile(script, " #language JScript\nx = 1;", "JScript");
  EXPECT_EQ(c.ErrorText, "Statement expected");
  EXPECT_EQ(c.ErrorPlace, "1:2");
  EXPECT_THROW(Compile(script, "#language Basic\nx = 1;", "JScript"), Exception);
}

TEST(Languages, UnknownLanguageAndBadGrammarsRaise) {
  TfsILParser parser;
  try {
    parser.SelectLanguage("PascalScript");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Language 'PascalScript' not found");
  }
  fsRegisterLanguage("@broken", "<language>");
  EXPECT_THROW(parser.SelectLanguage("@broken"), Exception);
  fsRegisterLanguage("@undefined",
                     "<?xml version=\"1.0\"?><language><program><missing/></program></language>");
  parser.SelectLanguage("@undefined");
  try {
    parser.MakeILScript("x");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Invalid language definition");
  }
  std::vector<std::string> list;
  fsGetLanguageList(list);
  EXPECT_EQ(list.at(0), "JScript");
  EXPECT_EQ(list.at(1), "C++Script");
  for (const auto& name : list) EXPECT_NE(name[0], '@');
}

TEST(Languages, RuleReferringToItselfIsNestingTooDeep) {
  fsRegisterLanguage("@selfref", "<?xml version=\"1.0\"?><language><program><program/></program></language>");
  ExpectError("x", "Nesting too deep", "1:1", "@selfref");
}

TEST(Nesting, ModerateNestingCompiles) {
  std::string text = "x = " + std::string(200, '(') + "1" + std::string(200, ')') + ";";
  EXPECT_TRUE(Compile(text).Ok);
  std::string blocks = std::string(100, '{') + "x = 1;" + std::string(100, '}');
  EXPECT_TRUE(Compile(blocks).Ok);
}

TEST(Nesting, TenThousandLevelsAreAnErrorNotACrash) {
  TCompiled c = Compile("x = " + std::string(10000, '(') + "1" + std::string(10000, ')') + ";");
  EXPECT_FALSE(c.Ok);
  EXPECT_EQ(c.ErrorText, "Nesting too deep");
  EXPECT_EQ(c.ErrorPlace.substr(0, 2), "1:");
  c = Compile(std::string(10000, '{') + std::string(10000, '}'));
  EXPECT_EQ(c.ErrorText, "Nesting too deep");
  c = Compile("{ int a; a = " + std::string(10000, '(') + "1" + std::string(10000, ')') + "; }", "C++Script");
  EXPECT_EQ(c.ErrorText, "Nesting too deep");
}

TEST(Nesting, BinaryJunkNeverCrashes) {
  std::mt19937 random(12345);
  for (int round = 0; round < 300; ++round) {
    std::string text(static_cast<size_t>(random() % 200), '\0');
    for (auto& ch : text) ch = static_cast<char>(random() % 256);
    if (round % 3 == 0)
      for (auto& ch : text) ch = "(){}[];=+-*/<>!&|\"'x1 .,#"[random() % 26];
    for (const char* language : {"JScript", "C++Script"}) {
      TCompiled c = Compile(text, language);
      EXPECT_EQ(c.Ok, c.ErrorText.empty());
    }
  }
}

TEST(Imports, EachUnitIsIncludedOnceInReverseOrder) {
  std::map<std::string, std::string> units = {
      {"a", "import \"b\", \"a\"; y = 1;"},
      {"b", "z = 2;"},
  };
  TSource script;
  int requests = 0;
  script.Units = [&](const std::string& name, std::string& text) {
    ++requests;
    text = units.at(name);
  };
  TCompiled c = Compile(script, "import \"a\", \"b\";\nimport \"A\";\nx = 0;");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_EQ(requests, 2);
  size_t b = c.IL.find("uses unit=\"b\"");
  size_t a = c.IL.find("uses unit=\"a\"");
  ASSERT_NE(b, std::string::npos) << c.IL;
  ASSERT_NE(a, std::string::npos) << c.IL;
  EXPECT_LT(b, a);
  EXPECT_NE(c.IL.find("uses unit=\"a\"\n      program\n        compoundstmt"), std::string::npos) << c.IL;
  EXPECT_EQ(c.IL.find("uses unit=\"b\"", b + 1), std::string::npos);
}

TEST(Imports, ErrorInAUnitNamesTheUnit) {
  TSource script;
  script.Units = [](const std::string&, std::string& text) { text = "x = 1;\ny = ;"; };
  TCompiled c = Compile(script, "x = 0;\nimport \"broken\";");
  EXPECT_FALSE(c.Ok);
  EXPECT_EQ(c.ErrorText, "Expression expected");
  EXPECT_EQ(c.ErrorPlace, "2:5");
  EXPECT_EQ(c.ErrorUnitName, "broken");
  c = Compile(script, "x = 0;");
  EXPECT_EQ(c.ErrorUnitName, "");
}

TEST(Imports, UnitsAreReadFromFilesWithoutAHandler) {
  auto dir = std::filesystem::temp_directory_path() / "kelvo_il_parser_test";
  std::filesystem::create_directories(dir);
  auto unit = (dir / "unit.js").string();
  std::ofstream(unit) << "function f() { return 1; }";
  TCompiled c = Compile("import \"" + unit + "\"; x = f();");
  EXPECT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_NE(c.IL.find("function"), std::string::npos);
  EXPECT_THROW(Compile("import \"" + (dir / "missing.js").string() + "\";"), Exception);
  std::filesystem::remove_all(dir);
}

TEST(CppScriptIL, KeywordsAreCaseSensitive) {
  EXPECT_TRUE(Compile("{ if (x) y = 1; }", "C++Script").Ok);
  ExpectError("{ If (x) y = 1; }", "';' expected", "1:10", "C++Script");
}

TEST(CppScriptIL, ProgramNeedsAMainBlock) {
  ExpectError("int a;", "'{' expected", "1:7", "C++Script");
  ExpectError("int a; {} x", "Statement expected", "1:11", "C++Script");
}

TEST(CppScriptIL, DeclarationsBeforeTheMainBlock) {
  TCompiled c = Compile("#define N 10\nint a, b = 2;\nvoid f(int &x) { x = x + 1; }\n{ f(a); }", "C++Script");
  ASSERT_TRUE(c.Ok) << c.ErrorText << " at " << c.ErrorPlace;
  EXPECT_NE(
      c.IL.find(
          "const pos=\"1:9\"\n    ident text=\"N\" pos=\"1:10\"\n    expr pos=\"1:11\" pos1=\"1:13\"\n"),
      std::string::npos)
      << c.IL;
  EXPECT_NE(c.IL.find("var pos=\"2:1\"\n    type text=\"int\" pos=\"2:4\"\n    ident text=\"a\" pos=\"2:6\"\n"
                      "    ident text=\"b\" pos=\"2:9\"\n    init pos=\"2:10\""),
            std::string::npos)
      << c.IL;
  EXPECT_NE(
      c.IL.find("function pos=\"3:1\"\n    type text=\"void\" pos=\"3:5\"\n    name text=\"f\" pos=\"3:7\"\n"
                "    parameters pos=\"3:7\"\n      var pos=\"3:8\"\n        type text=\"int\" pos=\"3:11\"\n"
                "        varparam text=\"&\" pos=\"3:13\"\n        ident text=\"x\" pos=\"3:14\""),
      std::string::npos)
      << c.IL;
  EXPECT_NE(c.IL.find("types\n    int type=\"integer\"\n    long type=\"integer\"\n"), std::string::npos)
      << c.IL;
  ExpectError("#defin N 10\n{}", "'DEFINE' expected", "1:2", "C++Script");
}

TEST(CppScriptIL, ForLoopsTakeListsOfItems) {
  TCompiled c = Compile("{ for (i = 0, j = 10; i < j; i++, j--) {} }", "C++Script");
  ASSERT_TRUE(c.Ok) << c.ErrorText << " at " << c.ErrorPlace;
  size_t loop = c.IL.find("cppforstmt");
  ASSERT_NE(loop, std::string::npos);
  EXPECT_NE(c.IL.find("compoundstmt pos=\"1:8\"\n        assignstmt pos=\"1:8\""), std::string::npos) << c.IL;
  EXPECT_NE(c.IL.find("assignstmt pos=\"1:15\""), std::string::npos);
  EXPECT_NE(c.IL.find("compoundstmt pos=\"1:30\"\n        callstmt pos=\"1:30\""), std::string::npos) << c.IL;
  EXPECT_NE(c.IL.find("callstmt pos=\"1:35\""), std::string::npos);
  c = Compile("{ for (;;) ; }", "C++Script");
  EXPECT_FALSE(c.Ok);  // the condition is required
  EXPECT_EQ(c.ErrorText, "Expression expected");
}

TEST(CppScriptIL, EmptyStatementAndTryBlocks) {
  TCompiled c = Compile("{ ; try { a = 1; } finally { b = 2; } }", "C++Script");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_NE(c.IL.find("empty pos=\"1:3\""), std::string::npos) << c.IL;
  EXPECT_NE(c.IL.find("finallystmt"), std::string::npos);
  ExpectError("{ a = 1 }", "';' expected", "1:9", "C++Script");
}

namespace {

// A small line-based language that uses the options and attributes the two grammars do not:
// carriage returns are significant, "_" continues a line, "'" starts a comment, identifiers are made of
// the letters of "print" and a, b, c, x, y, z only; a name list may end in a stray item without failing the
// line.
const char* const kLineGrammar =
    "<?xml version=\"1.0\"?><language text=\"@lines\"><parser><skipeol text=\"0\"/><skipchar text=\"_\"/>"
    "<commentline1 text=\"--\"/><commentline2 text=\"'\"/><identchars text=\"abcinprtxyz\"/>"
    "<keywords><print/></keywords><errors><err1 text=\"Name expected\"/><err2 text=\"End of line expected\"/>"
    "<err3 text=\"Line expected\"/></errors></parser><types/>"
    "<program><optionalloop><line/></optionalloop></program>"
    "<line node=\"stmt\"><keyword text=\"PRINT\"/><loop text=\",\" skip=\"1\"><ident add=\"name\" "
    "err=\"err1\"/>"
    "</loop><optionalswitch><char text=\"!\" add=\"bang\" err=\"err9\"/><number add=\"n\"/>"
    "</optionalswitch><eol err=\"err2\"/></line></language>";

}  // namespace

TEST(Matcher, LineEndsContinuationsAndSecondLineComment) {
  fsRegisterLanguage("@lines", kLineGrammar);
  TCompiled c = Compile("' heading\r\nprint a, b,\r\nprint c, _\r\n x, 7\r\n", "@lines");
  ASSERT_TRUE(c.Ok) << c.ErrorText << " at " << c.ErrorPlace;
  EXPECT_EQ(c.IL,
            "program\n"
            "  stmt pos=\"2:1\"\n"
            "    name text=\"a\" pos=\"2:8\"\n"
            "    name text=\"b\" pos=\"2:11\"\n"
            "  stmt pos=\"3:1\"\n"
            "    name text=\"c\" pos=\"3:8\"\n"
            "    name text=\"x\" pos=\"4:3\"\n"
            "    n text=\"7\" pos=\"4:6\"\n"
            "  types\n");
  // Without its carriage return a line does not end.
  ExpectError("print a\nprint b\r\n", "End of line expected", "2:1", "@lines");
}

TEST(Matcher, LoopWithSkipForgetsTheErrorOfItsLastIteration) {
  fsRegisterLanguage("@lines", kLineGrammar);
  // The third iteration fails on "1" with err1, but the loop ran more than once and has skip=1.
  ExpectError("print a, b, 1 z\r\n", "End of line expected", "1:15", "@lines");
  // A first iteration that fails keeps its error.
  ExpectError("print 1\r\n", "Name expected", "1:7", "@lines");
}

TEST(Matcher, IdentifierCharactersAndUndefinedErrorCodes) {
  fsRegisterLanguage("@lines", kLineGrammar);
  // "d" is no identifier character here: the loop fails on its first name.
  ExpectError("print d\r\n", "Name expected", "1:7", "@lines");
  // err9 is not in the table: the failed "!" records nothing and the line goes on.
  EXPECT_TRUE(Compile("print a,\r\n", "@lines").Ok);
  ExpectError("print a\r\nzz\r\n", "Line expected", "2:1", "@lines");
}

TEST(Matcher, WideIdentifiersAcceptCyrillicLetters) {
  TSource script;
  TCompiled c = Compile(script, "\xEF\xEE\xF0\xF2 = 1;");
  EXPECT_FALSE(c.Ok);
  script.WideIdentifiers = true;
  c = Compile(script, "\xEF\xEE\xF0\xF2 = 1;");
  ASSERT_TRUE(c.Ok) << c.ErrorText;
  EXPECT_NE(c.IL.find("node text=\"\xEF\xEE\xF0\xF2\""), std::string::npos);
}

TEST(CppScriptIL, IncludeOfAUnit) {
  TSource script;
  script.Units = [](const std::string& name, std::string& text) {
    text = name == "lib" ? "int twice(int v) { return v * 2; }\n{}" : "";
  };
  TCompiled c = Compile(script, "#include \"lib\"\n{ int a = twice(2); }", "C++Script");
  ASSERT_TRUE(c.Ok) << c.ErrorText << " at " << c.ErrorPlace;
  EXPECT_EQ(c.IL.rfind("program\n  uses unit=\"lib\"\n    program\n      function pos=\"1:1\"", 0), 0u)
      << c.IL;
}
